#pragma once

#include "platform/pixlyerror.h"

#include <QSize>
#include <QString>

// What the decoders of the newer formats say when they cannot show a picture; each message names
// the file.

// No camera or scanner comes near this many pixels (about 268 megapixels, as the JPEG decoder
// allows); a picture that claims more would need gigabytes, so it is refused before any of its
// memory is taken.
constexpr qint64 MaxPicturePixels = qint64(1) << 28;

// Damaged, truncated or not of the format at all.
PixlyError DamagedPicture(const QString& path);

// Raises the message for a picture too large to show when the size exceeds MaxPicturePixels.
void RefuseOversizedPicture(const QSize& size, const QString& path);
void RefuseOversizedPicture(qint64 width, qint64 height, const QString& path);
