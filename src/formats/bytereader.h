#pragma once

#include <QByteArrayView>
#include <QLatin1StringView>

namespace gdi {

// The little-endian value at byte `at` of `bytes`; the caller has made sure that it lies inside.
quint16 le16(QByteArrayView bytes, qsizetype at);
quint32 le32(QByteArrayView bytes, qsizetype at);

// Little-endian reads over the bytes of the record at `recordOffset`; reading past their end
// raises PixlyError("<invalidPrefix>: the record at byte <recordOffset> is shorter than its contents").
class ByteReader {
public:
    ByteReader(QByteArrayView bytes, QLatin1StringView invalidPrefix, qsizetype recordOffset);

    quint8 u8();
    quint16 u16();
    qint16 i16() { return qint16(u16()); }
    quint32 u32();
    qint32 i32() { return qint32(u32()); }
    float f32();
    QByteArrayView take(qsizetype count);
    void skip(qsizetype count) { take(count); }
    qsizetype remaining() const { return bytes_.size() - position_; }
    [[noreturn]] void fail() const;

private:
    QByteArrayView bytes_;
    qsizetype position_ = 0;
    QLatin1StringView invalidPrefix_;
    qsizetype recordOffset_;
};

} // namespace gdi
