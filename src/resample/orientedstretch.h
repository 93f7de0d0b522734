#pragma once

#include "resample/neareststretch.h"

#include <vector>

// The stretch of a picture that is turned by its EXIF orientation on the way: the new picture is
// the turned old one stretched as NearestStretch would stretch it. A turned picture's first row
// may need the old picture's last row, so only the old pixels that the new picture takes are kept
// (no more than the new picture's size) and the new rows are all written once the last of those
// rows has been taken.
class OrientedStretch : public RowStretch {
public:
    // source is the stored picture's size, target the new picture's size, turned; both with sides
    // of at least one pixel. orientation is 2 to 8.
    OrientedStretch(const QSize& source, const QSize& target, int orientation);

    bool NeedsRow(int sourceRow) const override;
    void TakeRow(int sourceRow, const QRgb* pixels, const WriteRow& writeRow) override;
    bool Complete() const override { return written_; }

private:
    void WriteTarget(const WriteRow& writeRow);

    QSize target_;
    bool swapsSides_;
    // The old columns and rows that the new picture takes, each once, in the old picture's order.
    std::vector<int> keptColumns_;
    // For every old row, its place among the kept rows, or -1.
    std::vector<int> keptRowOfSource_;
    int keptRowCount_ = 0;
    // For each new column (rows when the sides swap), the place of its old column among the kept
    // ones; for each new row (columns when the sides swap), the place of its old row.
    std::vector<int> columnSlots_;
    std::vector<int> rowSlots_;
    std::vector<QRgb> kept_;
    int rowsTaken_ = 0;
    bool written_ = false;
};
