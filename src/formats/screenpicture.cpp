#include "formats/screenpicture.h"

#include "formats/areaaveragefit.h"
#include "formats/pictureorientation.h"

#include <utility>

ShownPicture ReadShownPicture(const QString& path, const PictureShape& shape,
                              const std::function<void()>& checkpoint)
{
    PictureReading reading;
    reading.upright = shape.upright;
    reading.atLeast = [&shape](const QSize& shownSize) { return FittedSize(shownSize, shape.box); };
    reading.checkpoint = checkpoint;
    ShownPicture shown;
    shown.picture = LoadPictureFile(path, reading);
    // The turned picture is what must fit the box; the decoded one is reduced to match and turned.
    const int orientation = shown.picture.orientation;
    const QSize storedFit =
        OrientedSize(FittedSize(OrientedSize(shown.picture.fullSize, orientation), shape.box), orientation);
    if (checkpoint) checkpoint();
    // Let go of first, so that converting the fitted picture never copies a full-size one.
    QImage fitted = ScalePictureDown(std::exchange(shown.picture.image, QImage()), storedFit);
    ConvertToScreenColours(fitted, shown.picture.colourProfile, shape.colours);
    shown.fitted = Oriented(fitted, orientation);
    shown.uprightSize = OrientedSize(shown.picture.fullSize, orientation);
    shown.area = QRectF(QPointF(0, 0), QSizeF(shown.uprightSize));
    // Only the screen-size picture stays; a bitmap or icon is read again when it is saved, and so
    // is a RAW file, whose tens of megabytes would leave no room to read the next pictures ahead.
    if (shown.picture.format == PictureFormat::Bitmap || shown.picture.format == PictureFormat::Icon ||
        shown.picture.format == PictureFormat::Raw)
        shown.picture.data = QByteArray();
    return shown;
}
