// Feeds arbitrary bytes to the WebP decoder, decoding at a screen size as the viewers ask. A decode
// delivers a sound picture or refuses with the decoder's own messages; a picture that claims more
// pixels than the limit is refused before it is decoded.

#include "formats/picturefaults.h"
#include "formats/webpdecoder.h"
#include "fuzzinput.h"
#include "platform/pixlyerror.h"

#include <webp/decode.h>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Animations are read by Qt's plug-in.
    StartOffscreenApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    WebPBitstreamFeatures features{};
    const bool known = WebPGetFeatures(data, size, &features) == VP8_STATUS_OK;
    const qint64 claimed = qint64(features.width) * features.height;
    // WebP's own limit on a side keeps every claim within the program's.
    if (known && claimed > MaxFuzzedPixels) return 0;
    PictureReading reading;
    reading.upright = size % 2 == 0;
    if (size % 3 == 0) reading.atLeast = [](const QSize& shown) { return shown / 3; };
    try {
        CheckDecodedPicture(DecodeWebP(input, reading, QStringLiteral("input.webp")));
        if (!known) std::abort();
    } catch (const PixlyError& error) {
        CheckRefusal(error, Refusal::Either);
    }
    return 0;
}
