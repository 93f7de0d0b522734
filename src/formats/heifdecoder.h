#pragma once

#include "formats/decodedpicture.h"

#include <QByteArray>
#include <QString>

// HEIF pictures (".heic", ".heif": HEVC) and AVIF (AV1) through libheif: the primary picture,
// its tiles decoded on every core. Upright, the file's own transformations (rotation, mirroring,
// crop) are applied by libheif, and a picture is turned by its EXIF orientation only when the file
// carries no rotation or mirroring at all, as some converted files do; otherwise it is shown as
// coded. The decode stops at the next tile once the checkpoint raises.
// Raises DamagedPicture or the refusal of an oversized picture (picturefaults.h), naming path.
DecodedPicture DecodeHeif(const QByteArray& data, const PictureReading& reading, const QString& path);

// The TIFF block of the primary picture's Exif item; empty when there is none or the file is
// damaged.
QByteArray HeifExifTiff(const QByteArray& data);

// Whether the file's item properties rotate or mirror a picture ("irot", "imir").
bool HeifTurnsPictures(const QByteArray& data);
