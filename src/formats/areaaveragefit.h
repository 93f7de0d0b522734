#pragma once

#include <QImage>
#include <QSize>

// The size that the viewers' fitting rule gives a picture in the box: never enlarged, aspect
// ratio kept.
QSize FittedSize(const QSize& picture, const QSize& box);

// The picture scaled to FittedSize: every pixel the average of exactly the area it covers, as
// Qt's smooth scaling gives it to within one level, but made faster.
QImage FitPicture(const QImage& picture, const QSize& box);

// The picture scaled down to exactly this size (no larger than the picture either way) by the same
// area average: for pictures that were already reduced on the way in to at least the fitted size.
QImage ScalePictureDown(const QImage& picture, const QSize& size);
