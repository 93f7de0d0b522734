#include "exif/exifstream.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <algorithm>

OutOfBoundsError::OutOfBoundsError() : PixlyError(QStringLiteral("Out of bounds")) {}

ExifSectionOutOfBoundsError::ExifSectionOutOfBoundsError()
    : PixlyError(QStringLiteral("Exif section out of bounds"))
{
}

TrxFileStream::TrxFileStream(const QString& fileName)
    : pathName_(fileName), stream_(std::make_unique<QFile>(fileName))
{
    // Unbuffered: this buffer is the only one, so a refill is one read of the file.
    if (!stream_->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        throw PixlyError(QStringLiteral("Cannot open file \"%1\". %2")
                             .arg(QDir::toNativeSeparators(fileName), stream_->errorString()));
    }
    size_ = stream_->size();
    Fill(0);
}

TrxFileStream::TrxFileStream(const QByteArray& bytes, const QString& fileName) : pathName_(fileName)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    size_ = buffer->size();
    stream_ = std::move(buffer);
    Fill(0);
}

void TrxFileStream::Refill(int32_t offset)
{
    bufStart_ = offset;
    bufLen_ = 0;
    if (offset < 0 || offset >= size_ || !stream_->seek(offset)) return;
    const qint64 got = stream_->read(buffer_.data(), BufSize);
    bufLen_ = got > 0 ? static_cast<int32_t>(got) : 0;
}

uint16_t TrxFileStream::ReadWord()
{
    const uint16_t first = ReadByte();
    const uint16_t second = ReadByte();
    return byteOrder_ == BigEndian ? static_cast<uint16_t>(first << 8 | second)
                                   : static_cast<uint16_t>(second << 8 | first);
}

uint32_t TrxFileStream::ReadLong()
{
    const uint32_t first = ReadWord();
    const uint32_t second = ReadWord();
    return byteOrder_ == BigEndian ? first << 16 | second : second << 16 | first;
}

int32_t TrxFileStream::ReadBlock(QByteArray& text, int32_t n)
{
    const int32_t length = static_cast<int32_t>(std::min<qsizetype>(n, text.size()));
    char* const characters = text.data();
    int32_t count = 0;
    while (!Eof() && count < length)
        characters[count++] = ReadChar();
    return count;
}

void TrxFileStream::Seek(int32_t offset)
{
    position_ = offset;
}

void TrxExifStream::Seek(int32_t offset)
{
    if (exifStart_ != 0 && offset >= 0 && int64_t{offset} > int64_t{exifStart_} + (SectionSize - 1))
        throw ExifSectionOutOfBoundsError();
    TrxFileStream::Seek(offset);
}

int64_t TrxExifStream::BytesAvailableAt(int32_t offset) const
{
    if (offset < 0) return 0;
    int64_t end = Size();
    if (exifStart_ != 0) end = std::min(end, int64_t{exifStart_} + SectionSize);
    return std::max<int64_t>(0, end - offset);
}
