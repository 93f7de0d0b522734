// Feeds arbitrary bytes to ReadExifOrientation as the head of a JPEG file: whatever they hold,
// the answer is one of the eight orientations.

#include "formats/exiforientation.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int orientation =
        ReadExifOrientation(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (orientation < 1 || orientation > 8) std::abort();
    return 0;
}
