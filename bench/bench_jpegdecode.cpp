// Decodes a generated 12-megapixel JPEG repeatedly with DecodeJpeg and, as the baseline, with
// Qt's own JPEG reader, and prints milliseconds per decode and their ratio.
// Usage: bench_jpegdecode [repetitions]

#include "formats/jpegcodec.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QRandomGenerator>

#include <cstdio>
#include <functional>

namespace {

// A photo-like mix of smooth gradients and fine noise, so the file is neither trivial nor random.
QImage photoLikeImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(11);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = int(random.bounded(24));
            row[x] = qRgb((x / 16 + noise) & 255, (y / 12 + noise) & 255, ((x + y) / 28 + noise) & 255);
        }
    }
    return image;
}

QImage decodeWithQt(const QByteArray& jpeg)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    return reader.read();
}

double millisecondsPerRun(int repetitions, const std::function<QImage()>& decode)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repetitions; ++i)
        if (decode().isNull()) std::fprintf(stderr, "decode failed\n");
    return double(timer.nsecsElapsed()) / 1e6 / repetitions;
}

void compare(const char* label, const QByteArray& jpeg, int repetitions)
{
    const double ours = millisecondsPerRun(repetitions, [&] { return DecodeJpeg(jpeg).image; });
    const double qt = millisecondsPerRun(repetitions, [&] { return decodeWithQt(jpeg); });
    std::printf("%-12s %6.1f MB  DecodeJpeg %7.1f ms  QImageReader %7.1f ms  ratio %.2f\n", label,
                jpeg.size() / 1e6, ours, qt, ours / qt);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;
    const QImage source = photoLikeImage(4000, 3000);
    std::printf("4000 x 3000 pixels, %d decodes each (ratio below 1: DecodeJpeg is faster)\n", repetitions);
    compare("baseline", EncodeJpeg(source, 90, false), repetitions);
    compare("progressive", EncodeJpeg(source, 90, true), repetitions);
    return 0;
}
