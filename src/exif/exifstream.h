#pragma once

#include "platform/pixlyerror.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

// A read landed before the start or after the end of the file.
class OutOfBoundsError : public PixlyError {
public:
    OutOfBoundsError();
};

// A seek left the 64 KiB that one APP1 segment can hold.
class ExifSectionOutOfBoundsError : public PixlyError {
public:
    ExifSectionOutOfBoundsError();
};

// The 32-bit offset that a sum of offsets wraps to.
inline int32_t WrapOffset(int64_t offset)
{
    return static_cast<int32_t>(static_cast<uint32_t>(offset));
}

// A byte-order-aware reader of a file through one 1024-byte buffer. Offsets and
// positions are 32-bit, as in the formats it reads; sums of them wrap around.
class TrxFileStream {
public:
    static constexpr int32_t BufSize = 1024;
    static constexpr uint8_t LittleEndian = 0;
    static constexpr uint8_t BigEndian = 1;

    // Opens the file for reading and fills the buffer from its start; a file that
    // can't be opened raises PixlyError with the system's reason.
    explicit TrxFileStream(const QString& fileName);
    // Reads the bytes instead of a file; fileName only names them.
    TrxFileStream(const QByteArray& bytes, const QString& fileName);
    virtual ~TrxFileStream() = default;
    TrxFileStream(const TrxFileStream&) = delete;
    TrxFileStream& operator=(const TrxFileStream&) = delete;

    const QString& PathName() const { return pathName_; }
    int32_t BufStart() const { return bufStart_; }
    int32_t BufLen() const { return bufLen_; }
    int32_t Position() const { return position_; }
    uint8_t ByteOrder() const { return byteOrder_; }
    void SetByteOrder(uint8_t byteOrder) { byteOrder_ = byteOrder; }
    // The file's length in bytes, taken when it was opened.
    int64_t Size() const { return size_; }

    bool InBuffer(int32_t offset) const
    {
        return bufStart_ <= offset && int64_t{offset} < int64_t{bufStart_} + bufLen_;
    }
    // Refills the buffer at offset unless offset already lies in it.
    void Fill(int32_t offset)
    {
        if (!InBuffer(offset)) Refill(offset);
    }
    // True when the last fill found no data.
    bool Eof() const { return bufLen_ == 0; }

    // Inline: values are read byte by byte, so this is the reader's inner loop.
    uint8_t ReadByteAt(int32_t offset)
    {
        Fill(offset);
        if (Eof()) throw OutOfBoundsError();
        const auto byte = static_cast<uint8_t>(buffer_[static_cast<size_t>(offset - bufStart_)]);
        position_ = WrapOffset(int64_t{offset} + 1);
        return byte;
    }
    uint8_t ReadByte() { return ReadByteAt(position_); }
    char ReadChar() { return static_cast<char>(ReadByte()); }
    uint16_t ReadWord();
    uint32_t ReadLong();
    // Reads up to n characters into text, which must already hold n; stops early only
    // when the last fill found no data. Returns how many were read.
    int32_t ReadBlock(QByteArray& text, int32_t n);

    // Moves the read position without touching the buffer.
    virtual void Seek(int32_t offset);

private:
    void Refill(int32_t offset);

    QString pathName_;
    std::unique_ptr<QIODevice> stream_;
    int64_t size_ = 0;
    std::array<char, BufSize> buffer_{};
    int32_t bufStart_ = 0;
    int32_t bufLen_ = 0;
    int32_t position_ = 0;
    uint8_t byteOrder_ = BigEndian;
};

// The stream over a JPEG file's EXIF block: once ExifStart (the TIFF header's offset)
// is known, seeks may not go more than 65535 bytes past it.
class TrxExifStream : public TrxFileStream {
public:
    static constexpr int32_t SectionSize = 0x10000;

    explicit TrxExifStream(const QString& fileName) : TrxFileStream(fileName) {}
    TrxExifStream(const QByteArray& bytes, const QString& fileName) : TrxFileStream(bytes, fileName) {}

    int32_t ExifStart() const { return exifStart_; }
    void SetExifStart(int32_t offset) { exifStart_ = offset; }

    void Seek(int32_t offset) override;

    // How many bytes from offset on lie both in the file and, once ExifStart is
    // known, inside the EXIF section.
    int64_t BytesAvailableAt(int32_t offset) const;

private:
    int32_t exifStart_ = 0;
};
