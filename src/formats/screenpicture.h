#pragma once

#include "formats/picturefile.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

// A picture as a viewer keeps it: only at the size it is shown, never at full size.
struct ShownPicture {
    // Where it came from, its format, its own size and, for the formats saved as their bytes
    // (JPEG, metafiles), those bytes; no pixels.
    LoadedPicture picture;
    QImage fitted; // fitted into the viewer's box, ready to draw
};

// How a viewer shows pictures: fitted into its box, and turned upright by their EXIF orientation
// first when asked to.
struct PictureShape {
    PictureShape(QSize box = {}, bool upright = false) : box(box), upright(upright) {}
    QSize box;
    bool upright;

    bool operator==(const PictureShape&) const = default;
};

// Reads the picture at path and fits it into the box as the viewers show it, turned as the shape
// says (the fitted picture is turned, never the full-size one). A JPEG is decoded
// with DCT scaling to the smallest size that is still at least the fitted one and then reduced by
// area average, so it is as sharp as a full decode fitted would be; other formats are decoded
// whole and reduced at once. Raises the decoder's error as LoadPictureFile does; checkpoint as in
// JpegScaling.
ShownPicture ReadShownPicture(const QString& path, const PictureShape& shape,
                              const std::function<void()>& checkpoint = {});
