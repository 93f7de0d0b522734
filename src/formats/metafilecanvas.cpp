#include "formats/metafilecanvas.h"

#include "formats/rasteroperations.h"

#include <QLineF>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>

namespace gdi {

namespace {

constexpr qsizetype MaxSavedContexts = 4096;
constexpr quint32 MaxObjects = 65535;
constexpr double MaxStrokePixels = 4.0 * MaxMetafileSide;
// Operations on a clip region, and far more so drawing under it, take time with each of its
// rectangles, of which scattered clip boxes make tens of thousands. Each rectangle is charged as
// about as many pixels as take the same time.
constexpr double ClipRectangleOperationPixels = 8;
constexpr double ClipRectangleUsePixels = 4096;

bool isFinite(const QTransform& t)
{
    for (const double value :
         {t.m11(), t.m12(), t.m13(), t.m21(), t.m22(), t.m23(), t.m31(), t.m32(), t.m33()})
        if (!std::isfinite(value)) return false;
    return true;
}

// Qt's angle (counter-clockwise, degrees) of the point where the line from the box's centre
// towards `point` meets the ellipse.
double radialAngle(const QRectF& box, QPointF point)
{
    const double rx = box.width() / 2;
    const double ry = box.height() / 2;
    if (rx == 0 || ry == 0) return 0;
    const QPointF centre = box.center();
    return qRadiansToDegrees(std::atan2(-(point.y() - centre.y()) / ry, (point.x() - centre.x()) / rx));
}

} // namespace

double LengthOfUnit(const QTransform& transform, QPointF unit)
{
    return QLineF(transform.map(QPointF(0, 0)), transform.map(unit)).length();
}

QColor ColourFromRef(quint32 ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

std::optional<QSize> PictureSize(QSizeF natural)
{
    const double width = std::abs(natural.width());
    const double height = std::abs(natural.height());
    if (!std::isfinite(width) || !std::isfinite(height) || width <= 0 || height <= 0) return std::nullopt;
    const double scale = std::min(1.0, MaxMetafileSide / std::max(width, height));
    return QSize(std::max(1, int(std::lround(width * scale))), std::max(1, int(std::lround(height * scale))));
}

Canvas::Canvas(QImage& picture, const QTransform& deviceToPixel, double deviceUnitsPerMm,
               const Mapping& initial)
    : picture_(picture), painter_(&picture), deviceToPixel_(deviceToPixel),
      deviceUnitsPerMm_(deviceUnitsPerMm),
      budget_(std::max(256.0 * picture.width() * picture.height(), double(1 << 28)))
{
    dc_.mapping = initial;
}

void Canvas::saveDc()
{
    if (qsizetype(saved_.size()) < MaxSavedContexts) saved_.push_back(dc_);
}

void Canvas::restoreDc(int which)
{
    const qsizetype count = qsizetype(saved_.size());
    const qsizetype index = which < 0 ? count + which : qsizetype(which) - 1;
    if (which == 0 || index < 0 || index >= count) return;
    dc_ = saved_[size_t(index)];
    saved_.resize(size_t(index));
}

void Canvas::createObject(const Object& object)
{
    quint32 slot;
    if (!freeSlots_.empty()) {
        slot = *freeSlots_.begin();
        freeSlots_.erase(freeSlots_.begin());
    } else if (objects_.size() < MaxObjects) {
        slot = quint32(objects_.size());
        objects_.emplace_back();
    } else {
        return;
    }
    objects_[slot] = object;
}

void Canvas::storeObject(quint32 index, const Object& object)
{
    if (index >= MaxObjects) return;
    if (index >= objects_.size()) objects_.resize(index + 1);
    objects_[index] = object;
    freeSlots_.erase(index);
}

void Canvas::selectObject(quint32 index)
{
    if (index < objects_.size() && objects_[index]) select(*objects_[index]);
}

void Canvas::select(const Object& object)
{
    if (const auto* pen = std::get_if<Pen>(&object)) dc_.pen = *pen;
    if (const auto* brush = std::get_if<Brush>(&object)) dc_.brush = *brush;
    if (const auto* font = std::get_if<Font>(&object)) dc_.font = *font;
}

void Canvas::deleteObject(quint32 index)
{
    if (index >= objects_.size() || !objects_[index]) return;
    objects_[index].reset();
    freeSlots_.insert(index);
}

QTransform Canvas::logicalToPixel() const
{
    return dc_.mapping.world * PageTransform(dc_.mapping, deviceUnitsPerMm_) * deviceToPixel_;
}

void Canvas::beginPath()
{
    openPath_ = QPainterPath();
    closedPath_ = QPainterPath();
}

void Canvas::endPath()
{
    if (!openPath_) return;
    closedPath_ = *openPath_;
    openPath_.reset();
}

void Canvas::abortPath()
{
    openPath_.reset();
    closedPath_ = QPainterPath();
}

void Canvas::closeFigure()
{
    if (openPath_) openPath_->closeSubpath();
}

void Canvas::fillPath()
{
    closedPath_.setFillRule(dc_.fillRule);
    paint(closedPath_, false, true);
    closedPath_ = QPainterPath();
}

void Canvas::strokePath()
{
    paint(closedPath_, true, false);
    closedPath_ = QPainterPath();
}

void Canvas::strokeAndFillPath()
{
    closedPath_.setFillRule(dc_.fillRule);
    paint(closedPath_, true, true);
    closedPath_ = QPainterPath();
}

void Canvas::moveTo(QPointF point)
{
    dc_.position = point;
    if (openPath_) openPath_->moveTo(point);
}

void Canvas::continueFigureAt(QPointF point)
{
    if (openPath_->elementCount() == 0 || openPath_->currentPosition() != point) openPath_->moveTo(point);
}

void Canvas::lineTo(QPointF point)
{
    polylineTo(QPolygonF{point});
}

void Canvas::polylineTo(const QPolygonF& points)
{
    if (points.isEmpty()) return;
    if (openPath_) {
        continueFigureAt(dc_.position);
        for (const QPointF& point : points)
            openPath_->lineTo(point);
    } else {
        QPainterPath path(dc_.position);
        for (const QPointF& point : points)
            path.lineTo(point);
        paint(path, true, false);
    }
    dc_.position = points.last();
}

void Canvas::polyBezierTo(const QPolygonF& points)
{
    const qsizetype curves = points.size() / 3;
    if (curves == 0) return;
    QPainterPath own(dc_.position);
    if (openPath_) continueFigureAt(dc_.position);
    QPainterPath& path = openPath_ ? *openPath_ : own;
    for (qsizetype i = 0; i < curves; ++i)
        path.cubicTo(points[3 * i], points[3 * i + 1], points[3 * i + 2]);
    if (!openPath_) paint(own, true, false);
    dc_.position = points[3 * curves - 1];
}

void Canvas::polyline(const QPolygonF& points)
{
    if (points.size() < 2) return;
    QPainterPath path;
    path.addPolygon(points);
    figure(path, false);
}

void Canvas::polyBezier(const QPolygonF& points)
{
    if (points.size() < 4) return;
    QPainterPath path(points.first());
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    figure(path, false);
}

void Canvas::polygon(const QPolygonF& points)
{
    polyPolygon({points});
}

void Canvas::polyPolygon(const QList<QPolygonF>& polygons)
{
    QPainterPath path;
    path.setFillRule(dc_.fillRule);
    for (const QPolygonF& points : polygons) {
        if (points.size() < 2) continue;
        path.addPolygon(points);
        path.closeSubpath();
    }
    figure(path, true);
}

void Canvas::polyPolyline(const QList<QPolygonF>& polylines)
{
    QPainterPath path;
    for (const QPolygonF& points : polylines)
        if (points.size() >= 2) path.addPolygon(points);
    figure(path, false);
}

void Canvas::rectangle(const QRectF& box)
{
    QPainterPath path;
    path.addRect(box.normalized());
    figure(path, true);
}

void Canvas::roundRect(const QRectF& box, QSizeF corner)
{
    QPainterPath path;
    path.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    figure(path, true);
}

void Canvas::ellipse(const QRectF& box)
{
    QPainterPath path;
    path.addEllipse(box.normalized());
    figure(path, true);
}

void Canvas::arc(ArcKind kind, const QRectF& box, QPointF start, QPointF end)
{
    const QRectF bounds = box.normalized();
    const double from = radialAngle(bounds, start);
    const double to = radialAngle(bounds, end);
    // Arcs run counter-clockwise as seen on the picture (or clockwise when asked); a mapping that
    // mirrors turns that direction round in logical coordinates.
    const bool clockwise = (logicalToPixel().determinant() < 0) != dc_.clockwiseArcs;
    double sweep = clockwise ? -std::fmod(from - to + 720, 360) : std::fmod(to - from + 720, 360);
    if (sweep == 0) sweep = clockwise ? -360 : 360;
    QPainterPath path;
    if (kind == ArcKind::Pie)
        path.moveTo(bounds.center());
    else
        path.arcMoveTo(bounds, from);
    path.arcTo(bounds, from, sweep);
    if (kind != ArcKind::Arc) path.closeSubpath();
    figure(path, kind != ArcKind::Arc);
}

void Canvas::setPixel(QPointF point, const QColor& colour)
{
    const QPointF at = logicalToPixel().map(point);
    if (!preparePainter(QTransform(), false)) return;
    charge(QRectF(at, QSizeF(1, 1)));
    painter_.fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), colour);
}

