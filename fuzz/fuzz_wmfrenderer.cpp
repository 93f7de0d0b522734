// Feeds arbitrary bytes to RenderWmf. A refusal (PixlyError) is fine; a picture must be opaque
// RGB32 of at most MaxMetafileSide pixels a side.

#include "formats/wmfrenderer.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartOffscreenApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RenderMetafileInput(RenderWmf, data, size);
    return 0;
}
