#include "resample/neareststretch.h"

NearestStretch::NearestStretch(const QSize& source, const QSize& target)
    : source_(source), target_(target), sourceColumns_(std::size_t(target.width())),
      row_(std::size_t(target.width()))
{
    for (int x = 0; x < target.width(); ++x)
        sourceColumns_[std::size_t(x)] = SourceIndex(x, source.width(), target.width());
}

int RowStretch::SourceIndex(int targetIndex, int sourceLength, int targetLength)
{
    // Target pixel i covers the old picture from i * sourceLength / targetLength on and takes the
    // pixel there, so a halving keeps the even rows and columns and a doubling repeats every
    // pixel. Whole numbers keep this exact for every size a JPEG can have.
    return int(qint64(targetIndex) * sourceLength / targetLength);
}

bool NearestStretch::NeedsRow(int sourceRow) const
{
    return nextTargetRow_ < target_.height() &&
           SourceIndex(nextTargetRow_, source_.height(), target_.height()) == sourceRow;
}

void NearestStretch::TakeRow(int sourceRow, const QRgb* pixels, const WriteRow& writeRow)
{
    bool made = false;
    while (nextTargetRow_ < target_.height() &&
           SourceIndex(nextTargetRow_, source_.height(), target_.height()) == sourceRow) {
        if (!made) {
            for (std::size_t x = 0; x < row_.size(); ++x)
                row_[x] = pixels[sourceColumns_[x]];
            made = true;
        }
        writeRow(row_.data());
        ++nextTargetRow_;
    }
}
