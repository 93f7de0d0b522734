#pragma once

#include "formats/decodedpicture.h"

#include <QByteArray>
#include <QString>

// JPEG XL pictures through libjxl, on every core; an animation shows its first frame. Upright,
// libjxl turns the picture by the orientation in its header. The data is handed over in parts,
// with the checkpoint between them.
// Raises DamagedPicture or the refusal of an oversized picture (picturefaults.h), naming path.
DecodedPicture DecodeJxl(const QByteArray& data, const PictureReading& reading, const QString& path);

// The TIFF block of the file's "Exif" box (also when stored compressed); empty when there is none
// or the file is damaged.
QByteArray JxlExifTiff(const QByteArray& data);
