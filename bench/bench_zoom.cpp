// Zooms into generated photo-like JPEGs of 24 megapixels (baseline and progressive) the way the
// main viewer does, and prints milliseconds for:
//   (a) one full decode: libjpeg-turbo alone decoding a file at full size into a reused buffer,
//       and, for comparison, (a') the same into memory just handed back to the system, as a
//       decode after the viewers' idle hand-back of freed memory meets it,
//   (c) "z" on a fitted picture until its 100 % part is drawn (the part of the middle that the
//       1009 x 649 picture box shows, with its margin),
//   (d) the next picture while zoomed, until its part is drawn: cold (nothing was read ahead) and
//       after the current one was looked at for a second (its neighbours' parts read meanwhile).
// Goals: (c) and cold (d) at most 0.5 x (a) for baseline and 1.0 x (a) for progressive; (d) after
// a look at most 30 ms. Times are medians over the passes.
// Usage: bench_zoom [passes]

#include "controls/zoompicturebox.h"
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
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFiles = 8;
const QSize kBox = kMainViewerBox;

QStringList writeFolder(const QString& folder, bool progressive)
{
    return WriteCopies(folder, EncodeJpeg(PhotoLikePicture(progressive ? 1 : 0, 6000, 4000), 90, progressive),
                       kFiles);
}

NearbyPictures nearby(const QStringList& paths, int index)
{
    const auto at = [&paths](int i) { return paths[(i + paths.size()) % paths.size()]; };
    return NearbyPictures{{at(index + 1), at(index + 2)}, {at(index - 1), at(index - 2)}};
}

// The main viewer's picture box and the requests that draw into it.
struct Viewer {
    Viewer()
        : requests(kBox, [this](const ShownPicture& shown) {
              box.SetPicture(shown.fitted, shown.uprightSize, shown.picture.path);
          })
    {
        box.resize(kBox);
        requests.FollowZoom(box);
    }

    void waitFor(const std::function<bool()>& done)
    {
        while (!done())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    void waitUntilFitted(const QString& path)
    {
        waitFor([&] { return box.Source() == path && !box.Picture().isNull(); });
    }
    void waitUntilZoomed(const QString& path)
    {
        waitFor([&] { return box.Source() == path && box.PartServes(); });
    }

    ZoomPictureBox box;
    PictureRequests requests;
};

double fullDecode(const QStringList& paths, int passes)
{
    QFile file(paths[0]);
    file.open(QIODevice::ReadOnly);
    const QByteArray data = file.readAll();
    std::vector<double> times;
    QImage buffer;
    for (int pass = 0; pass < passes; ++pass)
        times.push_back(Milliseconds([&] { buffer = DecodeJpegInto(data, std::move(buffer)).image; }));
    return Median(times);
}

double fullDecodeAfterHandBack(const QStringList& paths, int passes)
{
    QFile file(paths[0]);
    file.open(QIODevice::ReadOnly);
    const QByteArray data = file.readAll();
    std::vector<double> times;
    for (int pass = 0; pass < passes; ++pass) {
        ReturnFreedMemory();
        times.push_back(Milliseconds([&] { DecodeJpeg(data); }));
    }
    return Median(times);
}

double zoomIn(const QStringList& paths, int passes)
{
    std::vector<double> times;
    for (int pass = 0; pass < passes; ++pass) {
        Viewer viewer;
        viewer.requests.Show(paths[pass % kFiles], {});
        viewer.waitUntilFitted(paths[pass % kFiles]);
        viewer.requests.Cache().WaitUntilIdle();
        times.push_back(Milliseconds([&] {
            viewer.box.ToggleZoom();
            viewer.waitUntilZoomed(paths[pass % kFiles]);
        }));
    }
    return Median(times);
}

// The next picture while zoomed; after a look of lookMs, or cold when nothing was read ahead.
double nextWhileZoomed(const QStringList& paths, int passes, int lookMs)
{
    std::vector<double> times;
    for (int pass = 0; pass < passes; ++pass) {
        Viewer viewer;
        const bool look = lookMs > 0;
        viewer.requests.Show(paths[0], look ? nearby(paths, 0) : NearbyPictures());
        viewer.waitUntilFitted(paths[0]);
        viewer.box.ToggleZoom();
        viewer.waitUntilZoomed(paths[0]);
        QThread::msleep(lookMs);
        QCoreApplication::processEvents();
        times.push_back(Milliseconds([&] {
            viewer.requests.Show(paths[1], look ? nearby(paths, 1) : NearbyPictures());
            viewer.waitUntilZoomed(paths[1]);
        }));
    }
    return Median(times);
}

} // namespace

int main(int argc, char** argv)
{
    KeepFreedMemoryForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int passes = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;

    QTemporaryDir folder;
    std::printf("writing pictures of 6000 x 4000 pixels (quality 90) ...\n");
    struct Kind {
        const char* name;
        QStringList paths;
        double decode = 0, freshDecode = 0, zoom = 0, cold = 0, looked = 0;
        double goal;
    };
    Kind kinds[] = {
        {"baseline", writeFolder(folder.filePath(QStringLiteral("baseline")), false), 0, 0, 0, 0, 0, 0.5},
        {"progressive", writeFolder(folder.filePath(QStringLiteral("progressive")), true), 0, 0, 0, 0, 0,
         1.0}};
    for (Kind& kind : kinds) {
        kind.decode = fullDecode(kind.paths, passes);
        kind.freshDecode = fullDecodeAfterHandBack(kind.paths, passes);
        kind.zoom = zoomIn(kind.paths, passes);
        kind.cold = nextWhileZoomed(kind.paths, passes, 0);
        kind.looked = nextWhileZoomed(kind.paths, passes, 1000);
    }

    std::printf("\nms (medians), 24 MP, box %d x %d, %d passes, %d threads\n", kBox.width(), kBox.height(),
                passes, QThread::idealThreadCount());
    std::printf("%-50s %11s %11s\n", "", "baseline", "progressive");
    const auto row = [&kinds](const char* label, double Kind::*figure) {
        std::printf("%-50s %11.1f %11.1f\n", label, kinds[0].*figure, kinds[1].*figure);
    };
    row("(a) one full decode, reused buffer", &Kind::decode);
    row("(a') one full decode after memory was handed back", &Kind::freshDecode);
    row("(c) \"z\" on the fitted picture until 100 % is drawn", &Kind::zoom);
    row("(d) next picture while zoomed, cold", &Kind::cold);
    row("(d) next picture while zoomed, after a 1 s look", &Kind::looked);
    for (const Kind& kind : kinds)
        std::printf("%-12s (c)/(a) %.2f, cold (d)/(a) %.2f, goal at most %.2f; (c)/(a') %.2f; (d) after a "
                    "look %.1f ms, goal at most 30 ms\n",
                    kind.name, kind.zoom / kind.decode, kind.cold / kind.decode, kind.goal,
                    kind.zoom / kind.freshDecode, kind.looked);
    return 0;
}
