// Writes one photo of every format the viewers read into the folder given, for the end-to-end test
// that sorts them: made by the Debian encoders, the DNG by the tests' own writer.
// Usage: format_samples FOLDER

#include "formats/jpegcodec.h"
#include "formatsamples.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: format_samples FOLDER\n");
        return 2;
    }
    QImage photo(320, 240, QImage::Format_RGB32);
    photo.fill(QColor(200, 40, 40));
    const QByteArray exif = OrientedCameraExif(6);
    const QList<QPair<QString, QByteArray>> files{
        {"01.jpg", JpegWithExif(photo, exif)},
        {"02.heic", EncodeSample(photo, SampleEncoder::Heic, exif)},
        {"03.avif", EncodeSample(photo, SampleEncoder::Avif, exif)},
        {"04.webp", EncodeSample(photo, SampleEncoder::WebP, exif)},
        {"05.png", EncodeSample(photo, SampleEncoder::Png, exif)},
        {"06.gif", EncodeSample(photo, SampleEncoder::Gif)},
        {"07.tif", EncodeSample(photo, SampleEncoder::Tiff, exif)},
        {"08.jxl", EncodeSample(photo, SampleEncoder::Jxl, exif)},
        {"09.dng", MakeDng(photo, 6, EncodeJpeg(photo, 90, false))},
    };
    for (const auto& [name, bytes] : files) {
        QFile file(QDir(QString::fromLocal8Bit(argv[1])).filePath(name));
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot make %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
