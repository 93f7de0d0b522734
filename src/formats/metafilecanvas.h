#pragma once

#include "formats/pagemapping.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>
#include <QString>
#include <QTransform>

#include <optional>
#include <set>
#include <variant>
#include <vector>

// The longest side of a rendered metafile, so that a hostile extent cannot allocate absurd memory.
constexpr int MaxMetafileSide = 4096;

// The drawing core that the Windows and enhanced metafile players share: a device context of the
// Windows graphics device interface (objects, mapping, drawing state) that draws onto a QPainter.
namespace gdi {

// Colour from a COLORREF (red in the lowest byte); the flag byte is ignored.
QColor ColourFromRef(quint32 ref);

// How long the transform makes a line from the origin to unit.
double LengthOfUnit(const QTransform& transform, QPointF unit);

// The picture size for a metafile whose natural size is `natural` pixels: rounded, at least one
// pixel each way, scaled down to MaxMetafileSide on the long side. Empty when `natural` is not a
// positive finite size.
std::optional<QSize> PictureSize(QSizeF natural);

// Text alignment and text output options, as the records carry them.
enum : quint32 {
    AlignUpdateCp = 0x0001,
    AlignHorizontal = 0x0006,
    AlignRight = 0x0002,
    AlignCenter = 0x0006,
    AlignVertical = 0x0018,
    AlignBottom = 0x0008,
    AlignBaseline = 0x0018,
    TextOpaque = 0x0002,
    TextClipped = 0x0004,
};

struct Pen {
    quint32 style = 0; // PS_* line style with end cap and join bits
    double width = 0;  // logical units; 0 is one pixel wide
    QColor colour = Qt::black;
};

struct Brush {
    quint32 style = 0; // 0 solid, 1 null, 2 hatched, anything else a pattern
    QColor colour = Qt::white;
    quint32 hatch = 0;
    QImage pattern;
};

struct Font {
    double height = 0;     // logical units; < 0 character height, > 0 cell height, 0 the default size
    double escapement = 0; // tenths of a degree, counter-clockwise
    int weight = 0;        // 0 is normal
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString face;
};

// Palettes, regions and bitmaps are not drawn with, but they take their slot in the object table.
struct SlotOnly {};

using Object = std::variant<Pen, Brush, Font, SlotOnly>;

struct DeviceContext {
    Pen pen;
    Brush brush;
    Font font;
    QColor textColour = Qt::black;
    QColor backgroundColour = Qt::white;
    bool opaqueBackground = true;
    quint32 textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    int rop2 = 13; // R2_COPYPEN
    bool clockwiseArcs = false;
    QPointF position;
    Mapping mapping;
    std::optional<QRegion> clip; // picture pixels; none is the whole picture
};

enum class ArcKind { Arc, Chord, Pie };

struct TextRun {
    QPointF reference;
    QString text;
    QList<double> advances; // logical units per character; empty: the font's own advances
    quint32 options = 0;    // TextOpaque, TextClipped
    QRectF rectangle;       // for the options
};

// Plays drawing operations in logical coordinates onto a picture. The metafile's device units
// are placed on the picture by `deviceToPixel`; `deviceUnitsPerMm` sizes the fixed map modes.
class Canvas {
public:
    Canvas(QImage& picture, const QTransform& deviceToPixel, double deviceUnitsPerMm, const Mapping& initial);

    DeviceContext& dc() { return dc_; }
    void saveDc();
    // Negative: counted back from the latest save; positive: the n-th save still held.
    void restoreDc(int which);

    // Windows metafiles put a new object into the lowest free slot; enhanced metafiles name it.
    void createObject(const Object& object);
    void storeObject(quint32 index, const Object& object);
    void selectObject(quint32 index);
    void select(const Object& object);
    void deleteObject(quint32 index);

    QTransform logicalToPixel() const;

    // Whether the drawing so far has touched more picture pixels than a picture ever needs (256
    // times its area, at least 2^28), which only a hostile file does; the players then stop. The
    // rectangles of clip regions made and used count as pixels too.
    bool overBudget() const { return spent_ > budget_; }

    void beginPath();
    void endPath();
    void abortPath();
    void closeFigure();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();

    void moveTo(QPointF point);
    void lineTo(QPointF point);
    void polylineTo(const QPolygonF& points);
    void polyBezierTo(const QPolygonF& points);
    void polyline(const QPolygonF& points);
    void polyBezier(const QPolygonF& points);
    void polygon(const QPolygonF& points);
    void polyPolygon(const QList<QPolygonF>& polygons);
    void polyPolyline(const QList<QPolygonF>& polylines);
    void rectangle(const QRectF& box);
    void roundRect(const QRectF& box, QSizeF corner);
    void ellipse(const QRectF& box);
    void arc(ArcKind kind, const QRectF& box, QPointF start, QPointF end);
    void setPixel(QPointF point, const QColor& colour);
    void patBlt(const QRectF& box, quint32 rop);
    void blit(const QRectF& destination, const QImage& image, const QRectF& source, quint32 rop);
    void text(const TextRun& run);
    void intersectClip(const QRectF& box);
    void excludeClip(const QRectF& box);

private:
    bool preparePainter(const QTransform& transform, bool withRop2);
    void paint(const QPainterPath& path, bool stroke, bool fill);
    void figure(const QPainterPath& path, bool fill);
    void continueFigureAt(QPointF point);
    QPen qtPen(const QTransform& transform) const;
    QBrush qtBrush() const;
    QFont qtFont(double pixelHeight) const;
    double fontPixelHeight(const QTransform& transform) const;
    double textAngle() const;
    QRegion pixelRegion(const QRectF& box) const;
    void charge(const QRectF& pixelBounds, std::optional<double> strokeWidth = std::nullopt);
    void chargeClip(double pixelsPerRectangle);

    QImage& picture_;
    QPainter painter_;
    QTransform deviceToPixel_;
    double deviceUnitsPerMm_;
    DeviceContext dc_;
    std::vector<DeviceContext> saved_;
    std::vector<std::optional<Object>> objects_;
    std::set<quint32> freeSlots_;
    std::optional<QPainterPath> openPath_;
    QPainterPath closedPath_;
    double budget_;
    double spent_ = 0;
};

} // namespace gdi