void Canvas::patBlt(const QRectF& box, quint32 rop)
{
    QBrush brush = qtBrush();
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (RopIndex(rop)) {
    case 0x00: brush = QBrush(Qt::black); break;                                           // BLACKNESS
    case 0xFF: brush = QBrush(Qt::white); break;                                           // WHITENESS
    case 0x55: brush = QBrush(Qt::black), mode = QPainter::RasterOp_NotDestination; break; // DSTINVERT
    case 0x5A: mode = QPainter::RasterOp_SourceXorDestination; break;                      // PATINVERT
    case 0xAA: return; // the destination stays
    default: break;    // PATCOPY and the rest
    }
    if (brush.style() == Qt::NoBrush) return;
    const QTransform transform = logicalToPixel();
    if (!preparePainter(transform, false)) return;
    painter_.setCompositionMode(mode);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    charge(transform.mapRect(box.normalized()));
    painter_.fillRect(box.normalized(), brush);
}

void Canvas::blit(const QRectF& destination, const QImage& image, const QRectF& source, quint32 rop)
{
    const int index = RopIndex(rop);
    if (!RopUsesSource(index)) {
        patBlt(destination, rop);
        return;
    }
    if (image.isNull() || source.width() == 0 || source.height() == 0) return;
    const QRectF shown = source.normalized() & QRectF(image.rect());
    if (shown.isEmpty()) return;
    // Places the source rectangle on the destination; differing signs mirror the bitmap.
    const double sx = destination.width() / source.width();
    const double sy = destination.height() / source.height();
    const QTransform place(sx, 0, 0, sy, destination.x() - source.x() * sx,
                           destination.y() - source.y() * sy);
    const QTransform transform = place * logicalToPixel();
    if (!preparePainter(transform, false)) return;
    const QPainter::CompositionMode mode = CompositionForBlit(index);
    painter_.setCompositionMode(mode);
    // Enlarged bitmaps keep their sharp pixels as on Windows; reduced ones are smoothed.
    const bool copying = mode == QPainter::CompositionMode_SourceOver;
    const bool reducing =
        LengthOfUnit(transform, QPointF(1, 0)) < 1 && LengthOfUnit(transform, QPointF(0, 1)) < 1;
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, copying && reducing);
    charge(transform.mapRect(shown));
    painter_.drawImage(shown, image, shown);
}

