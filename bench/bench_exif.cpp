// EXIF lines of 1000 JPEG files with a camera's EXIF block (IFD0, Exif IFD
// with a maker note, GPS, interoperability, IFD1), in files per second,
// beside merely reading each file's first 64 KiB in the same run.
#include "../tests/exif/exifsamples.h"
#include "exif/exifreader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using namespace exiftest;

namespace {

constexpr int FileCount = 1000;

double secondsFor(const QStringList& files, const std::function<void(const QString&)>& work)
{
    QElapsedTimer timer;
    timer.start();
    for (const QString& file : files)
        work(file);
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    QStringList files;
    const QByteArray picture = ExifJpeg(CameraTiff(LittleEndian), QByteArray(200000, '\x55'));
    for (int i = 0; i < FileCount; ++i) {
        const QString path = folder.filePath(QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0')));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(picture) != picture.size()) return 1;
        files << path;
    }

    qint64 lineCount = 0;
    const auto readLines = [&](const QString& path) {
        QStringList lines;
        ReadExif(path, lines);
        lineCount += lines.size();
    };
    const auto readHead = [](const QString& path) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) file.read(64 * 1024);
    };
    // Warm the page cache so both measure the same kind of file access.
    secondsFor(files, readHead);
    const double baseline = secondsFor(files, readHead);
    const double exif = secondsFor(files, readLines);

    std::printf("EXIF lines: %.3f ms a file (%.0f files/s, %lld lines)\n", 1000 * exif / FileCount,
                FileCount / exif, static_cast<long long>(lineCount / FileCount));
    std::printf("reading the first 64 KiB: %.3f ms a file (%.0f files/s)\n", 1000 * baseline / FileCount,
                FileCount / baseline);
    std::printf("ratio EXIF / 64 KiB read: %.2f\n", exif / baseline);
    return 0;
}
