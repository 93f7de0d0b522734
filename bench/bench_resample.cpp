// Resamples folders of generated 24-megapixel photo-like JPEGs (quality 90; one baseline set, one
// progressive set) to 50 % and prints, for each set, source megapixels per second and peak memory
// of:
//   ResampleBatch   the program's batch resample (its default threads, and one thread), into
//                   another folder, each file written beside its target and moved over it;
//   floor           libjpeg-turbo alone, with reused buffers in memory: decode, drop every second
//                   row and column, encode at quality 90 (progressive for the progressive set),
//                   on one and on two threads, nothing written to disk;
//   ImageMagick     `convert IN -sample 50% -quality 90 [-interlace JPEG] OUT`, one file at a time.
// Each runs in its own process, so that its peak memory is its own. ImageMagick is left out with a
// note when `convert` is not on the path.
// Last, the batch's peak memory for one picture of 6, 24 and 96 megapixels.
// Goals: 8 x ImageMagick on baseline and 4 x on progressive sources, within 15 % of the two-thread
// floor, peak memory that does not grow with the picture.
// Each figure is the best of a few rounds, since the machine may be busy with other work.
// Usage: bench_resample [files per set] [rounds]

#include "formats/jpegcodec.h"
#include "photolikepicture.h"
#include "resample/resamplebatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include <jpeglib.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr double kMegapixels = kWidth * kHeight / 1e6;

QStringList picturesIn(const QString& folder)
{
    QStringList paths;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        paths << QDir(folder).filePath(name);
    return paths;
}

void writePictures(const QString& folder, int count, bool progressive)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        QFile file(QDir(folder).filePath(QStringLiteral("photo%1.jpg").arg(i + 1, 2, 10, QChar(u'0'))));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(EncodeJpeg(PhotoLikePicture(i, kWidth, kHeight), 90, progressive)) < 0)
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
    }
}

// ---- the measured work, each run in a child process of this program ----

int resampleBatch(const QString& folder, const QString& output, int workers)
{
    QList<ResampleJob> jobs;
    for (const QString& path : picturesIn(folder))
        jobs.append({path, QDir(output).filePath(QFileInfo(path).fileName())});
    try {
        ResampleBatch(jobs, 0.5, workers).Run({});
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}

// Decodes, drops every second row and column, and encodes, all with libjpeg-turbo and buffers kept
// from one file to the next.
class FloorWorker {
public:
    FloorWorker()
    {
        decoder_.err = jpeg_std_error(&decoderErrors_);
        jpeg_create_decompress(&decoder_);
        encoder_.err = jpeg_std_error(&encoderErrors_);
        jpeg_create_compress(&encoder_);
    }
    ~FloorWorker()
    {
        jpeg_destroy_decompress(&decoder_);
        jpeg_destroy_compress(&encoder_);
        std::free(output_);
    }

    void resample(const QString& path, bool progressive)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        data_.resize(file.size());
        file.read(data_.data(), data_.size());

        jpeg_mem_src(&decoder_, reinterpret_cast<const unsigned char*>(data_.constData()), data_.size());
        jpeg_read_header(&decoder_, TRUE);
        decoder_.out_color_space = JCS_RGB;
        jpeg_start_decompress(&decoder_);
        const int width = int(decoder_.output_width), height = int(decoder_.output_height);
        whole_.resize(std::size_t(width) * height * 3);
        std::vector<JSAMPROW> rows(height);
        for (int y = 0; y < height; ++y)
            rows[y] = whole_.data() + std::size_t(y) * width * 3;
        while (decoder_.output_scanline < decoder_.output_height)
            jpeg_read_scanlines(&decoder_, rows.data() + decoder_.output_scanline,
                                decoder_.output_height - decoder_.output_scanline);
        jpeg_finish_decompress(&decoder_);

        const int halfWidth = width / 2, halfHeight = height / 2;
        half_.resize(std::size_t(halfWidth) * halfHeight * 3);
        for (int y = 0; y < halfHeight; ++y) {
            const JSAMPLE* from = rows[2 * y];
            JSAMPLE* to = half_.data() + std::size_t(y) * halfWidth * 3;
            for (int x = 0; x < halfWidth; ++x, to += 3)
                std::copy_n(from + 2 * x * 3, 3, to);
        }

        jpeg_mem_dest(&encoder_, &output_, &outputSize_);
        encoder_.image_width = JDIMENSION(halfWidth);
        encoder_.image_height = JDIMENSION(halfHeight);
        encoder_.input_components = 3;
        encoder_.in_color_space = JCS_RGB;
        jpeg_set_defaults(&encoder_);
        jpeg_set_quality(&encoder_, 90, TRUE);
        if (progressive) jpeg_simple_progression(&encoder_);
        jpeg_start_compress(&encoder_, TRUE);
        while (encoder_.next_scanline < encoder_.image_height) {
            JSAMPROW row = half_.data() + std::size_t(encoder_.next_scanline) * halfWidth * 3;
            jpeg_write_scanlines(&encoder_, &row, 1);
        }
        jpeg_finish_compress(&encoder_);
    }

private:
    jpeg_error_mgr decoderErrors_{}, encoderErrors_{};
    jpeg_decompress_struct decoder_{};
    jpeg_compress_struct encoder_{};
    QByteArray data_;
    std::vector<JSAMPLE> whole_, half_;
    unsigned char* output_ = nullptr;
    unsigned long outputSize_ = 0;
};

