#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

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

// The picture size from the header alone, without decoding the pixels.
QSize ReadJpegSize(const QByteArray& data);

// Encodes a 24-bit colour copy of the image (so grey-scale pictures come out as
// colour files) at the given quality (1 to 100), baseline or progressive. No
// metadata is written beyond libjpeg's standard JFIF header.
QByteArray EncodeJpeg(const QImage& image, int quality, bool progressive);
