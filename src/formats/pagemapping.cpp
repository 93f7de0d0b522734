#include "formats/pagemapping.h"

#include <algorithm>
#include <cmath>

namespace gdi {

QTransform PageTransform(const Mapping& mapping, double deviceUnitsPerMm)
{
    double sx = 1;
    double sy = 1;
    const auto fixed = [&](double mmPerUnit) {
        sx = mmPerUnit * deviceUnitsPerMm;
        sy = -sx;
    };
    switch (mapping.mode) {
    case MapLoMetric: fixed(0.1); break;
    case MapHiMetric: fixed(0.01); break;
    case MapLoEnglish: fixed(0.254); break;
    case MapHiEnglish: fixed(0.0254); break;
    case MapTwips: fixed(25.4 / 1440); break;
    case MapIsotropic:
    case MapAnisotropic:
        if (mapping.windowExt.x() != 0) sx = mapping.viewportExt.x() / mapping.windowExt.x();
        if (mapping.windowExt.y() != 0) sy = mapping.viewportExt.y() / mapping.windowExt.y();
        if (mapping.mode == MapIsotropic) {
            const double common = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(common, sx);
            sy = std::copysign(common, sy);
        }
        break;
    default: break;
    }
    return QTransform(sx, 0, 0, sy, mapping.viewportOrg.x() - mapping.windowOrg.x() * sx,
                      mapping.viewportOrg.y() - mapping.windowOrg.y() * sy);
}

} // namespace gdi