void Canvas::intersectClip(const QRectF& box)
{
    dc_.clip = (dc_.clip ? *dc_.clip : QRegion(picture_.rect())).intersected(pixelRegion(box));
    chargeClip(ClipRectangleOperationPixels);
}

void Canvas::excludeClip(const QRectF& box)
{
    dc_.clip = (dc_.clip ? *dc_.clip : QRegion(picture_.rect())).subtracted(pixelRegion(box));
    chargeClip(ClipRectangleOperationPixels);
}

bool Canvas::preparePainter(const QTransform& transform, bool withRop2)
{
    if (withRop2 && dc_.rop2 == 11) return false; // R2_NOP
    if (!isFinite(transform)) return false;       // a mapping that overflowed shows nothing
    const QPainter::CompositionMode mode =
        withRop2 ? CompositionForRop2(dc_.rop2) : QPainter::CompositionMode_SourceOver;
    painter_.resetTransform();
    if (dc_.clip) {
        painter_.setClipRegion(*dc_.clip);
        chargeClip(ClipRectangleUsePixels);
    } else
        painter_.setClipping(false);
    painter_.setTransform(transform);
    painter_.setCompositionMode(mode);
    painter_.setRenderHint(QPainter::Antialiasing, mode == QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setBackgroundMode(dc_.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    painter_.setBackground(dc_.backgroundColour);
    return true;
}

void Canvas::paint(const QPainterPath& path, bool stroke, bool fill)
{
    if (path.isEmpty()) return;
    const QTransform transform = logicalToPixel();
    if (!preparePainter(transform, true)) return;
    painter_.setPen(stroke ? qtPen(transform) : QPen(Qt::NoPen));
    QBrush brush = fill ? qtBrush() : QBrush(Qt::NoBrush);
    // Patterns repeat in picture pixels, whatever the mapping.
    brush.setTransform(
        QTransform(transform.m11(), transform.m12(), transform.m21(), transform.m22(), 0, 0).inverted());
    painter_.setBrush(brush);
    // Qt's antialiasing rasterises a shape whole, however far it reaches past the picture; shapes
    // that reach far out are drawn aliased, which clips them first.
    const QRectF reach = picture_.rect().toRectF().adjusted(-picture_.width(), -picture_.height(),
                                                            picture_.width(), picture_.height());
    const QRectF bounds = transform.mapRect(path.controlPointRect());
    if (!reach.contains(bounds)) painter_.setRenderHint(QPainter::Antialiasing, false);
    charge(bounds, fill ? std::nullopt : std::optional<double>(painter_.pen().widthF()));
    painter_.drawPath(path);
}

void Canvas::charge(const QRectF& pixelBounds, std::optional<double> strokeWidth)
{
    const QRectF touched = pixelBounds & QRectF(picture_.rect());
    double pixels = touched.width() * touched.height();
    // A line touches about its length times its width, not its whole bounding box.
    if (strokeWidth)
        pixels = std::min(pixels, 2 * (touched.width() + touched.height()) * std::max(1.0, *strokeWidth));
    spent_ += std::isfinite(pixels) ? pixels + 1 : budget_;
}

void Canvas::chargeClip(double pixelsPerRectangle)
{
    if (dc_.clip) spent_ += pixelsPerRectangle * double(dc_.clip->rectCount());
}

void Canvas::figure(const QPainterPath& path, bool fill)
{
    if (openPath_)
        openPath_->addPath(path);
    else
        paint(path, true, fill);
}

QPen Canvas::qtPen(const QTransform& transform) const
{
    const Pen& pen = dc_.pen;
    if ((pen.style & 0x0F) == 5) return QPen(Qt::NoPen); // PS_NULL
    QPen result(ColourForRop2(dc_.rop2).value_or(pen.colour));
    // The width is given in picture pixels (a cosmetic pen), so that no logical width is out of
    // Qt's range; a pen thinner than a pixel draws one pixel wide.
    const double pixels =
        std::min(std::abs(pen.width) * std::sqrt(std::abs(transform.determinant())), MaxStrokePixels);
    const bool thin = !(pixels > 1.5);
    result.setCosmetic(true);
    result.setWidthF(pixels >= 1 ? pixels : 0);
    // Styled lines exist only for thin pens; wider ones draw solid.
    if (thin) {
        switch (pen.style & 0x0F) {
        case 1: result.setStyle(Qt::DashLine); break;
        case 2: result.setStyle(Qt::DotLine); break;
        case 3: result.setStyle(Qt::DashDotLine); break;
        case 4: result.setStyle(Qt::DashDotDotLine); break;
        default: break;
        }
    }
    switch (pen.style & 0x0F00) {
    case 0x0100: result.setCapStyle(Qt::SquareCap); break;
    case 0x0200: result.setCapStyle(Qt::FlatCap); break;
    default: result.setCapStyle(Qt::RoundCap); break;
    }
    switch (pen.style & 0xF000) {
    case 0x1000: result.setJoinStyle(Qt::BevelJoin); break;
    case 0x2000: result.setJoinStyle(Qt::MiterJoin); break;
    default: result.setJoinStyle(Qt::RoundJoin); break;
    }
    return result;
}

QBrush Canvas::qtBrush() const
{
    const Brush& brush = dc_.brush;
    const QColor colour = ColourForRop2(dc_.rop2).value_or(brush.colour);
    static constexpr std::array<Qt::BrushStyle, 6> hatches{Qt::HorPattern,   Qt::VerPattern,
                                                           Qt::FDiagPattern, Qt::BDiagPattern,
                                                           Qt::CrossPattern, Qt::DiagCrossPattern};
    switch (brush.style) {
    case 0: return QBrush(colour);
    case 1: return QBrush(Qt::NoBrush);
    case 2: return QBrush(colour, brush.hatch < hatches.size() ? hatches[brush.hatch] : Qt::SolidPattern);
    default: return brush.pattern.isNull() ? QBrush(colour) : QBrush(brush.pattern);
    }
}

QRegion Canvas::pixelRegion(const QRectF& box) const
{
    // Kept well inside the integer range, which far-off corners would leave when rounded.
    constexpr double Limit = 1 << 24;
    QPolygonF corners = logicalToPixel().map(QPolygonF(box.normalized()));
    for (QPointF& corner : corners) {
        if (!std::isfinite(corner.x()) || !std::isfinite(corner.y())) return QRegion();
        corner = QPointF(std::clamp(corner.x(), -Limit, Limit), std::clamp(corner.y(), -Limit, Limit));
    }
    return QRegion(corners.toPolygon());
}

} // namespace gdi
