#pragma once

#include <QByteArray>
#include <QImage>

// Renders a Windows metafile, with or without the placeable header, onto an opaque white picture
// (QImage::Format_RGB32). The picture's size is the placeable header's bounding box at 96 pixels
// per inch, or else the window extent that the records set (1024 x 768 when they set none); its
// long side is at most MaxMetafileSide pixels (platform/metafilecanvas.h), the aspect ratio kept.
// Raises PixlyError with a message beginning "Metafile is not valid" for anything that is not a
// usable metafile, and "Metafile is too complex to show" when it draws far more than any picture
// needs.
QImage RenderWmf(const QByteArray& data);
