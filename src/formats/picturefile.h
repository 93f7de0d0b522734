#pragma once

#include "formats/decodedpicture.h"
#include "formats/pictureformat.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// A picture as loaded from its file. The file's bytes are kept so that the picture can be
// written again exactly as it was read.
struct LoadedPicture {
    // The pixels; a JPEG decoded scaled holds fewer than the picture has, and one kept only at
    // screen size elsewhere holds none (a bitmap or icon is then read again from path to be saved).
    QImage image;
    PictureFormat format = PictureFormat::Jpeg;
    QByteArray data; // the file's bytes as loaded
    QString path;    // the file it was loaded from
    QSize fullSize;  // the picture's own size, turned as image is
    // The turning (an EXIF orientation) still to be done to image to show it as it was asked for.
    int orientation = OrientationAsStored;
    QByteArray colourProfile; // the profile the pixels are in (ICC bytes); empty for sRGB
};

// Loads a picture, choosing the decoder by the file name's extension (case-insensitive):
// ".jpg"/".jpeg", ".bmp", ".ico", ".wmf", ".emf" by the extension alone, not by the contents; the
// extensions of the newer formats (formatdetection.h) by the file's contents, so that a JPEG saved
// as ".heic" is read as the JPEG it is. Raises PixlyError (JpegError for JPEG data) with the
// message for the error box: an extension without a decoder, a file that cannot be opened, damaged
// data, a picture too large to show. Without a reading, the picture comes at full size as stored.
LoadedPicture LoadPictureFile(const QString& path);
LoadedPicture LoadPictureFile(const QString& path, const PictureReading& reading);

// The picture with all that saving it needs: a bitmap or icon that holds no pixels (only a
// smaller copy was kept), or a RAW file whose bytes were not kept, is read again from its file.
// Raises as LoadPictureFile.
LoadedPicture PictureToSave(const LoadedPicture& picture);

// The bytes that save the picture in the format it was loaded in, whatever name they are saved
// under: a JPEG or metafile as its unchanged bytes, a bitmap as a Windows bitmap, an icon as an
// icon (read again from its file at full size when the picture holds no pixels). Empty for a
// picture that holds nothing (none was loaded). Raises as LoadPictureFile.
QByteArray PictureBytesToSave(const LoadedPicture& picture);
