#pragma once

// Bitmaps and metafiles built field by field, shared by the decoders' tests and the fuzzers' seeds.

#include "littleendian.h"

#include <QColor>
#include <QList>

#include <initializer_list>

namespace gditest {

enum : quint32 { BiRgb = 0, BiRle8 = 1, BiBitfields = 3, BiPng = 5 };

// A colour as a COLORREF stores it: red in the low byte.
inline quint32 ColourRef(const QColor& colour)
{
    return quint32(colour.red() | colour.green() << 8 | colour.blue() << 16);
}

// A BITMAPINFOHEADER; a negative height stores the rows from the top.
inline QByteArray DibInfoHeader(qint32 width, qint32 height, int bitCount, quint32 compression = BiRgb,
                                quint32 coloursUsed = 0)
{
    return Le32(40) + Le32(quint32(width)) + Le32(quint32(height)) + Le16(1) + Le16(bitCount) +
           Le32(compression) + Le32(0) + Le32(0) + Le32(0) + Le32(coloursUsed) + Le32(0);
}

// A colour table entry as stored: blue, green, red and a reserved byte.
inline QByteArray DibColourEntry(QRgb colour)
{
    return QByteArray(1, char(qBlue(colour))) + char(qGreen(colour)) + char(qRed(colour)) + '\0';
}

// A 2 x 2 packed bitmap with a colour table; `rows` holds the padded rows, the lower one first.
inline QByteArray PackedDib(int bitCount, const QList<QColor>& table, const QByteArray& rows)
{
    QByteArray dib = DibInfoHeader(2, 2, bitCount, BiRgb, quint32(table.size()));
    for (const QColor& colour : table)
        dib += DibColourEntry(colour.rgb());
    return dib + rows;
}

// A 24-bit packed bitmap from rows given top first, stored bottom-up unless topDown.
inline QByteArray PackedDib24(const QList<QList<QColor>>& rowsTopFirst, bool topDown = false)
{
    const int height = int(rowsTopFirst.size());
    const int width = int(rowsTopFirst.first().size());
    QByteArray dib = DibInfoHeader(width, topDown ? -height : height, 24);
    for (int i = 0; i < height; ++i) {
        QByteArray row;
        for (const QColor& colour : rowsTopFirst[topDown ? i : height - 1 - i])
            row.append(char(colour.blue())).append(char(colour.green())).append(char(colour.red()));
        dib.append(row.leftJustified((row.size() + 3) / 4 * 4, '\0'));
    }
    return dib;
}

// The rows of a 2 x 2 24-bit bitmap: top row blue, white; bottom row red, green (stored first).
inline QByteArray FourColourDibBits()
{
    return QByteArray("\x00\x00\xFF\x00\xFF\x00\0\0\xFF\x00\x00\xFF\xFF\xFF\0\0", 16);
}

// Builds a Windows metafile record by record; words are 16-bit parameters as the records store them.
class Wmf {
public:
    Wmf& placeable(int left, int top, int right, int bottom, int inch)
    {
        placeable_ = Le32(0x9AC6CDD7) + Le16(0) + Le16(left) + Le16(top) + Le16(right) + Le16(bottom) +
                     Le16(inch) + Le32(0) + Le16(0);
        return *this;
    }
    Wmf& raw(quint16 function, const QByteArray& parameters)
    {
        const QByteArray padded = parameters.size() % 2 ? parameters + '\0' : parameters;
        records_ += Le32(quint32(3 + padded.size() / 2)) + Le16(function) + padded;
        return *this;
    }
    Wmf& add(quint16 function, std::initializer_list<int> words)
    {
        QByteArray parameters;
        for (const int word : words)
            parameters += Le16(word);
        return raw(function, parameters);
    }
    Wmf& window(int x, int y, int width, int height)
    {
        return add(0x020B, {y, x}).add(0x020C, {height, width});
    }
    Wmf& pen(int style, int width, const QColor& colour)
    {
        return raw(0x02FA, Le16(style) + Le16(width) + Le16(0) + Le32(ColourRef(colour)));
    }
    Wmf& brush(int style, const QColor& colour, int hatch = 0)
    {
        return raw(0x02FC, Le16(style) + Le32(ColourRef(colour)) + Le16(hatch));
    }
    Wmf& select(int index) { return add(0x012D, {index}); }
    Wmf& remove(int index) { return add(0x01F0, {index}); }
    Wmf& rectangle(int left, int top, int right, int bottom)
    {
        return add(0x041B, {bottom, right, top, left});
    }
    Wmf& ellipse(int left, int top, int right, int bottom) { return add(0x0418, {bottom, right, top, left}); }
    // A red brush and no pen, so that filled shapes show their exact area.
    Wmf& redFill() { return pen(5, 0, Qt::black).select(0).brush(0, Qt::red).select(1); }
    // STRETCHDIB of a packed bitmap onto (0, 0)-(100, 100).
    Wmf& stretchDib(const QByteArray& dib, int sourceRows = 2)
    {
        return raw(0x0F43, Le32(0x00CC0020) + Le16(0) + Le16(sourceRows) + Le16(2) + Le16(0) + Le16(0) +
                               Le16(100) + Le16(100) + Le16(0) + Le16(0) + dib);
    }
    QByteArray bytes(bool withEnd = true) const
    {
        const QByteArray body = records_ + (withEnd ? Le32(3) + Le16(0) : QByteArray());
        return placeable_ + Le16(1) + Le16(9) + Le16(0x0300) + Le32(quint32(9 + body.size() / 2)) + Le16(8) +
               Le32(0) + Le16(0) + body;
    }

private:
    QByteArray placeable_;
    QByteArray records_;
};

// 100 x 100 logical units shown at 100 x 100 pixels.
inline Wmf WmfSquare()
{
    Wmf wmf;
    wmf.placeable(0, 0, 100, 100, 96).window(0, 0, 100, 100);
    return wmf;
}

inline QByteArray Dwords(std::initializer_list<qint64> values)
{
    QByteArray bytes;
    for (const qint64 value : values)
        bytes += Le32(value);
    return bytes;
}

constexpr qint64 EmfNullPen = 0x80000008;
constexpr qint64 EmfBlackBrush = 0x80000004;

// Builds an enhanced metafile whose reference device has 96 pixels per inch, so that device
// pixels are picture pixels when the frame is given in hundredths of a millimetre.
class Emf {
public:
    explicit Emf(int frameWidth = 2540, int frameHeight = 2540)
        : frame_(Dwords({0, 0, frameWidth, frameHeight}))
    {
    }
    Emf& add(quint32 type, const QByteArray& parameters)
    {
        records_ += Le32(type) + Le32(8 + parameters.size()) + parameters;
        return *this;
    }
    Emf& add(quint32 type, std::initializer_list<qint64> values) { return add(type, Dwords(values)); }
    Emf& brush(int index, const QColor& colour) { return add(39, {index, 0, ColourRef(colour), 0}); }
    Emf& select(qint64 index) { return add(37, {index}); }
    Emf& redFill() { return brush(1, Qt::red).select(1).select(EmfNullPen); }
    Emf& rectangle(int left, int top, int right, int bottom) { return add(43, {left, top, right, bottom}); }
    QByteArray bytes(bool withEnd = true) const
    {
        const QByteArray end = withEnd ? Dwords({14, 20, 0, 0, 20}) : QByteArray();
        const QByteArray header = Dwords({1, 88, 0, 0, 95, 95}) + frame_ + Dwords({0x464D4520, 0x10000}) +
                                  Le32(88 + records_.size() + end.size()) + Dwords({3}) + Le16(16) + Le16(0) +
                                  Dwords({0, 0, 0, 960, 960, 254, 254});
        return header + records_ + end;
    }

private:
    QByteArray frame_;
    QByteArray records_;
};

// STRETCHDIBITS parameters of a 2 x 2 bitmap onto (0, 0)-(96, 96); offsets count from the record's
// start.
inline QByteArray EmfStretchDiBits(const QByteArray& info, const QByteArray& bits, qint64 infoOffset = 80,
                                   int sourceRows = 2)
{
    return Dwords({0, 0, 95, 95, 0, 0, 0, 0, 2, sourceRows, infoOffset, info.size(), 80 + info.size(),
                   bits.size(), 0, 0x00CC0020, 96, 96}) +
           info + bits;
}

// EXTTEXTOUTW parameters of `text` at (10, 10), with an opaque rectangle and the string right after
// the fixed part.
inline QByteArray EmfExtTextOut(const QString& text, qint64 stringOffset = 76)
{
    QByteArray string(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    string = string.leftJustified((string.size() + 3) / 4 * 4, '\0');
    return Dwords({0, 0, 0, 0, 1, 0, 0, 10, 10, text.size(), stringOffset, 2, 0, 0, 96, 40, 0}) + string;
}

} // namespace gditest
