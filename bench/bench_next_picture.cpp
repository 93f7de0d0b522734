// Steps through folders of generated photo-like JPEGs (24 megapixels, baseline and progressive)
// the way the viewers do, and prints milliseconds for:
//   (a) the decode floor: libjpeg-turbo alone decoding a file at full size into a reused buffer,
//   (b) a cold step: PictureCache::Load of a file nothing was read ahead for, until the picture
//       fitted into the 1009 x 649 picture box is ready to paint,
//   (c) a warm step: the same after it was read ahead while the user looked at the current one
//       for a second,
//   (d) eight steps pressed in a row through PictureRequests, as the viewers take them: from the
//       first press until the eighth picture is drawn;
// and (e) the resident memory of a fresh process after 5 pictures in the main viewer and 3 full
// screen (1280 x 1024), at 24 and at 48 megapixels.
// Goals: (b) at most 1.0 x (a); (c) at most 30 ms; (d) at most 2.0 x (a); (e) at most 250 MB at
// 24 MP and at most 1.3 times that bound at 48 MP (the ratio of the two is printed as well).
// Times are medians over the files and passes, since the machine may be busy with other work.
// Usage: bench_next_picture [passes]

#include "controls/picturebox.h"
#include "formats/jpegcodec.h"
#include "photolikepicture.h"
#include "platform/freedmemory.h"
#include "viewer/picturecache.h"
#include "viewer/picturerequests.h"
#include "viewersteps.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFiles = 10;
constexpr int kBurst = 8;

enum class Encoding { Baseline, Progressive, Mixed };

// A folder of kFiles pictures, copies of two encodings of size, taken in turn.
QStringList writeFolder(const QString& folder, QSize size, Encoding encoding)
{
    QList<QByteArray> encoded;
    for (int seed = 0; seed < 2; ++seed) {
        const bool progressive = encoding == Encoding::Mixed ? seed == 1 : encoding == Encoding::Progressive;
        encoded << EncodeJpeg(PhotoLikePicture(seed, size.width(), size.height()), 90, progressive);
    }
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("photo%1.jpg").arg(i, 2, 10, QChar(u'0')));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(encoded[i % 2]) < 0)
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        paths << path;
    }
    return paths;
}

QStringList picturesIn(const QString& folder)
{
    QStringList paths;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        paths << QDir(folder).filePath(name);
    return paths;
}

double decodeFloor(const QStringList& paths, int passes)
{
    std::vector<double> times;
    QImage buffer;
    for (int pass = 0; pass < passes; ++pass)
        for (int i = 0; i < 2; ++i) {
            const QByteArray file = ReadFile(paths[i]);
            times.push_back(Milliseconds([&] { buffer = DecodeJpegInto(file, std::move(buffer)).image; }));
        }
    return Median(times);
}

// Presses follow each other as fast as the event loop takes them, as a held key does.
double burstOfSteps(const QStringList& paths, int passes, bool& rightPicture)
{
    std::vector<double> times;
    for (int pass = 0; pass < passes; ++pass) {
        BenchViewer viewer(kMainViewerBox);
        viewer.StepThrough(paths, 0, 1);
        times.push_back(Milliseconds([&] {
            for (int step = 1; step <= kBurst; ++step) {
                viewer.requests.Show(paths[step], NearbyIn(paths, step));
                QCoreApplication::processEvents();
            }
            while (viewer.requests.Pending())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }));
        rightPicture = rightPicture && viewer.drawn == paths[kBurst];
    }
    return Median(times);
}

struct Resident {
    double now = 0, peak = 0; // MB
};

Resident residentAfterStepping(const QString& folder)
{
    const std::vector<double> values =
        ResidentOfChild({QStringLiteral("--resident"), folder}, {"VmRSS", "VmHWM"});
    return {values[0], values[1]};
}

} // namespace

int main(int argc, char** argv)
{
    // As the program does at start.
    KeepFreedMemoryForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.value(1) == u"--resident")
        return PrintResidentAfterStepping(picturesIn(arguments.value(2)), {"VmRSS", "VmHWM"});
    const int passes = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;

    QTemporaryDir folder;
    const QString root = folder.path();
    std::printf("writing pictures of 6000 x 4000 and 8485 x 5657 pixels (quality 90) ...\n");
    const QSize size24(6000, 4000), size48(8485, 5657);
    const QStringList baseline = writeFolder(root + QStringLiteral("/baseline"), size24, Encoding::Baseline);
    const QStringList progressive =
        writeFolder(root + QStringLiteral("/progressive"), size24, Encoding::Progressive);
    writeFolder(root + QStringLiteral("/mixed24"), size24, Encoding::Mixed);
    writeFolder(root + QStringLiteral("/mixed48"), size48, Encoding::Mixed);

    struct Kind {
        const char* name;
        const QStringList& paths;
        double floor = 0, cold = 0, warm = 0, burst = 0;
    };
    Kind kinds[] = {{"baseline", baseline}, {"progressive", progressive}};
    bool rightPicture = true;
    for (Kind& kind : kinds) {
        kind.floor = decodeFloor(kind.paths, passes);
        kind.cold = ColdStep(kind.paths, 4, passes);
        kind.warm = WarmStep(kind.paths);
        kind.burst = burstOfSteps(kind.paths, passes, rightPicture);
    }

    std::printf("\nms (medians), 24 MP, box %d x %d, %d passes, %d threads\n", kMainViewerBox.width(),
                kMainViewerBox.height(), passes, QThread::idealThreadCount());
    std::printf("%-44s %11s %11s\n", "", "baseline", "progressive");
    const auto row = [&kinds](const char* label, double Kind::*figure) {
        std::printf("%-44s %11.1f %11.1f\n", label, kinds[0].*figure, kinds[1].*figure);
    };
    row("(a) decode floor, full size, reused buffer", &Kind::floor);
    row("(b) cold step: Load + SetPicture", &Kind::cold);
    row("(c) warm step: read ahead, 1 s, Load", &Kind::warm);
    row("(d) 8 steps in a row until the last is drawn", &Kind::burst);
    for (const Kind& kind : kinds)
        std::printf("%-12s (b)/(a) %.2f, goal at most 1.00; (d)/(a) %.2f, goal at most 2.00; (c) goal at "
                    "most 30 ms\n",
                    kind.name, kind.cold / kind.floor, kind.burst / kind.floor);
    std::printf("(d) ended on the picture pressed last: %s\n", rightPicture ? "yes" : "NO");

    const Resident at24 = residentAfterStepping(root + QStringLiteral("/mixed24"));
    const Resident at48 = residentAfterStepping(root + QStringLiteral("/mixed48"));
    std::printf("\n(e) resident after 5 pictures in the main viewer and 3 full screen (peak in brackets)\n");
    std::printf("24 MP: %.0f MB (%.0f MB); goal at most 250 MB\n", at24.now, at24.peak);
    std::printf("48 MP: %.0f MB (%.0f MB); goal at most 325 MB (1.3 x 250 MB); ratio to 24 MP %.2f\n",
                at48.now, at48.peak, at48.now / at24.now);
    return 0;
}
