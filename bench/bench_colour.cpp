// The cost of colour management in the viewers' cold step: generated photo-like JPEGs of 24
// megapixels (baseline and progressive) that embed a Display P3 profile, each read and fitted into
// the main viewer's 1009 x 649 box by PictureCache::Load as a step to a picture nothing was read
// ahead for, with colour management off and on (to an sRGB screen), and the conversion of the
// fitted picture alone. Goal: management adds at most 5 % to the step. Times are medians over the
// passes, the two ways taken in turn.
// Usage: bench_colour [passes]

#include "colourprofiles.h"
#include "formats/colourconversion.h"
#include "formats/jpegcodec.h"
#include "photolikepicture.h"
#include "viewer/picturecache.h"
#include "viewersteps.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFiles = 4;
const QSize kBox = kMainViewerBox;

QStringList writeFolder(const QString& folder, bool progressive)
{
    return WriteCopies(
        folder,
        WithIccProfile(EncodeJpeg(PhotoLikePicture(progressive ? 1 : 0, 6000, 4000), 90, progressive),
                       DisplayP3Profile()),
        kFiles);
}

struct Figures {
    double off = 0, on = 0, conversion = 0;
};

Figures measure(const QStringList& paths, int passes)
{
    PictureCache unmanaged(PictureShape(kBox, true, {}, ShownColours{false, {}}));
    PictureCache managed(PictureShape(kBox, true, {}, ShownColours{true, {}}));
    // The transform is made once, by the first picture; the steps after it are what is measured.
    managed.Load(paths[0]);
    std::vector<double> off, on, conversion;
    for (int pass = 0; pass < passes; ++pass)
        for (const QString& path : paths) {
            off.push_back(Milliseconds([&] { unmanaged.Load(path); }));
            on.push_back(Milliseconds([&] { managed.Load(path); }));
        }
    const QImage fitted = unmanaged.Load(paths[0]).fitted;
    const QByteArray profile = DisplayP3Profile();
    for (int pass = 0; pass < passes * kFiles; ++pass) {
        QImage copy = fitted.copy();
        conversion.push_back(Milliseconds([&] {
            ConvertToScreenColours(copy, profile, ShownColours{true, {}});
        }));
    }
    return Figures{Median(off), Median(on), Median(conversion)};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const int passes = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;

    QTemporaryDir folder;
    std::printf("writing pictures of 6000 x 4000 pixels (quality 90, Display P3) ...\n");
    const QStringList baseline = writeFolder(folder.filePath(QStringLiteral("baseline")), false);
    const QStringList progressive = writeFolder(folder.filePath(QStringLiteral("progressive")), true);
    const Figures figures[] = {measure(baseline, passes), measure(progressive, passes)};

    std::printf("\nms (medians), 24 MP, box %d x %d, %d passes, %d threads\n", kBox.width(), kBox.height(),
                passes, QThread::idealThreadCount());
    std::printf("%-46s %11s %11s\n", "", "baseline", "progressive");
    std::printf("%-46s %11.1f %11.1f\n", "(b) cold fitted step, colour management off", figures[0].off,
                figures[1].off);
    std::printf("%-46s %11.1f %11.1f\n", "(b) cold fitted step, Display P3 to sRGB", figures[0].on,
                figures[1].on);
    std::printf("%-46s %11.2f %11.2f\n", "    of which the conversion of the fitted one",
                figures[0].conversion, figures[1].conversion);
    for (int i = 0; i < 2; ++i)
        std::printf("%s: management adds %+.1f %% (goal at most 5 %%)\n", i == 0 ? "baseline" : "progressive",
                    100 * (figures[i].on / figures[i].off - 1));
    return 0;
}
