#pragma once

// Writes EXIF blocks (TIFF structures) in either byte order and the JPEG files around
// them, so tests and fuzzer seeds say exactly which bytes a file holds.

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace exiftest {

enum Type : uint16_t {
    Byte = 1,
    Ascii = 2,
    Short = 3,
    Long = 4,
    Rational = 5,
    SByte = 6,
    Undefined = 7,
    SShort = 8,
    SLong = 9,
    SRational = 10,
    Float = 11,
    Double = 12,
};

enum ByteOrder { LittleEndian, BigEndian };

// Appends numbers to a byte block in one byte order.
class ByteWriter {
public:
    explicit ByteWriter(ByteOrder order) : order_(order) {}

    void U8(uint64_t value) { data_.append(static_cast<char>(value & 0xFF)); }
    void U16(uint64_t value) { Number(value, 2); }
    void U32(uint64_t value) { Number(value, 4); }
    void Bytes(const QByteArray& bytes) { data_.append(bytes); }
    void PadTo(qsizetype size) { data_.append(size - data_.size(), '\0'); }
    void Number(uint64_t value, int width)
    {
        for (int i = 0; i < width; ++i) {
            const int shift = order_ == BigEndian ? 8 * (width - 1 - i) : 8 * i;
            U8(value >> shift);
        }
    }
    const QByteArray& Data() const { return data_; }

private:
    ByteOrder order_;
    QByteArray data_;
};

// A TIFF block: the header, then the IFDs in the order they were added (the first is
// IFD0), each followed by those of its values that don't fit in their entries.
class TiffBuilder {
public:
    explicit TiffBuilder(ByteOrder order) : order_(order) {}

    int AddIfd()
    {
        ifds_.emplace_back();
        return static_cast<int>(ifds_.size()) - 1;
    }

    // An entry whose elements are encoded by its type: one number per element, a
    // numerator and a denominator per rational.
    TiffBuilder& Add(int ifd, uint16_t tag, uint16_t type, const QList<int64_t>& elements)
    {
        const bool rational = type == Rational || type == SRational;
        ByteWriter bytes(order_);
        for (const int64_t element : elements)
            bytes.Number(static_cast<uint64_t>(element), ElementWidth(type));
        const auto count = static_cast<uint32_t>(rational ? elements.size() / 2 : elements.size());
        return AddEntry(ifd, {tag, type, count, bytes.Data(), std::nullopt, std::nullopt});
    }

    // An ASCII entry holding exactly these bytes (include the NUL to terminate it).
    TiffBuilder& AddAscii(int ifd, uint16_t tag, const QByteArray& bytes)
    {
        return AddEntry(ifd,
                        {tag, Ascii, static_cast<uint32_t>(bytes.size()), bytes, std::nullopt, std::nullopt});
    }

    TiffBuilder& AddUndefined(int ifd, uint16_t tag, const QByteArray& bytes)
    {
        return AddEntry(
            ifd, {tag, Undefined, static_cast<uint32_t>(bytes.size()), bytes, std::nullopt, std::nullopt});
    }

    // An entry with its count and value field exactly as given, whatever they claim.
    TiffBuilder& AddRaw(int ifd, uint16_t tag, uint16_t type, uint32_t count, uint32_t valueField)
    {
        return AddEntry(ifd, {tag, type, count, {}, valueField, std::nullopt});
    }

    // A LONG entry holding the offset of another IFD of this block.
    TiffBuilder& AddPointer(int ifd, uint16_t tag, int target)
    {
        return AddEntry(ifd, {tag, Long, 1, {}, std::nullopt, target});
    }

    TiffBuilder& SetNext(int ifd, int target)
    {
        ifds_.at(ifd).nextTarget = target;
        return *this;
    }

    TiffBuilder& SetNextRaw(int ifd, uint32_t value)
    {
        ifds_.at(ifd).nextRaw = value;
        return *this;
    }

    // Where the IFD starts, from the TIFF header.
    uint32_t OffsetOf(int ifd) const
    {
        uint32_t offset = HeaderSize;
        for (int i = 0; i < ifd; ++i)
            offset += IfdSize(ifds_.at(i));
        return offset;
    }

    QByteArray Build() const
    {
        ByteWriter out(order_);
        out.Bytes(order_ == BigEndian ? "MM" : "II");
        out.U16(42);
        out.U32(ifds_.empty() ? 0 : OffsetOf(0));
        for (int i = 0; i < static_cast<int>(ifds_.size()); ++i)
            WriteIfd(out, i);
        return out.Data();
    }

private:
    static constexpr uint32_t HeaderSize = 8;

    struct Entry {
        uint16_t tag;
        uint16_t type;
        uint32_t count;
        QByteArray data;
        std::optional<uint32_t> rawValue;
        std::optional<int> target;
    };

    struct Ifd {
        std::vector<Entry> entries;
        std::optional<int> nextTarget;
        uint32_t nextRaw = 0;
    };

    static int ElementWidth(uint16_t type)
    {
        switch (type) {
        case Short:
        case SShort: return 2;
        case Long:
        case SLong:
        case Float:
        case Rational:
        case SRational: return 4;
        case Double: return 8;
        default: return 1;
        }
    }

    static bool OutOfLine(const Entry& entry)
    {
        return !entry.rawValue && !entry.target && entry.data.size() > 4;
    }

    // Out-of-line values start on even offsets, as TIFF asks.
    static uint32_t StoredSize(const Entry& entry)
    {
        return OutOfLine(entry) ? static_cast<uint32_t>((entry.data.size() + 1) & ~qsizetype{1}) : 0;
    }

    static uint32_t IfdSize(const Ifd& ifd)
    {
        uint32_t size = 2 + 12 * static_cast<uint32_t>(ifd.entries.size()) + 4;
        for (const Entry& entry : ifd.entries)
            size += StoredSize(entry);
        return size;
    }

    TiffBuilder& AddEntry(int ifd, Entry entry)
    {
        ifds_.at(ifd).entries.push_back(std::move(entry));
        return *this;
    }

    void WriteIfd(ByteWriter& out, int index) const
    {
        const Ifd& ifd = ifds_.at(index);
        const uint32_t start = OffsetOf(index);
        if (static_cast<uint32_t>(out.Data().size()) != start) throw std::logic_error("IFD layout");
        uint32_t valueOffset = start + 2 + 12 * static_cast<uint32_t>(ifd.entries.size()) + 4;
        out.U16(ifd.entries.size());
        for (const Entry& entry : ifd.entries) {
            out.U16(entry.tag);
            out.U16(entry.type);
            out.U32(entry.count);
            if (entry.rawValue) {
                out.U32(*entry.rawValue);
            } else if (entry.target) {
                out.U32(OffsetOf(*entry.target));
            } else if (OutOfLine(entry)) {
                out.U32(valueOffset);
                valueOffset += StoredSize(entry);
            } else {
                QByteArray field = entry.data;
                field.append(4 - field.size(), '\0');
                out.Bytes(field);
            }
        }
        out.U32(ifd.nextTarget ? OffsetOf(*ifd.nextTarget) : ifd.nextRaw);
        for (const Entry& entry : ifd.entries) {
            if (!OutOfLine(entry)) continue;
            out.Bytes(entry.data);
            out.PadTo(out.Data().size() + (entry.data.size() & 1));
        }
    }

    ByteOrder order_;
    std::vector<Ifd> ifds_;
};

// One JPEG segment: the marker, its big-endian length (which counts itself) and data.
inline QByteArray Segment(uint8_t marker, const QByteArray& payload)
{
    if (payload.size() + 2 > 0xFFFF) throw std::length_error("JPEG segment too long");
    ByteWriter out(BigEndian);
    out.U8(0xFF);
    out.U8(marker);
    out.U16(payload.size() + 2);
    out.Bytes(payload);
    return out.Data();
}

inline QByteArray ExifSegment(const QByteArray& tiff)
{
    return Segment(0xE1, QByteArray("Exif\0\0", 6) + tiff);
}

// A JPEG file: start of image, the segments, a start of scan with a few bytes of
// scan data, end of image, then anything that follows it.
inline QByteArray Jpeg(const QList<QByteArray>& segments, const QByteArray& trailing = {})
{
    QByteArray file("\xFF\xD8", 2);
    for (const QByteArray& segment : segments)
        file.append(segment);
    file.append(Segment(0xDA, QByteArray("\x01\x01\x00\x00\x3F\x00", 6)));
    file.append(QByteArray("\x12\x34\x56\x78\xFF\x00\x9A", 7));
    file.append(QByteArray("\xFF\xD9", 2));
    file.append(trailing);
    return file;
}

inline QByteArray ExifJpeg(const TiffBuilder& tiff, const QByteArray& trailing = {})
{
    return Jpeg({ExifSegment(tiff.Build())}, trailing);
}

} // namespace exiftest
