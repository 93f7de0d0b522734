#pragma once

#include "controls/picturezoom.h"
#include "formats/colourconversion.h"
#include "formats/picturefile.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <utility>

// A picture as a viewer keeps it: only at the size it is shown, never at full size.
struct ShownPicture {
    // Where it came from, its format, its own size and, for the formats saved as their bytes
    // (all but bitmaps and icons), those bytes, but for RAW files; no pixels.
    LoadedPicture picture;
    QImage fitted; // fitted into the viewer's box, ready to draw
    // The picture's own size turned as it is shown, and the part of it that fitted holds, in
    // those pixels: all of it, but only what is near the box for a zoomed view.
    QSize uprightSize;
    QRectF area;
};

// How a viewer shows pictures: fitted into its box, and turned upright first when asked to, each
// format by its own rule (PictureReading); or zoomed; in the screen's colours or as stored.
struct PictureShape {
    PictureShape(QSize box = {}, bool upright = false, ZoomState zoom = {}, ShownColours colours = {})
        : box(box), upright(upright), zoom(zoom), colours(std::move(colours))
    {
    }
    QSize box;
    bool upright;
    ZoomState zoom;
    ShownColours colours;

    bool operator==(const PictureShape&) const = default;
};

// Reads the picture at path and fits it into the box as the viewers show it, turned and in the
// colours that the shape says (the fitted picture is turned and converted, never the full-size
// one). A JPEG, and a RAW file's preview,
// is decoded with DCT scaling to the smallest size that is still at least the fitted one and then
// reduced by area average, so it is as sharp as a full decode fitted would be; other formats are
// decoded whole and reduced at once. Raises the decoder's error as LoadPictureFile does; checkpoint
// as in PictureReading.
ShownPicture ReadShownPicture(const QString& path, const PictureShape& shape,
                              const std::function<void()>& checkpoint = {});
