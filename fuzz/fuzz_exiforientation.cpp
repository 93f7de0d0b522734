// Feeds arbitrary bytes to ReadExifOrientation as the head of a JPEG file: whatever they hold,
// the answer is one of the eight orientations. The same bytes, as an EXIF block, are asked whether
// they say Adobe RGB, which walks IFD0's pointers to the Exif and interoperability IFDs.

#include "formats/colourprofile.h"
#include "formats/exiforientation.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const int orientation = ReadExifOrientation(bytes);
    if (orientation < 1 || orientation > 8) std::abort();
    static_cast<void>(ExifSaysAdobeRgb(bytes));
    return 0;
}
