#pragma once

#include <QByteArray>
#include <QtEndian>

// Little-endian fields for building binary test files (bitmaps, metafiles). Values outside the
// field's range keep their low bytes, so negative numbers come out in two's complement.
inline QByteArray Le16(qint64 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian<quint16>(quint16(value), bytes.data());
    return bytes;
}

inline QByteArray Le32(qint64 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(quint32(value), bytes.data());
    return bytes;
}
