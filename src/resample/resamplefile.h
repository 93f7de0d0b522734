#pragma once

#include "platform/pixlyerror.h"

#include <QSize>
#include <QString>

#include <functional>

// Resampling one JPEG picture to a percentage of its size.

// The quality of every resampled picture.
constexpr int ResampleQuality = 90;

// Each side times the factor, rounded to the nearest whole pixel with halves going to the even
// neighbour (1023 x 0.5 and 1025 x 0.5 both give 512); 0 when nothing is left of a side.
QSize ResampledSize(const QSize& source, double factor);

// Raised when the factor leaves a picture without width or height: there is nothing to write, so
// nothing is written.
class EmptyResultError : public PixlyError {
public:
    EmptyResultError(const QString& source, const QSize& size);
    QString source() const { return source_; }
    QSize size() const { return size_; }

private:
    QString source_;
    QSize size_;
};

// Whether the picture is turned by its EXIF orientation, as the viewers show it, before it is
// stretched; the new size then follows the turned picture.
enum class PictureTurn { AsStored, Upright };

// Whether the new picture carries the source's colour profile (the embedded one, or Adobe RGB as
// its EXIF block says), so that its pixels keep their colours while the rest of the metadata is
// left out; without it they are read as sRGB.
enum class ProfileKeeping { Dropped, Kept };

// Asked once the new picture is completely written beside the target; false leaves the target
// as it was.
using MayReplaceTarget = std::function<bool()>;

// Decodes source as a JPEG whatever its extension, stretches it to ResampledSize with whole
// pixels, and writes it to target as a colour JPEG of ResampleQuality, progressive exactly when
// the source had several scans, without the source's metadata (so an upright picture is written
// with its pixels turned) but for its colour profile when it is kept. The new file is written to a
// temporary file beside the target, which replaces the target only when it is complete, so any
// failure (raised as JpegError, EmptyResultError or PixlyError with the file system's report)
// leaves an existing target, the source too when they are the same, as it was. True when the
// target was replaced; false when mayReplace declined.
bool ResampleFile(const QString& source, const QString& target, double factor,
                  const MayReplaceTarget& mayReplace = {}, PictureTurn turn = PictureTurn::AsStored,
                  ProfileKeeping profile = ProfileKeeping::Dropped);
