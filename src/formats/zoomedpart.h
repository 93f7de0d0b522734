#pragma once

#include "formats/screenpicture.h"

#include <QString>

#include <functional>

// Reads the part of the picture at path that a zoomed view (shape.zoom) shows, with a margin
// around it, as the picture box draws it over the fitted picture: a JPEG (known by its start
// marker) read from the file only as far as that part's last row and decoded only for those rows
// and columns, at the smallest DCT scale not below the zoom (at most full size; the box enlarges
// beyond 100 %); any other format decoded whole at full size, which then serves every position
// and scale. The result's fitted holds the part, area says where it lies; it keeps
// neither the file's bytes nor other pixels. Turned, converted to the screen's colours and raising
// as ReadShownPicture.
ShownPicture ReadZoomedPart(const QString& path, const PictureShape& shape,
                            const std::function<void()>& checkpoint = {});
