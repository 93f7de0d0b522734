#pragma once

#include "formats/decodedpicture.h"
#include "formats/pictureformat.h"

#include <QByteArray>
#include <QString>

// PNG, GIF (its first frame), WebP animations (their first frame) and TIFF through Qt's image readers, the
// reader chosen by the format given, never guessed; a file that lacks the format's signature is damaged.
// Upright, PNG, WebP and TIFF pictures are turned by the orientation in their EXIF data (a TIFF's own IFD0).
// Opaque pictures come out as RGB32, others premultiplied. Raises DamagedPicture or the refusal of an
// oversized picture (picturefaults.h), naming path.
DecodedPicture ReadWithQt(const QByteArray& data, PictureFormat format, const PictureReading& reading,
                          const QString& path);
