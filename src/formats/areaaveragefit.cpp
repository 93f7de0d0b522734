#include "formats/areaaveragefit.h"

#include "controls/picturebox.h"

#include <algorithm>
#include <utility>
#include <vector>

// Scales a picture down by averaging, for every target pixel, exactly the source area that it
// covers, as Qt's smooth scaling does when it reduces. It takes the source rows one by one, top
// to bottom, so that it can follow a decoder. Source rows are summed per colour byte first (the
// plain loops vectorise), and across once per target row.
class AreaDownscaler {
public:
    // The target is no larger than the source either way, and neither side of the source exceeds
    // kMaxSide (the JPEG limit), so that weights fit in 16 bits and a column's sums in 32.
    static constexpr int kMaxSide = 65535;

    AreaDownscaler(QSize source, QSize target)
        : columns_(spans(source.width(), target.width())), rows_(spans(source.height(), target.height())),
          target_(target, QImage::Format_RGB32), bytesPerRow_(4 * std::size_t(source.width())),
          wholeRows_(bytesPerRow_), current_(bytesPerRow_), next_(bytesPerRow_),
          scale_(1.0 / (double(source.width()) * double(source.height())))
    {
    }

    void AddRow(const QRgb* row)
    {
        const auto* bytes = reinterpret_cast<const uchar*>(row);
        const int y = sourceRows_++;
        const Span& span = rows_[targetRow_];
        const int last = span.first + span.count - 1;
        if (y != span.first && y != last)
            addWholeRow(bytes);
        else
            addPartRow(bytes, quint16(y == span.first ? span.firstWeight : span.lastWeight), current_.data());
        if (y < last) return;
        writeRow(targetRow_);
        ++targetRow_;
        std::swap(current_, next_);
        std::fill(next_.begin(), next_.end(), 0);
        // A source row across the boundary counts in the next target row too.
        if (targetRow_ < int(rows_.size()) && rows_[targetRow_].first == y)
            addPartRow(bytes, quint16(rows_[targetRow_].firstWeight), current_.data());
    }

    // Complete once every source row has been added.
    QImage Result() const { return target_; }

private:
    // The source pixels that one target pixel covers: the first and the last partly, those
    // between wholly. Weights are in units of 1/target of a source pixel, so that they are whole
    // numbers and those of one target pixel add up to the source length.
    struct Span {
        int first = 0, count = 0;
        quint32 firstWeight = 0, lastWeight = 0, fullWeight = 0;
    };

    // Fixed-length inner loops, which the compiler turns into vector code.
    static constexpr std::size_t kBlock = 32;
    // Rows summed unweighted in 16 bits before they are folded in.
    static constexpr int kMaxWholeRows = 256;
    static constexpr int kRed = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 2 : 1;
    static constexpr int kGreen = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 1 : 2;
    static constexpr int kBlue = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 0 : 3;

    static std::vector<Span> spans(int source, int target)
    {
        std::vector<Span> spans(target);
        const qint64 s = source, t = target;
        for (qint64 i = 0; i < t; ++i) {
            const qint64 begin = i * s, end = (i + 1) * s;
            Span& span = spans[i];
            span.first = int(begin / t);
            const qint64 last = (end - 1) / t;
            span.count = int(last - span.first + 1);
            span.fullWeight = quint32(t);
            span.firstWeight = quint32(std::min((span.first + 1) * t, end) - begin);
            span.lastWeight = quint32(end - std::max(last * t, begin));
        }
        return spans;
    }

    // A row that lies wholly inside the current target row.
    void addWholeRow(const uchar* __restrict bytes)
    {
        if (wholeRowCount_ == kMaxWholeRows) foldWholeRows(quint16(rows_[targetRow_].fullWeight));
        ++wholeRowCount_;
        quint16* __restrict sums = wholeRows_.data();
        std::size_t i = 0;
        for (; i + kBlock <= bytesPerRow_; i += kBlock)
            for (std::size_t k = 0; k < kBlock; ++k)
                sums[i + k] += bytes[i + k];
        for (; i < bytesPerRow_; ++i)
            sums[i] += bytes[i];
    }

