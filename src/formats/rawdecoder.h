#pragma once

#include "formats/decodedpicture.h"

#include <QByteArray>
#include <QString>

// Camera RAW files through LibRaw. A file is shown by the preview the camera embedded in it (a
// JPEG, decoded at the size asked for by DCT scaling), which takes a fraction of developing the
// RAW data; only a file without a usable preview, or with one less than half the size asked for
// both ways, has its RAW data developed, at half size. Upright, the picture is turned by the
// orientation LibRaw reports for the camera. LibRaw's own progress steps run the checkpoint.
// Raises DamagedPicture or the refusal of an oversized picture (picturefaults.h), naming path; a
// damaged preview JPEG raises the JPEG decoder's error.
DecodedPicture DecodeRaw(const QByteArray& data, const PictureReading& reading, const QString& path);
