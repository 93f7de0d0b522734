#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// A directory of a TIFF structure held in memory (a TIFF file, or the block that an EXIF segment
// or chunk carries): its first one (IFD0), or one that an entry points to. Every read is
// bounds-checked; a damaged structure simply has no entries.
class TiffStructure {
public:
    static constexpr uint16_t AsciiType = 2;
    static constexpr uint16_t ShortType = 3;
    static constexpr uint16_t LongType = 4;
    static constexpr uint16_t IfdType = 13;

    explicit TiffStructure(const QByteArray& tiff);

    // Whether the block starts with a TIFF header ("II*\0" or "MM\0*").
    bool HasHeader() const { return header_; }

    struct Entry {
        uint16_t type = 0;
        uint32_t count = 0;
        // The first 16-bit word of the value field, which holds a SHORT value of count 1.
        std::optional<uint32_t> firstShort;
        // The whole value field: a LONG value of count 1, or an offset into the structure.
        std::optional<uint32_t> field;
        // The value field's four bytes as stored, which hold up to four ASCII characters.
        QByteArray fieldBytes;
    };
    // The first entry of this directory with the tag, if any.
    std::optional<Entry> Find(uint16_t tag) const;

    // The directory that the entry with the tag points to (the Exif IFD from IFD0, say); one
    // without entries when there is no such pointer.
    TiffStructure Pointed(uint16_t tag) const;

private:
    std::optional<uint32_t> Number(qsizetype at, int bytes) const;

    const QByteArray tiff_;
    bool little_ = false;
    bool header_ = false;
    std::optional<uint32_t> ifd_;
};

// The TIFF block of an EXIF item as HEIF and JPEG XL store it: a 32-bit big-endian offset to the
// TIFF header, counted from the end of the offset itself (usually past "Exif\0\0"), then the data.
// Empty when the offset leads outside the item.
QByteArray TiffAfterOffset(const QByteArray& item);