    // 16-bit factors let the compiler multiply eight at a time; kept out of line, where it still
    // sees them as 16-bit.
    Q_NEVER_INLINE void addPartRow(const uchar* __restrict bytes, quint16 weight,
                                   quint32* __restrict sums) const
    {
        std::size_t i = 0;
        for (; i + kBlock <= bytesPerRow_; i += kBlock)
            for (std::size_t k = 0; k < kBlock; ++k)
                sums[i + k] += quint32(quint16(bytes[i + k])) * weight;
        for (; i < bytesPerRow_; ++i)
            sums[i] += quint32(bytes[i]) * weight;
    }

    Q_NEVER_INLINE void foldWholeRows(quint16 weight)
    {
        if (wholeRowCount_ == 0) return;
        quint32* __restrict sums = current_.data();
        const quint16* __restrict whole = wholeRows_.data();
        std::size_t i = 0;
        for (; i + kBlock <= bytesPerRow_; i += kBlock)
            for (std::size_t k = 0; k < kBlock; ++k)
                sums[i + k] += quint32(whole[i + k]) * weight;
        for (; i < bytesPerRow_; ++i)
            sums[i] += quint32(whole[i]) * weight;
        std::fill(wholeRows_.begin(), wholeRows_.end(), 0);
        wholeRowCount_ = 0;
    }

    // Sums the columns across: a target pixel's sum reaches 255 times the source area.
    void writeRow(int y)
    {
        foldWholeRows(quint16(rows_[targetRow_].fullWeight));
        auto* out = reinterpret_cast<QRgb*>(target_.scanLine(y));
        for (int x = 0; x < target_.width(); ++x) {
            const Span& span = columns_[x];
            const quint32* first = current_.data() + 4 * std::size_t(span.first);
            quint64 sum[4], whole[4] = {0, 0, 0, 0};
            for (int c = 0; c < 4; ++c)
                sum[c] = quint64(first[c]) * span.firstWeight;
            if (span.count > 1) {
                const quint32* last = first + 4 * (span.count - 1);
                for (const quint32* column = first + 4; column < last; column += 4)
                    for (int c = 0; c < 4; ++c)
                        whole[c] += column[c];
                for (int c = 0; c < 4; ++c)
                    sum[c] += whole[c] * span.fullWeight + quint64(last[c]) * span.lastWeight;
            }
            const auto level = [&](int c) { return int(double(sum[c]) * scale_ + 0.5); };
            out[x] = qRgb(level(kRed), level(kGreen), level(kBlue));
        }
    }

    std::vector<Span> columns_, rows_;
    QImage target_;
    std::size_t bytesPerRow_;
    // Per colour byte of a source row: the unweighted sum of the whole rows, and the weighted
    // sums of the current target row and of the next one.
    std::vector<quint16> wholeRows_;
    std::vector<quint32> current_, next_;
    int wholeRowCount_ = 0;
    double scale_;
    int sourceRows_ = 0, targetRow_ = 0;
};

namespace {

// The pictures that AreaDownscaler takes.
bool suitsAreaDownscaler(const QImage& picture)
{
    return picture.format() == QImage::Format_RGB32 && picture.width() <= AreaDownscaler::kMaxSide &&
           picture.height() <= AreaDownscaler::kMaxSide;
}

} // namespace

QSize FittedSize(const QSize& picture, const QSize& box)
{
    return PictureBox::FitRect(picture, box, PictureBox::Placement::ShrinkCentred).size();
}

QImage FitPicture(const QImage& picture, const QSize& box)
{
    return ScalePictureDown(picture, FittedSize(picture.size(), box));
}

QImage ScalePictureDown(const QImage& picture, const QSize& size)
{
    if (size.isEmpty()) return QImage();
    if (size == picture.size()) return picture;
    // Pictures with transparency or a palette (icons, some bitmaps) as Qt scales them.
    if (!suitsAreaDownscaler(picture))
        return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    AreaDownscaler downscaler(picture.size(), size);
    for (int y = 0; y < picture.height(); ++y)
        downscaler.AddRow(reinterpret_cast<const QRgb*>(picture.constScanLine(y)));
    return downscaler.Result();
}
