#include "formats/screenpicture.h"

#include "formats/areaaveragefit.h"
#include "formats/exiforientation.h"
#include "formats/jpegcodec.h"
#include "formats/pictureorientation.h"

#include <QFile>

#include <utility>

namespace {

// Only the head of the file is read; a file that cannot be opened fails in the decoder.
int OrientationOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? ReadExifOrientation(file) : OrientationAsStored;
}

} // namespace

ShownPicture ReadShownPicture(const QString& path, const PictureShape& shape,
                              const std::function<void()>& checkpoint)
{
    int orientation = shape.upright ? OrientationOf(path) : OrientationAsStored;
    // The turned picture is what must fit the box; the stored one is reduced to match and turned.
    const auto storedFit = [&orientation, &shape](const QSize& fullSize) {
        return OrientedSize(FittedSize(OrientedSize(fullSize, orientation), shape.box), orientation);
    };
    JpegScaling scaling;
    scaling.atLeast = storedFit;
    scaling.checkpoint = checkpoint;
    ShownPicture shown;
    shown.picture = LoadPictureFile(path, scaling);
    orientation = ShownOrientation(shown.picture.format, orientation);
    shown.fitted =
        Oriented(ScalePictureDown(shown.picture.image, storedFit(shown.picture.fullSize)), orientation);
    shown.uprightSize = OrientedSize(shown.picture.fullSize, orientation);
    shown.area = QRectF(QPointF(0, 0), QSizeF(shown.uprightSize));
    // Only the screen-size picture stays; a bitmap or icon is read again when it is saved.
    shown.picture.image = QImage();
    if (shown.picture.format == PictureFormat::Bitmap || shown.picture.format == PictureFormat::Icon)
        shown.picture.data = QByteArray();
    return shown;
}

int ShownOrientation(PictureFormat format, int exifOrientation)
{
    return format == PictureFormat::Jpeg ? exifOrientation : OrientationAsStored;
}
