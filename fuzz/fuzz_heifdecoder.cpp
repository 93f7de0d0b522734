// Feeds arbitrary bytes to the HEIF and AVIF decoder and its EXIF item. A decode delivers a sound
// picture or refuses with the decoder's own messages; a picture that claims more pixels than the
// limit is refused before it is decoded.

#include "exif/exifreader.h"
#include "formats/heifdecoder.h"
#include "formats/picturefaults.h"
#include "fuzzinput.h"
#include "platform/pixlyerror.h"

#include <QStringList>

#include <libheif/heif.h>

#include <memory>

namespace {

// The primary picture's size as its "ispe" property claims it; none when the file cannot be parsed.
std::optional<qint64> ClaimedPixels(const QByteArray& input)
{
    const std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(),
                                                                              heif_context_free);
    if (heif_context_read_from_memory_without_copy(context.get(), input.constData(),
                                                   std::size_t(input.size()), nullptr)
            .code != heif_error_Ok)
        return std::nullopt;
    heif_image_handle* handle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok)
        return std::nullopt;
    const qint64 pixels =
        qint64(heif_image_handle_get_ispe_width(handle)) * heif_image_handle_get_ispe_height(handle);
    heif_image_handle_release(handle);
    return pixels;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList lines;
    ReadExifBlock(ExifBlock{HeifExifTiff(input)}, QStringLiteral("input"), lines);
    const std::optional<qint64> claimed = ClaimedPixels(input);
    const bool tooLarge = claimed && *claimed > MaxPicturePixels;
    if (claimed && !tooLarge && *claimed > MaxFuzzedPixels) return 0;
    PictureReading reading;
    reading.upright = size % 2 == 0;
    try {
        CheckDecodedPicture(DecodeHeif(input, reading, QStringLiteral("input.heic")));
        if (tooLarge) std::abort();
    } catch (const PixlyError& error) {
        CheckRefusal(error, tooLarge ? Refusal::TooLarge : Refusal::Either);
    }
    return 0;
}
