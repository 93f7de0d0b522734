#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// The first directory (IFD0) of a TIFF structure held in memory: a TIFF file, or the block that
// an EXIF segment or chunk carries. Every read is bounds-checked; a damaged structure simply has
// no entries.
class TiffStructure {
public:
    static constexpr uint16_t ShortType = 3;

    explicit TiffStructure(const QByteArray& tiff);

    // Whether the block starts with a TIFF header ("II*\0" or "MM\0*").
    bool HasHeader() const { return ifd0_.has_value(); }

    struct Entry {
        uint16_t type = 0;
        uint32_t count = 0;
        // The first 16-bit word of the value field, which holds a SHORT value of count 1.
        std::optional<uint32_t> firstShort;
    };
    // The first IFD0 entry with the tag, if any.
    std::optional<Entry> Find(uint16_t tag) const;

private:
    std::optional<uint32_t> Number(qsizetype at, int bytes) const;

    const QByteArray tiff_;
    bool little_ = false;
    std::optional<uint32_t> ifd0_;
};

// The TIFF block of an EXIF item as HEIF and JPEG XL store it: a 32-bit big-endian offset to the
// TIFF header, counted from the end of the offset itself (usually past "Exif\0\0"), then the data.
// Empty when the offset leads outside the item.
QByteArray TiffAfterOffset(const QByteArray& item);
