// Feeds arbitrary bytes to the camera RAW decoder, its preview and its development. A decode
// delivers a sound picture or refuses with the decoder's own messages (or the JPEG decoder's, for
// a damaged preview); RAW data that claims more pixels than the limit is refused.

#include "formats/picturefaults.h"
#include "formats/rawdecoder.h"
#include "fuzzinput.h"
#include "platform/pixlyerror.h"

#include <libraw/libraw.h>

#include <memory>

namespace {

std::optional<qint64> ClaimedPixels(const QByteArray& input)
{
    const auto raw = std::make_unique<LibRaw>();
    if (raw->open_buffer(const_cast<char*>(input.constData()), std::size_t(input.size())) != LIBRAW_SUCCESS)
        return std::nullopt;
    return qint64(raw->imgdata.sizes.raw_width) * raw->imgdata.sizes.raw_height;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<qint64> claimed = ClaimedPixels(input);
    const bool tooLarge = claimed && *claimed > MaxPicturePixels;
    if (claimed && !tooLarge && *claimed > MaxFuzzedPixels) return 0;
    PictureReading reading;
    reading.upright = size % 2 == 0;
    // As a viewer asks: a preview is decoded no larger than needed.
    reading.atLeast = [](const QSize& shown) { return shown.scaled(QSize(256, 256), Qt::KeepAspectRatio); };
    try {
        CheckDecodedPicture(DecodeRaw(input, reading, QStringLiteral("input.dng")));
        if (tooLarge) std::abort();
    } catch (const JpegError&) {
        if (tooLarge) std::abort();
    } catch (const PixlyError& error) {
        CheckRefusal(error, tooLarge ? Refusal::TooLarge : Refusal::Either);
    }
    return 0;
}
