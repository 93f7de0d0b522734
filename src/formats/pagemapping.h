#pragma once

#include <QPointF>
#include <QTransform>

// How a metafile's logical coordinates become device units: the Windows mapping modes with their
// window and viewport origins and extents, and the world transform in front of them.
namespace gdi {

enum MapMode : int {
    MapText = 1,
    MapLoMetric,
    MapHiMetric,
    MapLoEnglish,
    MapHiEnglish,
    MapTwips,
    MapIsotropic,
    MapAnisotropic
};

struct Mapping {
    int mode = MapText;
    QPointF windowOrg;
    QPointF windowExt{1, 1};
    QPointF viewportOrg;
    QPointF viewportExt{1, 1};
    QTransform world;
};

// Logical units to device units by the mapping mode, origins and extents; the world transform
// is not part of it. deviceUnitsPerMm scales the fixed metric and English modes.
QTransform PageTransform(const Mapping& mapping, double deviceUnitsPerMm);

} // namespace gdi
