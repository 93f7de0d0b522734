#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

// Turning a picture the way its EXIF orientation (1 to 8, exif/exiforientation.h) says it is to
// be shown. Other values count as 1.

// True for the orientations that swap width and height (5 to 8).
bool OrientationSwapsSides(int orientation);

// The size of the picture once turned.
QSize OrientedSize(const QSize& stored, int orientation);

// The stored picture's pixel that the turned picture shows at turned; stored is the stored
// picture's size.
QPoint StoredPixel(const QPoint& turned, const QSize& stored, int orientation);

// The picture turned for display.
QImage Oriented(const QImage& stored, int orientation);
