#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

#include <QtGlobal>

#include <functional>
#include <optional>

// JPEG decoding and encoding through libjpeg. Every failure raises JpegError
// (platform/pixlyerror.h) carrying libjpeg's message number.

struct DecodedJpeg {
    QImage image;               // Format_RGB32, full size unless decoded scaled
    bool multipleScans = false; // progressive (or otherwise multi-scan) source
    QSize fullSize;             // the picture's own size, as its header gives it
    // The colour profile of the pixels (formats/colourprofile.h): the embedded one, Adobe RGB when
    // the EXIF block says so, empty for sRGB.
    QByteArray colourProfile;
};

// Decodes JPEG data at full size. Grey-scale, YCbCr, RGB and Adobe CMYK/YCCK
// sources all come out as RGB. Pictures whose header claims more pixels than
// real photographs have are refused before any large allocation.
DecodedJpeg DecodeJpeg(const QByteArray& data);

// As DecodeJpeg, but writes into reuse when it is an RGB32 image of the picture's size that
// shares its memory with no other image; otherwise into a new image. Memory touched for the
// first time is slow, so a caller that decodes many pictures of one size hands back one that it
// no longer needs.
DecodedJpeg DecodeJpegInto(const QByteArray& data, QImage reuse);

// A part of a picture to decode instead of all of it.
struct JpegRegion {
    int eighths = 8; // the scale, in eighths of the picture's own size (libjpeg's DCT scaling)
    QRect rect;      // the part, in pixels of the picture at that scale (JpegScaledSize)
};

// The size libjpeg gives a picture decoded at eighths/8 of its own size.
QSize JpegScaledSize(const QSize& fullSize, int eighths);

// How a picture that is shown smaller than it is, or only in part, gets decoded.
struct JpegScaling {
    // The smallest size wanted, given the picture's own size: the decoder uses libjpeg's DCT
    // scaling (n/8) at the smallest scale whose result is at least this size both ways, so that
    // only a fraction of the pixels is ever made. An empty size decodes at full size.
    std::function<QSize(const QSize& fullSize)> atLeast;
    // Called often while decoding, also while the scans of a progressive file are read; it may
    // raise an exception to abandon the decode, which reaches the caller unchanged.
    std::function<void()> checkpoint;
    // When it gives a region for the picture's own size, only that part is decoded, at its scale,
    // and atLeast is not asked: the image is the region's rect within the scaled picture. Libjpeg
    // then makes pixels only for those rows and columns and passes over the rows above them
    // (for a multi-scan file it still reads every scan first); the pixels are exactly those of
    // the whole picture decoded at that scale.
    std::function<std::optional<JpegRegion>(const QSize& fullSize)> region;
};

// As DecodeJpeg, scaled as asked. Memory: the scaled picture, plus for a multi-scan file libjpeg's
// coefficients of the whole picture while it decodes.
DecodedJpeg DecodeJpegScaled(const QByteArray& data, const JpegScaling& scaling);

// The picture size from the header alone, without decoding the pixels.
QSize ReadJpegSize(const QByteArray& data);

// Encodes a 24-bit colour copy of the image (so grey-scale pictures come out as
// colour files) at the given quality (1 to 100), baseline or progressive. No
// metadata is written beyond libjpeg's standard JFIF header.
QByteArray EncodeJpeg(const QImage& image, int quality, bool progressive);

// Row-by-row transcoding: a new JPEG made from an old one while only a few rows of pixels are held,
// so that memory does not grow with the picture (libjpeg itself keeps every coefficient of a
// multi-scan source or a progressive result, within the same working-memory cap as decoding).

// Where the old JPEG comes from: fills the buffer with up to capacity bytes and returns how many,
// 0 at the end of the data.
using JpegReadBytes = std::function<qsizetype(char* buffer, qsizetype capacity)>;
// As DecodeJpegScaled, reading the file a block at a time as libjpeg asks for it: a region of a
// single-scan file is decoded without the data after its last row ever being read.
DecodedJpeg DecodeJpegScaled(const JpegReadBytes& read, const JpegScaling& scaling);

// Where the new JPEG goes, a block at a time.
using JpegWriteBytes = std::function<void(const char* data, qsizetype size)>;

// What the header of the old JPEG tells.
struct JpegSourceFacts {
    QSize size;
    bool multipleScans = false; // progressive (or otherwise multi-scan)
    QByteArray colourProfile;   // as DecodedJpeg's
};

// The new JPEG: always colour, no metadata beyond libjpeg's standard JFIF header and the colour
// profile, when one is given.
struct JpegTargetSettings {
    QSize size;
    int quality = 90; // 1 to 100
    bool progressive = false;
    QByteArray colourProfile; // ICC profile bytes
};

// Called once the old JPEG's header has been read; returns the new picture's settings.
using JpegPlanTarget = std::function<JpegTargetSettings(const JpegSourceFacts& source)>;
// Writes the next row of the new picture: its width in pixels, QImage::Format_RGB32 order.
using JpegWriteRow = std::function<void(const QRgb* row)>;
// Asked, top to bottom, whether a row of the old picture is needed; rows that are not are passed
// over by the decoder without being converted to pixels.
using JpegNeedsRow = std::function<bool(int row)>;
// Told each needed row of the old picture, top to bottom, with its pixels in QImage::Format_RGB32
// order; writes the rows of the new picture that it makes, in order, through writeRow.
using JpegTakeRow = std::function<void(int row, const QRgb* pixels, const JpegWriteRow& writeRow)>;

// Decodes the old JPEG at full size, as DecodeJpeg does (colour spaces, the limit on claimed
// dimensions, warnings stepped over), and encodes the rows that takeRow writes as the new one.
// The new picture is refused the same way when it would exceed the limit, and must receive
// exactly its height in rows. Libjpeg's errors raise JpegError; an exception raised by read,
// write, plan or takeRow ends the transcode and reaches the caller unchanged. Nothing is written
// before the first block of the new picture is complete.
void TranscodeJpeg(const JpegReadBytes& read, const JpegWriteBytes& write, const JpegPlanTarget& plan,
                   const JpegNeedsRow& needsRow, const JpegTakeRow& takeRow);
