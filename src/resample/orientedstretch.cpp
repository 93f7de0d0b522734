#include "resample/orientedstretch.h"

#include "formats/pictureorientation.h"

#include <algorithm>

namespace {

// Each value's place among the sorted distinct values.
std::vector<int> PlacesAmongDistinct(const std::vector<int>& values, std::vector<int>& distinct)
{
    distinct = values;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    std::vector<int> places(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        places[i] = int(std::lower_bound(distinct.begin(), distinct.end(), values[i]) - distinct.begin());
    return places;
}

} // namespace

OrientedStretch::OrientedStretch(const QSize& source, const QSize& target, int orientation)
    : target_(target), swapsSides_(OrientationSwapsSides(orientation)),
      keptRowOfSource_(std::size_t(source.height()), -1)
{
    const QSize turned = OrientedSize(source, orientation);
    // In every orientation one old coordinate follows the new column and the other the new row.
    std::vector<int> byColumn(std::size_t(target.width()));
    for (int x = 0; x < target.width(); ++x) {
        const QPoint old =
            StoredPixel({SourceIndex(x, turned.width(), target.width()), 0}, source, orientation);
        byColumn[std::size_t(x)] = swapsSides_ ? old.y() : old.x();
    }
    std::vector<int> byRow(std::size_t(target.height()));
    for (int y = 0; y < target.height(); ++y) {
        const QPoint old =
            StoredPixel({0, SourceIndex(y, turned.height(), target.height())}, source, orientation);
        byRow[std::size_t(y)] = swapsSides_ ? old.x() : old.y();
    }
    std::vector<int> keptRows;
    if (swapsSides_) {
        columnSlots_ = PlacesAmongDistinct(byRow, keptColumns_);
        rowSlots_ = PlacesAmongDistinct(byColumn, keptRows);
    } else {
        columnSlots_ = PlacesAmongDistinct(byColumn, keptColumns_);
        rowSlots_ = PlacesAmongDistinct(byRow, keptRows);
    }
    for (int row : keptRows)
        keptRowOfSource_[std::size_t(row)] = keptRowCount_++;
    kept_.resize(std::size_t(keptRowCount_) * keptColumns_.size());
}

bool OrientedStretch::NeedsRow(int sourceRow) const
{
    return sourceRow >= 0 && std::size_t(sourceRow) < keptRowOfSource_.size() &&
           keptRowOfSource_[std::size_t(sourceRow)] >= 0;
}

void OrientedStretch::TakeRow(int sourceRow, const QRgb* pixels, const WriteRow& writeRow)
{
    if (!NeedsRow(sourceRow)) return;
    QRgb* keptRow =
        kept_.data() + std::size_t(keptRowOfSource_[std::size_t(sourceRow)]) * keptColumns_.size();
    for (std::size_t c = 0; c < keptColumns_.size(); ++c)
        keptRow[c] = pixels[keptColumns_[c]];
    if (++rowsTaken_ == keptRowCount_) WriteTarget(writeRow);
}

void OrientedStretch::WriteTarget(const WriteRow& writeRow)
{
    const std::size_t keptWidth = keptColumns_.size();
    std::vector<QRgb> row(std::size_t(target_.width()));
    for (int y = 0; y < target_.height(); ++y) {
        for (int x = 0; x < target_.width(); ++x) {
            const int slotRow = swapsSides_ ? rowSlots_[std::size_t(x)] : rowSlots_[std::size_t(y)];
            const int slotColumn = swapsSides_ ? columnSlots_[std::size_t(y)] : columnSlots_[std::size_t(x)];
            row[std::size_t(x)] = kept_[std::size_t(slotRow) * keptWidth + std::size_t(slotColumn)];
        }
        writeRow(row.data());
    }
    written_ = true;
}
