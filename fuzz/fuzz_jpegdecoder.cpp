// Feeds arbitrary bytes to the JPEG decoder wrapper. Every failure must be a JpegError whose
// message begins "JPEG error #<code>"; a header that claims more pixels than the limit must be
// refused as too big; a decoded picture is RGB32 of the size the header claims.

#include "formats/jpegcodec.h"
#include "platform/pixlyerror.h"

#include <cstdlib>
#include <optional>

#include <jerror.h>

namespace {

// The decoder's limit on claimed pixels, and its bound on a side (libjpeg's JPEG_MAX_DIMENSION).
constexpr qint64 MaxPicturePixels = qint64(1) << 28;
constexpr int MaxSide = 65500;
// Pictures up to the limit are decoded in full, which takes seconds for the largest; the fuzzer
// decodes only those small enough to keep it quick.
constexpr qint64 MaxFuzzedPixels = qint64(1) << 20;

void checkError(const JpegError& error)
{
    if (error.code() < 0 || error.code() >= JMSG_LASTMSGCODE ||
        !error.message().startsWith(QStringLiteral("JPEG error #%1").arg(error.code())))
        std::abort();
}

std::optional<QSize> claimedSize(const QByteArray& data)
{
    try {
        return ReadJpegSize(data);
    } catch (const JpegError& error) {
        checkError(error);
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QSize> claimed = claimedSize(input);
    const bool tooBig = claimed && (qint64(claimed->width()) * claimed->height() > MaxPicturePixels ||
                                    claimed->width() > MaxSide || claimed->height() > MaxSide);
    if (claimed && !tooBig && qint64(claimed->width()) * claimed->height() > MaxFuzzedPixels) return 0;
    try {
        const DecodedJpeg decoded = DecodeJpeg(input);
        if (!claimed || tooBig || decoded.image.size() != *claimed ||
            decoded.image.format() != QImage::Format_RGB32)
            std::abort();
    } catch (const JpegError& error) {
        checkError(error);
        if (tooBig && error.code() != JERR_IMAGE_TOO_BIG) std::abort();
    }
    return 0;
}
