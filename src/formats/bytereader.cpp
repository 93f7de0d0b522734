#include "formats/bytereader.h"

#include "platform/pixlyerror.h"

#include <QtEndian>

#include <cstring>

namespace gdi {

quint16 le16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 le32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

ByteReader::ByteReader(QByteArrayView bytes, QLatin1StringView invalidPrefix, qsizetype recordOffset)
    : bytes_(bytes), invalidPrefix_(invalidPrefix), recordOffset_(recordOffset)
{
}

QByteArrayView ByteReader::take(qsizetype count)
{
    if (count < 0 || count > remaining()) fail();
    const QByteArrayView part = bytes_.sliced(position_, count);
    position_ += count;
    return part;
}

quint8 ByteReader::u8()
{
    return quint8(take(1)[0]);
}

quint16 ByteReader::u16()
{
    return le16(take(2), 0);
}

quint32 ByteReader::u32()
{
    return le32(take(4), 0);
}

float ByteReader::f32()
{
    const quint32 bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void ByteReader::fail() const
{
    throw PixlyError(QStringLiteral("%1: the record at byte %2 is shorter than its contents")
                         .arg(invalidPrefix_)
                         .arg(recordOffset_));
}

} // namespace gdi
