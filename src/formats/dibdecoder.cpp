#include "formats/dibdecoder.h"

#include "formats/bytereader.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <vector>

namespace gdi {

namespace {

constexpr qint64 MaxDibSide = 1 << 16;
constexpr qint64 MaxDibPixels = qint64(1) << 26;

enum : quint32 { BiRgb = 0, BiBitfields = 3, BiJpeg = 4, BiPng = 5 };

struct DibHeader {
    qint64 width = 0;
    qint64 height = 0; // negative: rows stored from the top
    int bitCount = 0;
    quint32 compression = BiRgb;
    std::array<quint32, 3> masks{};
    qsizetype tableOffset = 0;
    qsizetype tableEntries = 0;
    qsizetype entrySize = 4;
    qsizetype bitsOffset = 0; // where the rows follow in a packed bitmap
};

// Only indexed depths have a colour table; a bit count of 0 goes with an embedded JPEG or PNG.
qsizetype paletteSize(int bitCount)
{
    return bitCount >= 1 && bitCount <= 8 ? qsizetype(1) << bitCount : 0;
}

void setDefaultMasks(DibHeader& header)
{
    if (header.bitCount == 16) header.masks = {0x7C00, 0x03E0, 0x001F};
    if (header.bitCount == 32) header.masks = {0xFF0000, 0xFF00, 0xFF};
}

std::optional<DibHeader> readDibHeader(QByteArrayView info)
{
    if (info.size() < 4) return std::nullopt;
    const quint32 size = le32(info, 0);
    DibHeader header;
    qsizetype maskBytes = 0;
    if (size == 12 && info.size() >= 12) {
        header.width = le16(info, 4);
        header.height = le16(info, 6);
        header.bitCount = le16(info, 10);
        header.entrySize = 3;
        header.tableEntries = paletteSize(header.bitCount);
    } else if (size >= 40 && size <= quint32(info.size())) {
        header.width = qint32(le32(info, 4));
        header.height = qint32(le32(info, 8));
        header.bitCount = le16(info, 14);
        header.compression = le32(info, 16);
        setDefaultMasks(header);
        const quint32 used = le32(info, 32);
        if (used > 65536) return std::nullopt;
        header.tableEntries = used ? used : paletteSize(header.bitCount);
        if (header.compression == BiBitfields) {
            if (info.size() < 52) return std::nullopt;
            header.masks = {le32(info, 40), le32(info, 44), le32(info, 48)};
            if (size < 52) maskBytes = 12; // the masks follow a plain BITMAPINFOHEADER
        }
    } else {
        return std::nullopt;
    }
    const qint64 rows = std::abs(header.height);
    if (header.width <= 0 || rows == 0 || header.width > MaxDibSide || rows > MaxDibSide ||
        header.width * rows > MaxDibPixels || header.bitCount > 32)
        return std::nullopt;
    header.tableOffset = size + maskBytes;
    header.bitsOffset = header.tableOffset + header.tableEntries * header.entrySize;
    return header;
}

std::vector<QRgb> readColourTable(const DibHeader& header, QByteArrayView info)
{
    std::vector<QRgb> table(size_t(paletteSize(header.bitCount)), qRgb(0, 0, 0));
    const qsizetype entries = std::min<qsizetype>(header.tableEntries, qsizetype(table.size()));
    for (qsizetype i = 0; i < entries; ++i) {
        const char* entry = info.data() + header.tableOffset + i * header.entrySize;
        table[size_t(i)] = qRgb(uchar(entry[2]), uchar(entry[1]), uchar(entry[0]));
    }
    return table;
}

int channel(quint32 value, quint32 mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const quint64 maximum = mask >> shift;
    return int(quint64((value & mask) >> shift) * 255 / maximum);
}

void decodeRow(const DibHeader& header, const uchar* in, const std::vector<QRgb>& table, QRgb* out)
{
    const qint64 width = header.width;
    switch (header.bitCount) {
    case 1:
    case 4:
    case 8: {
        const int bits = header.bitCount;
        const int perByte = 8 / bits;
        const int mask = (1 << bits) - 1;
        for (qint64 x = 0; x < width; ++x) {
            const int shift = 8 - bits * int(x % perByte + 1);
            out[x] = table[size_t((in[x / perByte] >> shift) & mask)];
        }
        break;
    }
    case 16:
        for (qint64 x = 0; x < width; ++x) {
            const quint32 v = in[2 * x] | (in[2 * x + 1] << 8);
            out[x] =
                qRgb(channel(v, header.masks[0]), channel(v, header.masks[1]), channel(v, header.masks[2]));
        }
        break;
    case 24:
        for (qint64 x = 0; x < width; ++x)
            out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
        break;
    case 32:
        for (qint64 x = 0; x < width; ++x) {
            const quint32 v = qFromLittleEndian<quint32>(in + 4 * x);
            out[x] =
                qRgb(channel(v, header.masks[0]), channel(v, header.masks[1]), channel(v, header.masks[2]));
        }
        break;
    }
}

std::optional<Dib> decodeDib(const DibHeader& header, QByteArrayView info, QByteArrayView bits)
{
    if (info.size() < header.bitsOffset) return std::nullopt; // the colour table is cut off
    if (header.compression == BiJpeg || header.compression == BiPng) {
        const QImage image = QImage::fromData(bits);
        if (image.isNull()) return std::nullopt;
        return Dib{image.convertToFormat(QImage::Format_RGB32), false};
    }
    const bool readable =
        (header.compression == BiRgb &&
         (header.bitCount == 1 || header.bitCount == 4 || header.bitCount == 8 || header.bitCount == 16 ||
          header.bitCount == 24 || header.bitCount == 32)) ||
        (header.compression == BiBitfields && (header.bitCount == 16 || header.bitCount == 32));
    if (!readable) return Dib{QImage(), true};
    const qint64 rows = std::abs(header.height);
    const qint64 stride = (header.width * header.bitCount + 31) / 32 * 4;
    if (bits.size() < stride * rows) return std::nullopt;
    QImage image(int(header.width), int(rows), QImage::Format_RGB32);
    if (image.isNull()) return std::nullopt;
    const std::vector<QRgb> table = readColourTable(header, info);
    const bool bottomUp = header.height > 0;
    for (qint64 row = 0; row < rows; ++row) {
        const auto* in = reinterpret_cast<const uchar*>(bits.data() + row * stride);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(bottomUp ? rows - 1 - row : row)));
        decodeRow(header, in, table, out);
    }
    return Dib{image, bottomUp};
}

} // namespace

std::optional<Dib> DecodeDib(QByteArrayView info, QByteArrayView bits)
{
    const std::optional<DibHeader> header = readDibHeader(info);
    if (!header) return std::nullopt;
    return decodeDib(*header, info, bits);
}

std::optional<Dib> DecodePackedDib(QByteArrayView packed)
{
    const std::optional<DibHeader> header = readDibHeader(packed);
    if (!header || header->bitsOffset > packed.size()) return std::nullopt;
    return decodeDib(*header, packed.first(header->bitsOffset), packed.sliced(header->bitsOffset));
}

} // namespace gdi
