// Feeds arbitrary bytes to the readers of the EXIF blocks that the newer formats carry (PNG and
// WebP chunks, the blocks of RAW files, the HEIF transformation check) and reads every block found
// as the EXIF window does. Nothing may fail but the reader's own errors.

#include "exif/exifreader.h"
#include "formats/containerexif.h"
#include "formats/exiforientation.h"
#include "formats/heifdecoder.h"
#include "formats/tiffstructure.h"
#include "platform/pixlyerror.h"

#include <QStringList>

#include <cstdlib>

namespace {

void ReadBlock(const ExifBlock& block)
{
    const int orientation = ReadTiffOrientation(block.tiff);
    if (orientation < 1 || orientation > 8) std::abort();
    QStringList lines;
    ReadExifBlock(block, QStringLiteral("input"), lines);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<ExifBlock> blocks = RawExifBlocks(input);
    blocks << ExifBlock{PngExifTiff(input)} << ExifBlock{WebPExifTiff(input)}
           << ExifBlock{TiffAfterOffset(input)};
    for (const ExifBlock& block : blocks)
        ReadBlock(block);
    static_cast<void>(HeifTurnsPictures(input));
    return 0;
}
