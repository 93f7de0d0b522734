#include "formats/pictureorientation.h"

#include <QTransform>

namespace {

bool Known(int orientation)
{
    return orientation >= 2 && orientation <= 8;
}

} // namespace

bool OrientationSwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QSize OrientedSize(const QSize& stored, int orientation)
{
    return OrientationSwapsSides(orientation) ? stored.transposed() : stored;
}

QPoint StoredPixel(const QPoint& turned, const QSize& stored, int orientation)
{
    const int x = turned.x();
    const int y = turned.y();
    const int right = stored.width() - 1;
    const int bottom = stored.height() - 1;
    switch (Known(orientation) ? orientation : 1) {
    case 2: return {right - x, y};
    case 3: return {right - x, bottom - y};
    case 4: return {x, bottom - y};
    case 5: return {y, x};
    case 6: return {y, bottom - x};
    case 7: return {right - y, bottom - x};
    case 8: return {right - y, x};
    default: return turned;
    }
}

QImage Oriented(const QImage& stored, int orientation)
{
    if (!Known(orientation) || stored.isNull()) return stored;
    // Orientations 5 to 8 are a quarter turn of the picture, mirrored for 5 and 7 first.
    switch (orientation) {
    case 2: return stored.mirrored(true, false);
    case 3: return stored.mirrored(true, true);
    case 4: return stored.mirrored(false, true);
    case 5: return stored.mirrored(true, false).transformed(QTransform().rotate(270));
    case 6: return stored.transformed(QTransform().rotate(90));
    case 7: return stored.mirrored(true, false).transformed(QTransform().rotate(90));
    default: return stored.transformed(QTransform().rotate(270));
    }
}
