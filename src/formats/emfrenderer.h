#pragma once

#include <QByteArray>
#include <QImage>

// Renders an enhanced metafile onto an opaque white picture (QImage::Format_RGB32). The picture's
// size is the header's frame at 96 pixels per inch (its bounds in device pixels when the frame is
// empty), at most MaxMetafileSide pixels on the long side with the aspect ratio kept. Raises
// PixlyError with a message beginning "Enhanced metafile is not valid" for anything that is not a
// usable enhanced metafile, and "Enhanced metafile is too complex to show" when it draws far more
// than any picture needs.
QImage RenderEmf(const QByteArray& data);
