#include "viewer/screenpicture.h"

#include "platform/jpegcodec.h"
#include "viewer/areaaveragefit.h"

#include <utility>

ShownPicture ReadShownPicture(const QString& path, QSize box, const std::function<void()>& checkpoint)
{
    JpegScaling scaling;
    scaling.atLeast = [box](const QSize& fullSize) { return FittedSize(fullSize, box); };
    scaling.checkpoint = checkpoint;
    ShownPicture shown;
    shown.picture = LoadPictureFile(path, scaling);
    shown.fitted = ScalePictureDown(shown.picture.image, FittedSize(shown.picture.fullSize, box));
    // Only the screen-size picture stays; a bitmap or icon is read again when it is saved.
    shown.picture.image = QImage();
    if (shown.picture.format == PictureFormat::Bitmap || shown.picture.format == PictureFormat::Icon)
        shown.picture.data = QByteArray();
    return shown;
}