int floor(const QString& folder, int threads, bool progressive)
{
    const QStringList paths = picturesIn(folder);
    std::atomic<int> next{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            FloorWorker worker;
            for (int i = next++; i < paths.size(); i = next++)
                worker.resample(paths[i], progressive);
        });
    for (std::thread& worker : workers)
        worker.join();
    return 0;
}

// ---- measuring ----

// Runs a program to its end and prints its wall-clock seconds and peak memory in kilobytes; run as
// a small process of its own, since a child's peak memory counts that of the process it was
// started from.
int measureProgram(const QStringList& arguments)
{
    std::vector<QByteArray> encoded;
    for (const QString& argument : arguments)
        encoded.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return 1;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return 1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
    std::printf("%.6f %ld\n", timer.nsecsElapsed() / 1e9, usage.ru_maxrss);
    return 0;
}

struct Figure {
    bool ran = true;
    double seconds = 0;
    double peakMegabytes = 0;
};

Figure measure(const QStringList& arguments)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(),
                  QStringList{QStringLiteral("--worker"), QStringLiteral("measure")} + arguments);
    Figure figure;
    const QList<QByteArray> fields = process.waitForFinished(-1)
                                         ? process.readAllStandardOutput().simplified().split(' ')
                                         : QList<QByteArray>{};
    figure.ran = process.exitCode() == 0 && fields.size() == 2;
    if (figure.ran) {
        figure.seconds = fields[0].toDouble();
        figure.peakMegabytes = fields[1].toDouble() / 1024;
    }
    return figure;
}

Figure measureOwn(const QStringList& workerArguments)
{
    return measure(QStringList{QCoreApplication::applicationFilePath(), QStringLiteral("--worker")} +
                   workerArguments);
}

Figure measureImageMagick(const QString& convert, const QString& folder, const QString& output,
                          bool progressive)
{
    Figure total;
    for (const QString& path : picturesIn(folder)) {
        QStringList arguments{convert,
                              path,
                              QStringLiteral("-sample"),
                              QStringLiteral("50%"),
                              QStringLiteral("-quality"),
                              QStringLiteral("90")};
        if (progressive) arguments << QStringLiteral("-interlace") << QStringLiteral("JPEG");
        arguments << QDir(output).filePath(QFileInfo(path).fileName());
        const Figure one = measure(arguments);
        if (!one.ran) return one;
        total.seconds += one.seconds;
        total.peakMegabytes = std::max(total.peakMegabytes, one.peakMegabytes);
    }
    return total;
}

