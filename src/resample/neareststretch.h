#pragma once

#include <QRgb>
#include <QSize>

#include <functional>
#include <vector>

// The plain stretch of a resample: every pixel of the new picture takes the old picture's pixel
// at its top left corner, so whole pixels are kept or dropped (or repeated) and nothing is
// averaged.
// It works on the old picture's rows as they are decoded, top to bottom.
class RowStretch {
public:
    using WriteRow = std::function<void(const QRgb* row)>;

    virtual ~RowStretch() = default;

    // The old picture's pixel, along one side, that the new picture's pixel at index takes.
    static int SourceIndex(int targetIndex, int sourceLength, int targetLength);

    // True when the old picture's row, the next one after those taken or passed over, makes rows
    // of the new picture; a row that does not can be passed over without being decoded to pixels.
    virtual bool NeedsRow(int sourceRow) const = 0;

    // Takes the old picture's row (its width in pixels); rows come in order, each once. Writes
    // the new picture's rows that are made of it, in order, each its width in pixels.
    virtual void TakeRow(int sourceRow, const QRgb* pixels, const WriteRow& writeRow) = 0;

    // True once every row of the new picture has been written.
    virtual bool Complete() const = 0;
};

// The stretch of a picture shown as stored: rows are written as soon as they are made, so that
// neither picture is ever held whole.
class NearestStretch : public RowStretch {
public:
    // Both sizes must have sides of at least one pixel.
    NearestStretch(const QSize& source, const QSize& target);

    bool NeedsRow(int sourceRow) const override;
    void TakeRow(int sourceRow, const QRgb* pixels, const WriteRow& writeRow) override;
    bool Complete() const override { return nextTargetRow_ == target_.height(); }

private:
    QSize source_;
    QSize target_;
    std::vector<int> sourceColumns_;
    std::vector<QRgb> row_;
    int nextTargetRow_ = 0;
};
