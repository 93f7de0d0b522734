// Feeds arbitrary bytes to the format detection. Every format read by its contents gets the
// decoder of the contents, or its own when the contents show no format; a TIFF only becomes RAW
// when it is named so or says so itself.

#include "formats/formatdetection.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<PictureFormat> found = FormatOfContents(input);
    if (found && ReadByContents(*found) == false && *found != PictureFormat::Jpeg) std::abort();
    for (PictureFormat named :
         {PictureFormat::Png, PictureFormat::Gif, PictureFormat::WebP, PictureFormat::Tiff,
          PictureFormat::Heif, PictureFormat::JpegXl, PictureFormat::Raw}) {
        const PictureFormat decoded = FormatToDecode(named, input);
        const bool tiffNamedRaw = found == PictureFormat::Tiff && named == PictureFormat::Raw;
        if (decoded != (found ? (tiffNamedRaw ? PictureFormat::Raw : *found) : named)) std::abort();
    }
    return 0;
}
