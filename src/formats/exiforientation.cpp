#include "formats/exiforientation.h"

#include "formats/tiffstructure.h"

#include <QBuffer>
#include <QIODevice>

#include <cstdint>

namespace {

constexpr uint16_t OrientationTag = 0x0112;

bool ReadExactly(QIODevice& device, char* buffer, qint64 size)
{
    return device.read(buffer, size) == size;
}

} // namespace

QByteArray ReadJpegExifTiff(QIODevice& jpeg)
{
    char start[2];
    if (!ReadExactly(jpeg, start, 2) || uint8_t(start[0]) != 0xFF || uint8_t(start[1]) != 0xD8) return {};
    for (;;) {
        char marker[2];
        if (!ReadExactly(jpeg, marker, 2) || uint8_t(marker[0]) != 0xFF) return {};
        const uint8_t kind = uint8_t(marker[1]);
        if (kind == 0xFF) {
            // A fill byte: the marker's own code follows.
            jpeg.seek(jpeg.pos() - 1);
            continue;
        }
        if (kind == 0x01 || (kind >= 0xD0 && kind <= 0xD7)) continue; // markers without a segment
        if (kind == 0xDA || kind == 0xD9) return {};                  // the picture data begins
        char length[2];
        if (!ReadExactly(jpeg, length, 2)) return {};
        const int size = (uint8_t(length[0]) << 8 | uint8_t(length[1])) - 2;
        if (size < 0) return {};
        if (kind != 0xE1) {
            if (!jpeg.seek(jpeg.pos() + size)) return {};
            continue;
        }
        const QByteArray segment = jpeg.read(size);
        if (segment.size() != size) return {};
        // The first APP1 may hold XMP instead; the EXIF block is the one that says so.
        if (segment.startsWith(QByteArray("Exif\0\0", 6))) return segment.mid(6);
    }
}

int ReadExifOrientation(QIODevice& jpeg)
{
    return ReadTiffOrientation(ReadJpegExifTiff(jpeg));
}

int ReadTiffOrientation(const QByteArray& tiff)
{
    const auto entry = TiffStructure(tiff).Find(OrientationTag);
    if (!entry || entry->type != TiffStructure::ShortType || entry->count != 1 || !entry->firstShort ||
        *entry->firstShort < 1 || *entry->firstShort > 8)
        return OrientationAsStored;
    return int(*entry->firstShort);
}

int ReadExifOrientation(const QByteArray& jpeg)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    if (!buffer.open(QIODevice::ReadOnly)) return OrientationAsStored;
    return ReadExifOrientation(buffer);
}
