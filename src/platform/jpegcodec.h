#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <functional>

// JPEG decoding and encoding through libjpeg. Every failure raises JpegError
// (platform/pixlyerror.h) carrying libjpeg's message number.

struct DecodedJpeg {
    QImage image;               // Format_RGB32, full size
    bool multipleScans = false; // progressive (or otherwise multi-scan) source
};

// Decodes JPEG data at full size. Grey-scale, YCbCr, RGB and Adobe CMYK/YCCK
// sources all come out as RGB. Pictures whose header claims more pixels than
// real photographs have are refused before any large allocation.
DecodedJpeg DecodeJpeg(const QByteArray& data);

// Told after each band of rows of the picture being decoded has been written (first row, number of
// rows), top to bottom, so that work on the rows can follow while they are still in the
// processor's cache. Told rows do not change any more, and the picture's memory stays where it is,
// so another thread may read them from a copy of the image while decoding goes on. It may raise an
// exception to abandon the decode; the exception reaches the caller unchanged.
using JpegRowsDecoded = std::function<void(const QImage& picture, int firstRow, int rowCount)>;

// As DecodeJpeg, but writes into reuse when it is an RGB32 image of the picture's size that
// shares its memory with no other image; otherwise into a new image. Memory touched for the
// first time is slow, so a caller that decodes many pictures of one size hands back one that it
// no longer needs.
DecodedJpeg DecodeJpegInto(const QByteArray& data, QImage reuse, const JpegRowsDecoded& rowsDecoded = {});

// The picture size from the header alone, without decoding the pixels.
QSize ReadJpegSize(const QByteArray& data);

// Encodes a 24-bit colour copy of the image (so grey-scale pictures come out as
// colour files) at the given quality (1 to 100), baseline or progressive. No
// metadata is written beyond libjpeg's standard JFIF header.
QByteArray EncodeJpeg(const QImage& image, int quality, bool progressive);
