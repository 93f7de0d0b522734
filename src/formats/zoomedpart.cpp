#include "formats/zoomedpart.h"

#include "formats/exiforientation.h"
#include "formats/jpegcodec.h"
#include "formats/pictureorientation.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Only the head of the file is read; a file that cannot be opened fails in the decoder.
int OrientationOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? ReadExifOrientation(file) : OrientationAsStored;
}

// The stored picture's pixels that a rectangle of the turned picture shows.
QRect StoredRect(const QRect& turned, const QSize& stored, int orientation)
{
    const QPoint first = StoredPixel(turned.topLeft(), stored, orientation);
    const QPoint last = StoredPixel(turned.bottomRight(), stored, orientation);
    return QRect(QPoint(std::min(first.x(), last.x()), std::min(first.y(), last.y())),
                 QPoint(std::max(first.x(), last.x()), std::max(first.y(), last.y())));
}

// The whole pixels of a picture at scale that cover part, given in the picture's own pixels.
QRect CoveringPixels(const QRectF& part, double scale, const QSize& scaled)
{
    const QPoint first(int(std::floor(part.left() * scale)), int(std::floor(part.top() * scale)));
    const QPoint end(int(std::ceil(part.right() * scale)), int(std::ceil(part.bottom() * scale)));
    return QRect(first, end - QPoint(1, 1)).intersected(QRect(QPoint(0, 0), scaled));
}

} // namespace

ShownPicture ReadZoomedPart(const QString& path, const PictureShape& shape,
                            const std::function<void()>& checkpoint)
{
    int orientation = shape.upright ? OrientationOf(path) : OrientationAsStored;
    std::optional<QRectF> area; // only for a JPEG decoded in part
    JpegScaling scaling;
    scaling.checkpoint = checkpoint;
    scaling.region = [&](const QSize& stored) {
        const QSize upright = OrientedSize(stored, orientation);
        const ZoomPlacement placement = PictureZoom::Place(shape.zoom, upright, shape.box);
        const int eighths = PictureZoom::DecodeEighths(placement.scale);
        const double scale = eighths / 8.0;
        const QSize scaledStored = JpegScaledSize(stored, eighths);
        const QRect turned = CoveringPixels(PictureZoom::PartToRead(shape.zoom, upright, shape.box), scale,
                                            OrientedSize(scaledStored, orientation));
        area = QRectF(QPointF(turned.topLeft()) / scale, QSizeF(turned.size()) / scale);
        return std::optional(JpegRegion{eighths, StoredRect(turned, scaledStored, orientation)});
    };
    ShownPicture shown;
    shown.picture = LoadPictureFile(path, scaling);
    orientation = ShownOrientation(shown.picture.format, orientation);
    shown.fitted = Oriented(shown.picture.image, orientation);
    shown.uprightSize = OrientedSize(shown.picture.fullSize, orientation);
    shown.area = area.value_or(QRectF(QPointF(0, 0), QSizeF(shown.uprightSize)));
    shown.picture.image = QImage();
    shown.picture.data = QByteArray();
    return shown;
}