// The better of two rounds of the same work: the machine may have been busy with other work.
void keepBest(Figure& best, const Figure& round, bool first)
{
    if (first || (round.ran && round.seconds < best.seconds)) best = round;
}

// Mean difference per channel between two decoded pictures of one size.
double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qRed(p[x]) - qRed(q[x])) + std::abs(qGreen(p[x]) - qGreen(q[x])) +
                   std::abs(qBlue(p[x]) - qBlue(q[x]));
    }
    return sum / (3.0 * a.width() * a.height());
}

QImage decodeFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return DecodeJpeg(file.readAll()).image;
}

// The original with one pixel of each 2 x 2 square kept: the odd column and row, or the even ones.
QImage keepOnePixelOfFour(const QImage& original, int offset)
{
    QImage kept(original.size() / 2, QImage::Format_RGB32);
    for (int y = 0; y < kept.height(); ++y)
        for (int x = 0; x < kept.width(); ++x)
            kept.setPixel(x, y, original.pixel(2 * x + offset, 2 * y + offset));
    return kept;
}

// Shows which pixels the program and ImageMagick kept: each result is compared with the original's
// odd and even pixels; the kept ones differ only by the compression.
void comparePixels(const QString& source, const QString& ours, const QString& theirs)
{
    const QImage original = decodeFile(source);
    const QImage odd = keepOnePixelOfFour(original, 1);
    const QImage even = keepOnePixelOfFour(original, 0);
    for (const auto& [label, path] : {std::pair{"ResampleBatch", ours}, std::pair{"ImageMagick", theirs}}) {
        const QImage result = decodeFile(path);
        if (result.size() != odd.size()) {
            std::printf("  %s made %dx%d\n", label, result.width(), result.height());
            continue;
        }
        std::printf("  %-13s %dx%d, mean difference from the odd pixels %.2f, from the even ones %.2f\n",
                    label, result.width(), result.height(), meanDifference(result, odd),
                    meanDifference(result, even));
    }
}

void printFigure(const char* label, const Figure& figure, const Figure& magick, const Figure& floor2)
{
    if (!figure.ran) {
        std::printf("  %-28s failed\n", label);
        return;
    }
    std::printf("  %-28s %7.1f MP/s  peak %6.0f MB", label, 1 / figure.seconds, figure.peakMegabytes);
    if (magick.ran) std::printf("  %5.2f x ImageMagick", magick.seconds / figure.seconds);
    if (floor2.ran) std::printf("  %5.2f x two-thread floor", floor2.seconds / figure.seconds);
    std::printf("\n");
}

void measureSet(const QString& name, const QString& folder, bool progressive, const QString& convert,
                const QString& scratch, int rounds)
{
    const int files = int(picturesIn(folder).size());
    const QString ours = QDir(scratch).filePath(name + QStringLiteral("-ours"));
    const QString magickOutput = QDir(scratch).filePath(name + QStringLiteral("-magick"));
    QDir().mkpath(ours);
    QDir().mkpath(magickOutput);
    const QString flag = progressive ? QStringLiteral("1") : QStringLiteral("0");

    Figure batch, batchOne, floor1, floor2, magick;
    magick.ran = !convert.isEmpty();
    for (int round = 0; round < rounds; ++round) {
        const bool first = round == 0;
        keepBest(batch, measureOwn({QStringLiteral("ours"), folder, ours, QStringLiteral("0")}), first);
        keepBest(batchOne, measureOwn({QStringLiteral("ours"), folder, ours, QStringLiteral("1")}), first);
        keepBest(floor1, measureOwn({QStringLiteral("floor"), folder, QStringLiteral("1"), flag}), first);
        keepBest(floor2, measureOwn({QStringLiteral("floor"), folder, QStringLiteral("2"), flag}), first);
        if (!convert.isEmpty())
            keepBest(magick, measureImageMagick(convert, folder, magickOutput, progressive), first);
    }
    // From here on seconds per source megapixel.
    for (Figure* figure : {&batch, &batchOne, &floor1, &floor2, &magick})
        figure->seconds /= files * kMegapixels;

    std::printf("%s sources, %d files of %dx%d, best of %d rounds:\n", qPrintable(name), files, kWidth,
                kHeight, rounds);
    printFigure("ResampleBatch, default", batch, magick, floor2);
    printFigure("ResampleBatch, one thread", batchOne, magick, floor2);
    printFigure("floor, one thread", floor1, magick, floor2);
    printFigure("floor, two threads", floor2, magick, floor2);
    if (convert.isEmpty())
        std::printf("  ImageMagick                  left out: `convert` is not on the path\n");
    else
        printFigure("ImageMagick convert -sample", magick, magick, floor2);
    if (magick.ran && batch.ran) {
        const QString first = picturesIn(folder).first();
        const QString fileName = QFileInfo(first).fileName();
        comparePixels(first, QDir(ours).filePath(fileName), QDir(magickOutput).filePath(fileName));
    }
    std::fflush(stdout);
}

