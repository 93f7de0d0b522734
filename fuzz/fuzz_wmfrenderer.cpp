// Feeds arbitrary bytes to RenderWmf. A refusal (PixlyError) is fine; a picture must be opaque
// RGB32 of at most MaxMetafileSide pixels a side.

#include "fuzzinput.h"
#include "platform/metafilecanvas.h"
#include "platform/pixlyerror.h"
#include "platform/wmfrenderer.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartOffscreenApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const QImage picture =
            RenderWmf(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
        if (picture.format() != QImage::Format_RGB32 || picture.width() > MaxMetafileSide ||
            picture.height() > MaxMetafileSide)
            std::abort();
    } catch (const PixlyError&) {
    }
    return 0;
}
