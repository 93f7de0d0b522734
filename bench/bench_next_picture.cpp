// Steps through a folder of generated 24-megapixel photo-like JPEGs (half baseline, half
// progressive) the way the viewers do, and prints milliseconds per picture for:
//   (a) the decode floor: libjpeg-turbo alone decoding the files at full size into a reused buffer,
//   (b) a cold step: PictureCache::Load of the next file with nothing read ahead, until the
//       fitted picture is in the 1009 x 649 picture box, ready to paint,
//   (c) a warm step: the same after the next picture was read ahead and the user looked at the
//       current one for a second.
// Goals: (b) at most 1.2 x (a); (c) at most 30 ms.
// (a) and (b) are measured file by file in turn and reported as medians, since the machine may be
// busy with other work. Usage: bench_next_picture [passes]

#include "controls/picturebox.h"
#include "photolikepicture.h"
#include "platform/jpegcodec.h"
#include "viewer/picturecache.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kFiles = 6;
const QSize kBox(1009, 649);

QStringList writePictures(const QString& folder)
{
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        const bool progressive = i % 2 == 1;
        const QString path =
            QDir(folder).filePath(QStringLiteral("photo%1.jpg").arg(i + 1, 2, 10, QChar(u'0')));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(EncodeJpeg(PhotoLikePicture(i, kWidth, kHeight), 90, progressive)) < 0)
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        paths << path;
    }
    return paths;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Milliseconds per picture: medians for the baseline and for the progressive files (so that a
// moment when the machine is busy with something else does not decide the figure), their mean
// for all files, and the slowest single time.
struct Figures {
    double baseline = 0, progressive = 0, all = 0, slowest = 0;
};

// Wall-clock time, and the processor time of all the program's threads, in milliseconds.
struct Duration {
    double wall = 0, processor = 0;
};

template <typename Work> Duration measure(Work work)
{
    QElapsedTimer timer;
    timer.start();
    const std::clock_t start = std::clock();
    work();
    return Duration{timer.nsecsElapsed() / 1e6, 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC};
}

class Stopwatch {
public:
    void add(int file, Duration duration)
    {
        (file % 2 == 0 ? baseline_ : progressive_).push_back(duration);
        all_.push_back(duration);
    }
    Figures figures(double Duration::*kind = &Duration::wall) const
    {
        const double baseline = median(baseline_, kind), progressive = median(progressive_, kind);
        double slowest = 0;
        for (const Duration& duration : all_)
            slowest = std::max(slowest, duration.*kind);
        return Figures{baseline, progressive, (baseline + progressive) / 2, slowest};
    }

private:
    static double median(const std::vector<Duration>& durations, double Duration::*kind)
    {
        if (durations.empty()) return 0;
        std::vector<double> values;
        for (const Duration& duration : durations)
            values.push_back(duration.*kind);
        std::sort(values.begin(), values.end());
        const std::size_t middle = values.size() / 2;
        return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    }

    std::vector<Duration> baseline_, progressive_, all_;
};

// One step as the viewer takes it: the picture asked for, then handed to the picture box, which
// lets go of the picture it showed before.
Duration step(PictureCache& cache, PictureBox& box, const QString& path)
{
    return measure([&] {
        const ShownPicture shown = cache.Load(path);
        box.SetPicture(shown.picture.image, shown.fitted);
    });
}

Duration decodeAlone(const QByteArray& file, QImage& buffer)
{
    return measure([&] { buffer = DecodeJpegInto(file, std::move(buffer)).image; });
}

// The floor and the cold step, file by file in turn, so that both see the machine alike.
void floorAndColdSteps(const QStringList& paths, int passes, Stopwatch& floor, Stopwatch& cold)
{
    std::vector<QByteArray> files;
    for (const QString& path : paths)
        files.push_back(readFile(path));
    QImage buffer = DecodeJpeg(files.front()).image;
    PictureCache cache(kBox);
    PictureBox box(PictureBox::Placement::ShrinkCentred);
    box.resize(kBox);
    for (const QString& path : paths) // settles the recycled buffers
        step(cache, box, path);
    for (int pass = 0; pass < passes; ++pass)
        for (int i = 0; i < kFiles; ++i) {
            floor.add(i, decodeAlone(files[i], buffer));
            cold.add(i, step(cache, box, paths[i]));
        }
}

Stopwatch warmSteps(const QStringList& paths, int& decodedOnStep)
{
    PictureCache cache(kBox);
    PictureBox box(PictureBox::Placement::ShrinkCentred);
    box.resize(kBox);
    step(cache, box, paths.back());
    const int before = cache.DecodesOnCallingThread();
    Stopwatch stopwatch;
    for (int i = 0; i < kFiles; ++i) {
        const QString& previous = paths[(i + kFiles - 2) % kFiles];
        cache.ReadAhead({paths[i], previous});
        QThread::msleep(1000);
        stopwatch.add(i, step(cache, box, paths[i]));
    }
    decodedOnStep = cache.DecodesOnCallingThread() - before;
    return stopwatch;
}

void print(const char* label, const Figures& figures)
{
    std::printf("%-36s %9.1f %9.1f %9.1f %9.1f\n", label, figures.baseline, figures.progressive, figures.all,
                figures.slowest);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int passes = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;

    QTemporaryDir folder;
    std::printf("writing %d pictures of %d x %d pixels (quality 90) ...\n", kFiles, kWidth, kHeight);
    const QStringList paths = writePictures(folder.path());

    Stopwatch floorTimes, coldTimes;
    floorAndColdSteps(paths, passes, floorTimes, coldTimes);
    int decodedOnStep = 0;
    const Figures warm = warmSteps(paths, decodedOnStep).figures();
    const Figures floor = floorTimes.figures(), cold = coldTimes.figures();

    std::printf("\nms per picture (medians), box %d x %d, %d passes\n", kBox.width(), kBox.height(), passes);
    std::printf("%-36s %9s %9s %9s %9s\n", "", "baseline", "progr.", "all", "slowest");
    print("(a) decode floor, reused buffer", floor);
    print("(b) cold step: Load + SetPicture", cold);
    print("(c) warm step: read ahead, 1 s, Load", warm);
    // Processor time does not depend on what else the machine runs; the cold step's includes the
    // thread that fits the picture beside the decoder.
    const Figures floorProcessor = floorTimes.figures(&Duration::processor);
    const Figures coldProcessor = coldTimes.figures(&Duration::processor);
    std::printf("\nprocessor time, all threads\n");
    print("(a) decode floor", floorProcessor);
    print("(b) cold step", coldProcessor);
    std::printf("\nratio (b)/(a): %.2f (baseline %.2f, progressive %.2f); goal at most 1.20\n",
                cold.all / floor.all, cold.baseline / floor.baseline, cold.progressive / floor.progressive);
    std::printf("processor time (b)/(a): %.2f\n", coldProcessor.all / floorProcessor.all);
    std::printf(
        "(c): %.1f ms, slowest %.1f ms; goal at most 30 ms; decoded on the calling thread: %d of %d\n",
        warm.all, warm.slowest, decodedOnStep, kFiles);
    return 0;
}
