// Feeds arbitrary bytes to the JPEG XL decoder and its EXIF box. A decode delivers a sound picture
// or refuses with the decoder's own messages; a picture that claims more pixels than the limit is
// refused before it is decoded.

#include "exif/exifreader.h"
#include "formats/jxldecoder.h"
#include "formats/picturefaults.h"
#include "fuzzinput.h"
#include "platform/pixlyerror.h"

#include <QStringList>

#include <jxl/decode.h>
#include <jxl/decode_cxx.h>

namespace {

std::optional<qint64> ClaimedPixels(const QByteArray& input)
{
    const JxlDecoderPtr decoder = JxlDecoderMake(nullptr);
    JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO);
    JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(input.constData()),
                       std::size_t(input.size()));
    JxlDecoderCloseInput(decoder.get());
    JxlBasicInfo info{};
    if (JxlDecoderProcessInput(decoder.get()) != JXL_DEC_BASIC_INFO ||
        JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS)
        return std::nullopt;
    return qint64(info.xsize) * info.ysize;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList lines;
    ReadExifBlock(ExifBlock{JxlExifTiff(input)}, QStringLiteral("input"), lines);
    const std::optional<qint64> claimed = ClaimedPixels(input);
    const bool tooLarge = claimed && *claimed > MaxPicturePixels;
    if (claimed && !tooLarge && *claimed > MaxFuzzedPixels) return 0;
    PictureReading reading;
    reading.upright = size % 2 == 0;
    try {
        CheckDecodedPicture(DecodeJxl(input, reading, QStringLiteral("input.jxl")));
        if (tooLarge) std::abort();
    } catch (const PixlyError& error) {
        CheckRefusal(error, tooLarge ? Refusal::TooLarge : Refusal::Either);
    }
    return 0;
}
