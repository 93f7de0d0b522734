#include "formats/decodedpicture.h"

#include "formats/jpegcodec.h"
#include "formats/pictureorientation.h"

QSize StoredSizeWanted(const PictureReading& reading, const QSize& stored, int orientation)
{
    if (!reading.atLeast) return QSize();
    return OrientedSize(reading.atLeast(OrientedSize(stored, orientation)), orientation);
}

JpegScaling JpegScalingFor(const PictureReading& reading, int orientation)
{
    JpegScaling scaling;
    if (reading.atLeast)
        scaling.atLeast = [reading, orientation](const QSize& stored) {
            return StoredSizeWanted(reading, stored, orientation);
        };
    scaling.checkpoint = reading.checkpoint;
    return scaling;
}

bool CheckpointInCallback::Continue() noexcept
{
    const std::lock_guard lock(mutex_);
    if (raised_) return false;
    if (!checkpoint_) return true;
    try {
        checkpoint_();
    } catch (...) {
        raised_ = std::current_exception();
    }
    return !raised_;
}

void CheckpointInCallback::RethrowIfRaised() const
{
    const std::lock_guard lock(mutex_);
    if (raised_) std::rethrow_exception(raised_);
}
