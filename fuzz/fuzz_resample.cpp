// Resamples arbitrary bytes as the resample window does a JPEG: by a factor the first byte
// chooses, turned upright or not and keeping the colour profile or not as the second says. A
// failure must be a PixlyError and leave the target as it was; a success must write a JPEG of the
// size ResampledSize gives.

#include "formats/jpegcodec.h"
#include "fuzzinput.h"
#include "platform/pixlyerror.h"
#include "resample/resamplefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>

namespace {

// Resampling decodes the whole picture; only small ones keep each input quick.
constexpr qint64 MaxResampledPixels = qint64(1) << 20;

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const double factor = (1 + data[0] % 150) / 100.0;
    const PictureTurn turn = data[1] & 1 ? PictureTurn::Upright : PictureTurn::AsStored;
    const ProfileKeeping profile = data[1] & 2 ? ProfileKeeping::Kept : ProfileKeeping::Dropped;
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    try {
        const QSize claimed = ReadJpegSize(input);
        if (qint64(claimed.width()) * claimed.height() > MaxResampledPixels) return 0;
    } catch (const PixlyError&) {
    }
    const QString source = WriteInputFile(QStringLiteral("source.jpg"), data + 2, size - 2);
    const QString target =
        WriteInputFile(QStringLiteral("target.jpg"), reinterpret_cast<const uint8_t*>("old"), 3);
    try {
        if (!ResampleFile(source, target, factor, {}, turn, profile)) std::abort();
        const QSize written = ReadJpegSize(contentsOf(target));
        const QSize stored = ReadJpegSize(input);
        if (written != ResampledSize(stored, factor) && written != ResampledSize(stored.transposed(), factor))
            std::abort();
    } catch (const PixlyError&) {
        if (contentsOf(target) != "old") std::abort();
    }
    // Nothing is left beside the target.
    if (QFileInfo(target).dir().entryList(QDir::Files | QDir::Hidden).size() != 2) std::abort();
    return 0;
}