// Peak memory of the batch for one picture of each size: a row-by-row pipeline needs the same for
// every size of baseline picture; libjpeg keeps all coefficients of a progressive one.
void measureMemoryBySize(const QString& scratch)
{
    std::printf("Peak memory of ResampleBatch for one picture:\n");
    for (const QSize size : {QSize(3000, 2000), QSize(6000, 4000), QSize(12000, 8000)}) {
        std::printf("  %5dx%-5d", size.width(), size.height());
        for (const bool progressive : {false, true}) {
            const QString folder = QDir(scratch).filePath(QStringLiteral("size"));
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
            QFile file(QDir(folder).filePath(QStringLiteral("photo.jpg")));
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(EncodeJpeg(PhotoLikePicture(1, size.width(), size.height()), 90, progressive)) < 0)
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            file.close();
            const Figure figure = measureOwn({QStringLiteral("ours"), folder, folder, QStringLiteral("0")});
            std::printf("  %s %6.0f MB", progressive ? "progressive" : "baseline", figure.peakMegabytes);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
}

int worker(const QStringList& arguments)
{
    if (arguments.size() >= 2 && arguments[0] == u"measure") return measureProgram(arguments.mid(1));
    if (arguments.size() == 4 && arguments[0] == u"ours")
        return resampleBatch(arguments[1], arguments[2], arguments[3].toInt());
    if (arguments.size() == 4 && arguments[0] == u"floor")
        return floor(arguments[1], arguments[2].toInt(), arguments[3] == u"1");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    if (!arguments.isEmpty() && arguments.first() == u"--worker") return worker(arguments.mid(1));

    const int files = arguments.isEmpty() ? 20 : std::max(1, arguments[0].toInt());
    const int rounds = arguments.size() < 2 ? 2 : std::max(1, arguments[1].toInt());
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    QTemporaryDir scratch(QDir::temp().filePath(QStringLiteral("bench_resample-XXXXXX")));
    const QString baseline = QDir(scratch.path()).filePath(QStringLiteral("baseline"));
    const QString progressive = QDir(scratch.path()).filePath(QStringLiteral("progressive"));
    std::printf("Writing %d baseline and %d progressive pictures of %dx%d...\n", files, files, kWidth,
                kHeight);
    std::fflush(stdout);
    writePictures(baseline, files, false);
    writePictures(progressive, files, true);
    std::printf(
        "Resampling to 50 %% on %d processors (MP/s of source pixels; ratios above 1: faster than the "
        "other)\n",
        std::thread::hardware_concurrency());
    measureSet(QStringLiteral("baseline"), baseline, false, convert, scratch.path(), rounds);
    measureSet(QStringLiteral("progressive"), progressive, true, convert, scratch.path(), rounds);
    measureMemoryBySize(scratch.path());
    return 0;
}
