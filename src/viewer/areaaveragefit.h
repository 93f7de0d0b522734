#pragma once

#include <QImage>
#include <QSize>

#include <atomic>
#include <memory>
#include <thread>

// The size that the viewers' fitting rule gives a picture in the box: never enlarged, aspect
// ratio kept.
QSize FittedSize(const QSize& picture, const QSize& box);

// The picture scaled to FittedSize: every pixel the average of exactly the area it covers, as
// Qt's smooth scaling gives it to within one level, but made faster.
QImage FitPicture(const QImage& picture, const QSize& box);

class AreaDownscaler;

// Makes the fitted image from the rows that the JPEG decoder hands over: at once on the decoding
// thread, or on a thread of its own that follows the decoder, so that a picture asked for now is
// fitted on the second processor while the first decodes.
class RowFitter {
public:
    // spare, when it suits, becomes the fitted image.
    RowFitter(QSize box, bool ownThread, QImage spare);
    ~RowFitter();
    RowFitter(const RowFitter&) = delete;
    RowFitter& operator=(const RowFitter&) = delete;

    void RowsDecoded(const QImage& picture, int first, int count);
    QImage Finish(const QImage& picture);

private:
    static constexpr int kStopped = -1;
    static constexpr int kRowsPerWake = 64;

    void begin(const QImage& picture);
    void follow(const QImage& picture);
    void addRows(const QImage& picture, int from, int to);
    void stop();

    const QSize box_;
    const bool ownThread_;
    QImage spare_;
    std::unique_ptr<AreaDownscaler> downscaler_;
    int rowsTold_ = 0;
    std::atomic<int> rowsReady_{0};
    std::thread follower_;
};
