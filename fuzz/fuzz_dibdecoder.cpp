// Feeds arbitrary bytes to the bitmap decoder as a packed bitmap, and when they begin like a
// bitmap file ("BM"), the bytes after the file header too. A decoded picture is RGB32.

#include "formats/dibdecoder.h"

#include <cstdlib>

namespace {

constexpr qsizetype BitmapFileHeaderSize = 14;

void decode(QByteArrayView packed)
{
    const std::optional<gdi::Dib> dib = gdi::DecodePackedDib(packed);
    if (dib && !dib->image.isNull() && dib->image.format() != QImage::Format_RGB32) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView input(data, qsizetype(size));
    decode(input);
    if (input.startsWith("BM") && input.size() >= BitmapFileHeaderSize)
        decode(input.sliced(BitmapFileHeaderSize));
    return 0;
}
