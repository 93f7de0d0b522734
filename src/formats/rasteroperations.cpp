#include "formats/rasteroperations.h"

namespace gdi {

QPainter::CompositionMode CompositionForRop2(int rop2)
{
    switch (rop2) {
    case 2: return QPainter::RasterOp_NotSourceAndNotDestination;
    case 3: return QPainter::RasterOp_NotSourceAndDestination;
    case 4: return QPainter::RasterOp_NotSource;
    case 5: return QPainter::RasterOp_SourceAndNotDestination;
    case 6: return QPainter::RasterOp_NotDestination;
    case 7: return QPainter::RasterOp_SourceXorDestination;
    case 8: return QPainter::RasterOp_NotSourceOrNotDestination;
    case 9: return QPainter::RasterOp_SourceAndDestination;
    case 10: return QPainter::RasterOp_NotSourceXorDestination;
    case 12: return QPainter::RasterOp_NotSourceOrDestination;
    case 14: return QPainter::RasterOp_SourceOrNotDestination;
    case 15: return QPainter::RasterOp_SourceOrDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

std::optional<QColor> ColourForRop2(int rop2)
{
    if (rop2 == 1) return QColor(Qt::black);
    if (rop2 == 16) return QColor(Qt::white);
    return std::nullopt;
}

int RopIndex(quint32 rop)
{
    return int((rop >> 16) & 0xFF);
}

bool RopUsesSource(int index)
{
    return ((index >> 2) & 0x33) != (index & 0x33);
}

QPainter::CompositionMode CompositionForBlit(int index)
{
    switch (index) {
    case 0xEE: return QPainter::RasterOp_SourceOrDestination;        // SRCPAINT
    case 0x88: return QPainter::RasterOp_SourceAndDestination;       // SRCAND
    case 0x66: return QPainter::RasterOp_SourceXorDestination;       // SRCINVERT
    case 0x33: return QPainter::RasterOp_NotSource;                  // NOTSRCCOPY
    case 0x44: return QPainter::RasterOp_SourceAndNotDestination;    // SRCERASE
    case 0x11: return QPainter::RasterOp_NotSourceAndNotDestination; // NOTSRCERASE
    case 0xBB: return QPainter::RasterOp_NotSourceOrDestination;     // MERGEPAINT
    default: return QPainter::CompositionMode_SourceOver;            // SRCCOPY and the rest
    }
}

} // namespace gdi
