#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

enum class PictureFormat { Jpeg, Bitmap, Icon, Metafile, EnhancedMetafile };

// A picture as loaded from its file. The file's bytes are kept so that the picture can be
// written again exactly as it was read.
struct LoadedPicture {
    QImage image;
    PictureFormat format = PictureFormat::Jpeg;
    QByteArray data; // the file's bytes as loaded
};

// Loads a picture, choosing the decoder by the file name's extension (case-insensitive), not
// by the contents: ".jpg"/".jpeg", ".bmp", ".ico", ".wmf", ".emf". Raises PixlyError (JpegError
// for JPEG data) with the message for the error box: an extension without a decoder, a file
// that cannot be opened, damaged data.
LoadedPicture LoadPictureFile(const QString& path);

// Writes the picture in the format it was loaded in, whatever extension the path carries: a
// JPEG or metafile as its unchanged bytes, a bitmap as a Windows bitmap, an icon as an icon.
// The file is written beside the target and moved over it only when complete, so a failure
// (raised as PixlyError with the file system's message) leaves an existing file as it was. A
// picture that holds nothing (none was loaded) is refused the same way.
void SavePictureFile(const LoadedPicture& picture, const QString& path);
