#pragma once

#include <QColor>
#include <QPainter>

#include <optional>

// The Windows raster operations that metafiles draw with, as Qt composition modes.
namespace gdi {

// The binary raster operations R2_BLACK (1) to R2_WHITE (16) of pens and brushes; source-over for
// R2_COPYPEN and the ones drawn by colour.
QPainter::CompositionMode CompositionForRop2(int rop2);
// R2_BLACK and R2_WHITE draw in their colour whatever the pen or brush.
std::optional<QColor> ColourForRop2(int rop2);

// Ternary raster operations of bitmap transfers are named by their index byte (SRCCOPY is 0xCC).
int RopIndex(quint32 rop);
// Whether the operation reads the source bitmap at all (PATCOPY and BLACKNESS do not).
bool RopUsesSource(int index);
// The composition for the common transfers; source-over for SRCCOPY and the rest.
QPainter::CompositionMode CompositionForBlit(int index);

} // namespace gdi
