#pragma once

#include "formats/decodedpicture.h"

#include <QByteArray>
#include <QString>

// WebP pictures through libwebp, decoded straight to the size asked for by libwebp's own scaling,
// so that the full-size picture is never made; an animation shows its first frame through Qt's
// reader. The data is handed over in parts, with the checkpoint between them. Upright, a picture
// is turned by the orientation in its EXIF chunk.
// Raises DamagedPicture or the refusal of an oversized picture (picturefaults.h), naming path.
DecodedPicture DecodeWebP(const QByteArray& data, const PictureReading& reading, const QString& path);
