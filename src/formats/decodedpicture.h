#pragma once

#include "formats/exiforientation.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <exception>
#include <functional>
#include <mutex>
#include <utility>

struct JpegScaling;

// How a picture is to be read.
struct PictureReading {
    // Turned as its format records that it is to be shown (a JPEG by its EXIF orientation, a HEIF
    // picture by its transformations, ...); otherwise as stored.
    bool upright = false;
    // The smallest size wanted, given the picture's full size, both as the picture is to be shown:
    // the decoders that can decode smaller (JPEG by DCT scaling, RAW previews) make no more than
    // that. Unset or empty: full size.
    std::function<QSize(const QSize& shownSize)> atLeast;
    // Called between the steps of decoding; it may raise an exception to abandon the decode, which
    // reaches the caller unchanged.
    std::function<void()> checkpoint;
};

// A picture as a decoder delivers it.
struct DecodedPicture {
    QImage image;   // the pixels, at full size unless decoded smaller
    QSize fullSize; // the picture's own size, turned as image is
    // The turning (an EXIF orientation) still to be done to image to show it as asked; the
    // decoders that turn pictures themselves leave none.
    int orientation = OrientationAsStored;
    // The colour profile the pixels are in, as ICC profile bytes; empty for sRGB.
    QByteArray colourProfile;
};

// The smallest stored picture that gives, once turned by orientation, what the reading asks for.
QSize StoredSizeWanted(const PictureReading& reading, const QSize& stored, int orientation);

// The reading as libjpeg's scaling of a picture that is then turned by orientation.
JpegScaling JpegScalingFor(const PictureReading& reading, int orientation);

// Runs a checkpoint where no exception may pass, inside a library's callbacks (on any of its
// threads): what it raises is kept, the library is told to stop, and the exception is raised again
// once the library has returned.
class CheckpointInCallback {
public:
    explicit CheckpointInCallback(std::function<void()> checkpoint) : checkpoint_(std::move(checkpoint)) {}

    // False once the checkpoint has raised.
    bool Continue() noexcept;
    void RethrowIfRaised() const;

private:
    const std::function<void()> checkpoint_;
    mutable std::mutex mutex_;
    std::exception_ptr raised_;
};
