#include "formats/zoomedpart.h"

#include "formats/exiforientation.h"
#include "formats/jpegcodec.h"
#include "formats/pictureorientation.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// JPEG files begin with a start-of-image marker.
bool IsJpeg(QFile& file)
{
    return file.peek(2) == QByteArrayLiteral("\xFF\xD8");
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
    QFile file(path);
    // Any other picture, or a file that cannot be read (whose error LoadPictureFile raises), whole.
    if (!file.open(QIODevice::ReadOnly) || !IsJpeg(file)) {
        ShownPicture shown;
        PictureReading reading;
        reading.upright = shape.upright;
        reading.checkpoint = checkpoint;
        shown.picture = LoadPictureFile(path, reading);
        ConvertToScreenColours(shown.picture.image, shown.picture.colourProfile, shape.colours);
        shown.fitted = Oriented(shown.picture.image, shown.picture.orientation);
        shown.uprightSize = shown.fitted.size();
        shown.area = QRectF(QPointF(0, 0), QSizeF(shown.uprightSize));
        shown.picture.image = QImage();
        shown.picture.data = QByteArray();
        return shown;
    }
    const int orientation = shape.upright ? ReadExifOrientation(file) : OrientationAsStored;
    file.seek(0);
    ShownPicture shown;
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
        shown.area = QRectF(QPointF(turned.topLeft()) / scale, QSizeF(turned.size()) / scale);
        shown.uprightSize = upright;
        return std::optional(JpegRegion{eighths, StoredRect(turned, scaledStored, orientation)});
    };
    // Read as libjpeg asks: the data after the part's last row is never read.
    DecodedJpeg decoded = DecodeJpegScaled(
        [&file](char* buffer, qsizetype capacity) {
            return std::max<qsizetype>(0, file.read(buffer, capacity));
        },
        scaling);
    ConvertToScreenColours(decoded.image, decoded.colourProfile, shape.colours);
    shown.fitted = Oriented(decoded.image, orientation);
    shown.picture.path = path;
    shown.picture.format = PictureFormat::Jpeg;
    shown.picture.fullSize = decoded.fullSize;
    return shown;
}
