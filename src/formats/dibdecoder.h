#pragma once

#include <QByteArrayView>
#include <QImage>

#include <optional>

namespace gdi {

// A bitmap embedded in a metafile. `image` is in screen row order; `bottomUp` tells that the
// stored rows ran from the bottom, which is where source coordinates of StretchDIBits count from.
struct Dib {
    QImage image;
    bool bottomUp = true;
};

// Reads a device-independent bitmap: `info` begins with its BITMAPINFOHEADER (or an OS/2
// BITMAPCOREHEADER) and holds the colour masks and table, `bits` the pixel rows. Uncompressed
// 1, 4, 8, 16, 24 and 32 bits per pixel and bit-field masks are read. Empty when the bitmap is
// damaged (a header that does not fit, rows missing, absurd size); a null image when it uses a
// compression that is not read.
std::optional<Dib> DecodeDib(QByteArrayView info, QByteArrayView bits);
// The same for a packed bitmap: header, colour table and rows in one block.
std::optional<Dib> DecodePackedDib(QByteArrayView packed);

} // namespace gdi
