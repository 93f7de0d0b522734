#include "formats/exiforientation.h"

#include <QBuffer>
#include <QIODevice>

#include <cstdint>
#include <optional>

namespace {

constexpr uint16_t OrientationTag = 0x0112;
constexpr uint16_t ShortType = 3;

class SegmentReader {
public:
    SegmentReader(const QByteArray& data, bool littleEndian) : data_(data), little_(littleEndian) {}

    std::optional<uint32_t> Word(qsizetype at) const { return Number(at, 2); }
    std::optional<uint32_t> Long(qsizetype at) const { return Number(at, 4); }

private:
    std::optional<uint32_t> Number(qsizetype at, int bytes) const
    {
        if (at < 0 || at > data_.size() - bytes) return std::nullopt;
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const auto byte = uint32_t(uint8_t(data_[at + (little_ ? bytes - 1 - i : i)]));
            value = (value << 8) | byte;
        }
        return value;
    }

    const QByteArray& data_;
    bool little_;
};

// The orientation in a TIFF block (an APP1 segment's data after "Exif\0\0").
int OrientationInTiff(const QByteArray& tiff)
{
    if (tiff.size() < 8) return OrientationAsStored;
    const bool little = tiff.startsWith("II*\0");
    if (!little && !tiff.startsWith(QByteArray("MM\0*", 4))) return OrientationAsStored;
    const SegmentReader reader(tiff, little);
    const auto ifd = reader.Long(4);
    if (!ifd || *ifd >= uint32_t(tiff.size())) return OrientationAsStored;
    const auto count = reader.Word(qsizetype(*ifd));
    if (!count) return OrientationAsStored;
    for (uint32_t i = 0; i < *count; ++i) {
        const qsizetype entry = qsizetype(*ifd) + 2 + qsizetype(i) * 12;
        const auto tag = reader.Word(entry);
        if (!tag) break;
        if (*tag != OrientationTag) continue;
        const auto type = reader.Word(entry + 2);
        const auto elements = reader.Long(entry + 4);
        const auto value = reader.Word(entry + 8);
        if (type != ShortType || elements != 1u || !value || *value < 1 || *value > 8) break;
        return int(*value);
    }
    return OrientationAsStored;
}

bool ReadExactly(QIODevice& device, char* buffer, qint64 size)
{
    return device.read(buffer, size) == size;
}

} // namespace

int ReadExifOrientation(QIODevice& jpeg)
{
    char start[2];
    if (!ReadExactly(jpeg, start, 2) || uint8_t(start[0]) != 0xFF || uint8_t(start[1]) != 0xD8)
        return OrientationAsStored;
    for (;;) {
        char marker[2];
        if (!ReadExactly(jpeg, marker, 2) || uint8_t(marker[0]) != 0xFF) return OrientationAsStored;
        const uint8_t kind = uint8_t(marker[1]);
        if (kind == 0xFF) {
            // A fill byte: the marker's own code follows.
            jpeg.seek(jpeg.pos() - 1);
            continue;
        }
        if (kind == 0x01 || (kind >= 0xD0 && kind <= 0xD7)) continue; // markers without a segment
        if (kind == 0xDA || kind == 0xD9) return OrientationAsStored; // the picture data begins
        char length[2];
        if (!ReadExactly(jpeg, length, 2)) return OrientationAsStored;
        const int size = (uint8_t(length[0]) << 8 | uint8_t(length[1])) - 2;
        if (size < 0) return OrientationAsStored;
        if (kind != 0xE1) {
            if (!jpeg.seek(jpeg.pos() + size)) return OrientationAsStored;
            continue;
        }
        const QByteArray segment = jpeg.read(size);
        if (segment.size() != size) return OrientationAsStored;
        // The first APP1 may hold XMP instead; the EXIF block is the one that says so.
        if (segment.startsWith(QByteArray("Exif\0\0", 6))) return OrientationInTiff(segment.mid(6));
    }
}

int ReadExifOrientation(const QByteArray& jpeg)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    if (!buffer.open(QIODevice::ReadOnly)) return OrientationAsStored;
    return ReadExifOrientation(buffer);
}
