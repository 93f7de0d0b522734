#include "platform/wmfrenderer.h"

#include "platform/pixlyerror.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QStringDecoder>
#include <QtEndian>
#include <QtMath>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace gdi {

namespace {

constexpr qsizetype MaxSavedContexts = 4096;
constexpr quint32 MaxObjects = 65535;
constexpr double MaxStrokePixels = 4.0 * MaxMetafileSide;
constexpr int MaxFontPixels = 4 * MaxMetafileSide;
constexpr double DefaultFontDeviceHeight = 12; // what a device context's stock font roughly measures
constexpr qint64 MaxDibSide = 1 << 16;
constexpr qint64 MaxDibPixels = qint64(1) << 26;

quint16 le16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 le32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

// ---- Device-independent bitmaps ----

enum : quint32 { BiRgb = 0, BiBitfields = 3, BiJpeg = 4, BiPng = 5 };

struct DibHeader {
    qint64 width = 0;
    qint64 height = 0; // negative: rows stored from the top
    int bitCount = 0;
    quint32 compression = BiRgb;
    std::array<quint32, 3> masks{};
    qsizetype tableOffset = 0;
    qsizetype tableEntries = 0;
    qsizetype entrySize = 4;
    qsizetype bitsOffset = 0; // where the rows follow in a packed bitmap
};

void setDefaultMasks(DibHeader& header)
{
    if (header.bitCount == 16) header.masks = {0x7C00, 0x03E0, 0x001F};
    if (header.bitCount == 32) header.masks = {0xFF0000, 0xFF00, 0xFF};
}

std::optional<DibHeader> readDibHeader(QByteArrayView info)
{
    if (info.size() < 4) return std::nullopt;
    const quint32 size = le32(info, 0);
    DibHeader header;
    qsizetype maskBytes = 0;
    if (size == 12 && info.size() >= 12) {
        header.width = le16(info, 4);
        header.height = le16(info, 6);
        header.bitCount = le16(info, 10);
        header.entrySize = 3;
        header.tableEntries = header.bitCount <= 8 ? qsizetype(1) << header.bitCount : 0;
    } else if (size >= 40 && size <= quint32(info.size())) {
        header.width = qint32(le32(info, 4));
        header.height = qint32(le32(info, 8));
        header.bitCount = le16(info, 14);
        header.compression = le32(info, 16);
        setDefaultMasks(header);
        const quint32 used = le32(info, 32);
        if (used > 65536) return std::nullopt;
        header.tableEntries = used ? used : (header.bitCount <= 8 ? qsizetype(1) << header.bitCount : 0);
        if (header.compression == BiBitfields) {
            if (info.size() < 52) return std::nullopt;
            header.masks = {le32(info, 40), le32(info, 44), le32(info, 48)};
            if (size < 52) maskBytes = 12; // the masks follow a plain BITMAPINFOHEADER
        }
    } else {
        return std::nullopt;
    }
    const qint64 rows = std::abs(header.height);
    if (header.width <= 0 || rows == 0 || header.width > MaxDibSide || rows > MaxDibSide ||
        header.width * rows > MaxDibPixels || header.bitCount > 32)
        return std::nullopt;
    header.tableOffset = size + maskBytes;
    header.bitsOffset = header.tableOffset + header.tableEntries * header.entrySize;
    return header;
}

std::vector<QRgb> readColourTable(const DibHeader& header, QByteArrayView info)
{
    std::vector<QRgb> table(header.bitCount <= 8 ? size_t(1) << header.bitCount : 0, qRgb(0, 0, 0));
    const qsizetype entries = std::min<qsizetype>(header.tableEntries, qsizetype(table.size()));
    for (qsizetype i = 0; i < entries; ++i) {
        const char* entry = info.data() + header.tableOffset + i * header.entrySize;
        table[size_t(i)] = qRgb(uchar(entry[2]), uchar(entry[1]), uchar(entry[0]));
    }
    return table;
}

int channel(quint32 value, quint32 mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const quint64 maximum = mask >> shift;
    return int(quint64((value & mask) >> shift) * 255 / maximum);
}

void decodeRow(const DibHeader& header, const uchar* in, const std::vector<QRgb>& table, QRgb* out)
{
    const qint64 width = header.width;
    switch (header.bitCount) {
    case 1:
    case 4:
    case 8: {
        const int bits = header.bitCount;
        const int perByte = 8 / bits;
        const int mask = (1 << bits) - 1;
        for (qint64 x = 0; x < width; ++x) {
            const int shift = 8 - bits * int(x % perByte + 1);
            out[x] = table[size_t((in[x / perByte] >> shift) & mask)];
        }
        break;
    }
    case 16:
        for (qint64 x = 0; x < width; ++x) {
            const quint32 v = in[2 * x] | (in[2 * x + 1] << 8);
            out[x] =
                qRgb(channel(v, header.masks[0]), channel(v, header.masks[1]), channel(v, header.masks[2]));
        }
        break;
    case 24:
        for (qint64 x = 0; x < width; ++x)
            out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
        break;
    case 32:
        for (qint64 x = 0; x < width; ++x) {
            const quint32 v = qFromLittleEndian<quint32>(in + 4 * x);
            out[x] =
                qRgb(channel(v, header.masks[0]), channel(v, header.masks[1]), channel(v, header.masks[2]));
        }
        break;
    }
}

std::optional<Dib> decodeDib(const DibHeader& header, QByteArrayView info, QByteArrayView bits)
{
    if (info.size() < header.bitsOffset) return std::nullopt; // the colour table is cut off
    if (header.compression == BiJpeg || header.compression == BiPng) {
        const QImage image = QImage::fromData(bits);
        if (image.isNull()) return std::nullopt;
        return Dib{image.convertToFormat(QImage::Format_RGB32), false};
    }
    const bool readable =
        (header.compression == BiRgb &&
         (header.bitCount == 1 || header.bitCount == 4 || header.bitCount == 8 || header.bitCount == 16 ||
          header.bitCount == 24 || header.bitCount == 32)) ||
        (header.compression == BiBitfields && (header.bitCount == 16 || header.bitCount == 32));
    if (!readable) return Dib{QImage(), true};
    const qint64 rows = std::abs(header.height);
    const qint64 stride = (header.width * header.bitCount + 31) / 32 * 4;
    if (bits.size() < stride * rows) return std::nullopt;
    QImage image(int(header.width), int(rows), QImage::Format_RGB32);
    if (image.isNull()) return std::nullopt;
    const std::vector<QRgb> table = readColourTable(header, info);
    const bool bottomUp = header.height > 0;
    for (qint64 row = 0; row < rows; ++row) {
        const auto* in = reinterpret_cast<const uchar*>(bits.data() + row * stride);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(bottomUp ? rows - 1 - row : row)));
        decodeRow(header, in, table, out);
    }
    return Dib{image, bottomUp};
}

// ---- Mapping ----

QTransform pageTransform(const Mapping& mapping, double deviceUnitsPerMm)
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

bool isFinite(const QTransform& t)
{
    for (const double value :
         {t.m11(), t.m12(), t.m13(), t.m21(), t.m22(), t.m23(), t.m31(), t.m32(), t.m33()})
        if (!std::isfinite(value)) return false;
    return true;
}

double lengthOfUnit(const QTransform& transform, QPointF unit)
{
    return QLineF(transform.map(QPointF(0, 0)), transform.map(unit)).length();
}

// ---- Raster operations ----

// The binary raster operations R2_BLACK (1) to R2_WHITE (16) as Qt composition modes.
QPainter::CompositionMode compositionForRop2(int rop2)
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

// R2_BLACK and R2_WHITE draw in their colour whatever the pen or brush.
std::optional<QColor> colourForRop2(int rop2)
{
    if (rop2 == 1) return QColor(Qt::black);
    if (rop2 == 16) return QColor(Qt::white);
    return std::nullopt;
}

// Ternary raster operations are named by their index byte (SRCCOPY is 0xCC).
int ropIndex(quint32 rop)
{
    return int((rop >> 16) & 0xFF);
}

bool ropUsesSource(int index)
{
    return ((index >> 2) & 0x33) != (index & 0x33);
}

QPainter::CompositionMode compositionForBlit(int index)
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

ByteReader::ByteReader(QByteArrayView bytes, QLatin1StringView invalidPrefix, qsizetype recordOffset)
    : bytes_(bytes), invalidPrefix_(invalidPrefix), recordOffset_(recordOffset)
{
}

QByteArrayView ByteReader::take(qsizetype count)
{
    if (count < 0 || count > remaining()) fail();
    const QByteArrayView part = bytes_.sliced(position_, count);
    position_ += count;
    return part;
}

quint8 ByteReader::u8()
{
    return quint8(take(1)[0]);
}

quint16 ByteReader::u16()
{
    return le16(take(2), 0);
}

quint32 ByteReader::u32()
{
    return le32(take(4), 0);
}

float ByteReader::f32()
{
    const quint32 bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void ByteReader::fail() const
{
    throw PixlyError(QStringLiteral("%1: the record at byte %2 is shorter than its contents")
                         .arg(invalidPrefix_)
                         .arg(recordOffset_));
}

std::optional<Dib> DecodeDib(QByteArrayView info, QByteArrayView bits)
{
    const std::optional<DibHeader> header = readDibHeader(info);
    if (!header) return std::nullopt;
    return decodeDib(*header, info, bits);
}

std::optional<Dib> DecodePackedDib(QByteArrayView packed)
{
    const std::optional<DibHeader> header = readDibHeader(packed);
    if (!header || header->bitsOffset > packed.size()) return std::nullopt;
    return decodeDib(*header, packed.first(header->bitsOffset), packed.sliced(header->bitsOffset));
}

// ---- Canvas ----

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
    return dc_.mapping.world * pageTransform(dc_.mapping, deviceUnitsPerMm_) * deviceToPixel_;
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
    switch (ropIndex(rop)) {
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
    const int index = ropIndex(rop);
    if (!ropUsesSource(index)) {
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
    const QPainter::CompositionMode mode = compositionForBlit(index);
    painter_.setCompositionMode(mode);
    // Enlarged bitmaps keep their sharp pixels as on Windows; reduced ones are smoothed.
    const bool copying = mode == QPainter::CompositionMode_SourceOver;
    const bool reducing =
        lengthOfUnit(transform, QPointF(1, 0)) < 1 && lengthOfUnit(transform, QPointF(0, 1)) < 1;
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, copying && reducing);
    charge(transform.mapRect(shown));
    painter_.drawImage(shown, image, shown);
}

void Canvas::text(const TextRun& run)
{
    const QTransform transform = logicalToPixel();
    if ((run.options & TextOpaque) && preparePainter(transform, false)) {
        charge(transform.mapRect(run.rectangle.normalized()));
        painter_.fillRect(run.rectangle.normalized(), dc_.backgroundColour);
    }
    if (run.text.isEmpty()) return;

    const QFont font = qtFont(fontPixelHeight(transform));
    const QFontMetricsF metrics(font);
    const double xScale = lengthOfUnit(transform, QPointF(1, 0));
    if (!std::isfinite(xScale)) return;
    QList<double> offsets;
    double width = 0;
    if (run.advances.size() >= run.text.size()) {
        for (qsizetype i = 0; i < run.text.size(); ++i) {
            offsets.append(width);
            width += run.advances[i] * xScale;
        }
    } else {
        width = metrics.horizontalAdvance(run.text);
    }

    const bool updateCp = dc_.textAlign & AlignUpdateCp;
    double left = 0;
    switch (dc_.textAlign & AlignHorizontal) {
    case AlignRight: left = -width; break;
    case AlignCenter: left = -width / 2; break;
    default: break;
    }
    double baseline = metrics.ascent();
    switch (dc_.textAlign & AlignVertical) {
    case AlignBottom: baseline = -metrics.descent(); break;
    case AlignBaseline: baseline = 0; break;
    default: break;
    }

    const QPointF origin = transform.map(updateCp ? dc_.position : run.reference);
    QTransform placement;
    placement.translate(origin.x(), origin.y());
    placement.rotate(textAngle());
    const std::optional<QRegion> clip = dc_.clip;
    if (run.options & TextClipped)
        dc_.clip = (clip ? *clip : QRegion(picture_.rect())).intersected(pixelRegion(run.rectangle));
    const bool prepared = preparePainter(placement, false);
    dc_.clip = clip;
    if (prepared) {
        charge(placement.mapRect(QRectF(left, baseline - metrics.ascent(), width, metrics.height())));
        painter_.setBackgroundMode(Qt::TransparentMode);
        if (dc_.opaqueBackground)
            painter_.fillRect(
                QRectF(left, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()),
                dc_.backgroundColour);
        painter_.setFont(font);
        painter_.setPen(dc_.textColour);
        if (offsets.isEmpty()) {
            painter_.drawText(QPointF(left, baseline), run.text);
        } else {
            for (qsizetype i = 0; i < run.text.size(); ++i) {
                const bool pair = run.text[i].isHighSurrogate() && i + 1 < run.text.size();
                painter_.drawText(QPointF(left + offsets[i], baseline), run.text.mid(i, pair ? 2 : 1));
                if (pair) ++i;
            }
        }
    }
    if (updateCp && xScale > 0) {
        const double step = width / xScale * (transform.m11() < 0 ? -1 : 1);
        if ((dc_.textAlign & AlignHorizontal) == 0) dc_.position.rx() += step;
        if ((dc_.textAlign & AlignHorizontal) == AlignRight) dc_.position.rx() -= step;
    }
}

void Canvas::intersectClip(const QRectF& box)
{
    dc_.clip = (dc_.clip ? *dc_.clip : QRegion(picture_.rect())).intersected(pixelRegion(box));
}

void Canvas::excludeClip(const QRectF& box)
{
    dc_.clip = (dc_.clip ? *dc_.clip : QRegion(picture_.rect())).subtracted(pixelRegion(box));
}

bool Canvas::preparePainter(const QTransform& transform, bool withRop2)
{
    if (withRop2 && dc_.rop2 == 11) return false; // R2_NOP
    if (!isFinite(transform)) return false;       // a mapping that overflowed shows nothing
    const QPainter::CompositionMode mode =
        withRop2 ? compositionForRop2(dc_.rop2) : QPainter::CompositionMode_SourceOver;
    painter_.resetTransform();
    if (dc_.clip)
        painter_.setClipRegion(*dc_.clip);
    else
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
    QPen result(colourForRop2(dc_.rop2).value_or(pen.colour));
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
    const QColor colour = colourForRop2(dc_.rop2).value_or(brush.colour);
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

double Canvas::fontPixelHeight(const QTransform& transform) const
{
    if (dc_.font.height == 0) return DefaultFontDeviceHeight * lengthOfUnit(deviceToPixel_, QPointF(0, 1));
    return std::abs(dc_.font.height) * lengthOfUnit(transform, QPointF(0, 1));
}

QFont Canvas::qtFont(double pixelHeight) const
{
    const Font& wanted = dc_.font;
    QFont font;
    if (!wanted.face.isEmpty()) font.setFamily(wanted.face);
    font.setWeight(wanted.weight > 0 ? QFont::Weight(std::clamp(wanted.weight, 1, 1000)) : QFont::Normal);
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    font.setStrikeOut(wanted.strikeOut);
    double em = pixelHeight;
    if (wanted.height > 0) { // a cell height includes the font's internal leading
        QFont probe(font);
        probe.setPixelSize(100);
        const double cell = QFontMetricsF(probe).height();
        if (cell > 0) em = pixelHeight * 100 / cell;
    }
    font.setPixelSize(int(std::lround(em >= 1 ? std::min(em, double(MaxFontPixels)) : 1)));
    return font;
}

double Canvas::textAngle() const
{
    // Text turns with the world transform but stays readable under a mirroring page mapping;
    // the escapement turns it counter-clockwise.
    const QTransform page = pageTransform(dc_.mapping, deviceUnitsPerMm_) * deviceToPixel_;
    const QTransform& world = dc_.mapping.world;
    const double dx = world.m11() * (page.m11() < 0 ? -1 : 1);
    const double dy = world.m12() * (page.m22() < 0 ? -1 : 1);
    return qRadiansToDegrees(std::atan2(dy, dx)) - dc_.font.escapement / 10;
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

namespace {

using gdi::ByteReader;

constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr qsizetype PlaceableHeaderSize = 22;
constexpr qsizetype StandardHeaderSize = 18;
constexpr qsizetype RecordHeaderSize = 6;
constexpr QSizeF DefaultWindowExtent(1024, 768);

constexpr QLatin1StringView InvalidMetafile("Metafile is not valid");

[[noreturn]] void fail(const QString& reason)
{
    throw PixlyError(QStringLiteral("%1: %2").arg(InvalidMetafile, reason));
}

enum : quint16 {
    MetaEof = 0x0000,
    MetaSaveDc = 0x001E,
    MetaCreatePalette = 0x00F7,
    MetaSetBkMode = 0x0102,
    MetaSetMapMode = 0x0103,
    MetaSetRop2 = 0x0104,
    MetaSetPolyFillMode = 0x0106,
    MetaRestoreDc = 0x0127,
    MetaSelectObject = 0x012D,
    MetaSetTextAlign = 0x012E,
    MetaDibCreatePatternBrush = 0x0142,
    MetaDeleteObject = 0x01F0,
    MetaCreatePatternBrush = 0x01F9,
    MetaSetBkColor = 0x0201,
    MetaSetTextColor = 0x0209,
    MetaSetWindowOrg = 0x020B,
    MetaSetWindowExt = 0x020C,
    MetaSetViewportOrg = 0x020D,
    MetaSetViewportExt = 0x020E,
    MetaOffsetWindowOrg = 0x020F,
    MetaOffsetViewportOrg = 0x0211,
    MetaLineTo = 0x0213,
    MetaMoveTo = 0x0214,
    MetaCreatePenIndirect = 0x02FA,
    MetaCreateFontIndirect = 0x02FB,
    MetaCreateBrushIndirect = 0x02FC,
    MetaPolygon = 0x0324,
    MetaPolyline = 0x0325,
    MetaScaleWindowExt = 0x0410,
    MetaScaleViewportExt = 0x0412,
    MetaExcludeClipRect = 0x0415,
    MetaIntersectClipRect = 0x0416,
    MetaEllipse = 0x0418,
    MetaRectangle = 0x041B,
    MetaSetPixel = 0x041F,
    MetaTextOut = 0x0521,
    MetaPolyPolygon = 0x0538,
    MetaRoundRect = 0x061C,
    MetaPatBlt = 0x061D,
    MetaCreateRegion = 0x06FF,
    MetaArc = 0x0817,
    MetaPie = 0x081A,
    MetaChord = 0x0830,
    MetaDibBitBlt = 0x0940,
    MetaExtTextOut = 0x0A32,
    MetaDibStretchBlt = 0x0B41,
    MetaStretchDib = 0x0F43,
};

struct WmfHeader {
    qsizetype firstRecord = 0;
    std::optional<QRectF> bounds; // the placeable header's box, in logical units
    double unitsPerInch = 96;
};

WmfHeader readHeader(QByteArrayView data)
{
    WmfHeader header;
    if (data.size() >= 4 && gdi::le32(data, 0) == PlaceableKey) {
        if (data.size() < PlaceableHeaderSize + StandardHeaderSize)
            fail(QStringLiteral("the file is too short"));
        ByteReader reader(data.first(PlaceableHeaderSize), InvalidMetafile, 0);
        reader.skip(6); // key and handle
        const qint16 left = reader.i16();
        const qint16 top = reader.i16();
        const qint16 right = reader.i16();
        const qint16 bottom = reader.i16();
        const quint16 inch = reader.u16();
        if (inch == 0) fail(QStringLiteral("the placeable header gives no units per inch"));
        const QRectF box = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
        if (box.width() == 0 || box.height() == 0)
            fail(QStringLiteral("the placeable header's box is empty"));
        header.bounds = box;
        header.unitsPerInch = inch;
        header.firstRecord = PlaceableHeaderSize;
    }
    if (data.size() < header.firstRecord + StandardHeaderSize) fail(QStringLiteral("the file is too short"));
    const qsizetype at = header.firstRecord;
    const quint16 type = gdi::le16(data, at);
    const quint16 headerWords = gdi::le16(data, at + 2);
    const quint16 version = gdi::le16(data, at + 4);
    if ((type != 1 && type != 2) || headerWords != StandardHeaderSize / 2 ||
        (version != 0x0100 && version != 0x0300))
        fail(QStringLiteral("the file does not begin with a metafile header"));
    header.firstRecord += StandardHeaderSize;
    return header;
}

struct Record {
    qsizetype offset = 0;
    quint16 function = 0;
    QByteArrayView parameters;
};

// Calls `visit` for each record before the end record, until it returns false. Every record must
// lie wholly inside the file, and the file must hold an end record.
template <typename Visit> void forEachRecord(QByteArrayView data, qsizetype offset, Visit visit)
{
    for (;;) {
        if (offset == data.size()) fail(QStringLiteral("the file ends without its end record"));
        if (data.size() - offset < RecordHeaderSize)
            fail(QStringLiteral("the record at byte %1 is cut off").arg(offset));
        const quint32 words = gdi::le32(data, offset);
        const quint16 function = gdi::le16(data, offset + 4);
        if (words < RecordHeaderSize / 2)
            fail(QStringLiteral("the record at byte %1 has a size of %2 words").arg(offset).arg(words));
        const qint64 bytes = qint64(words) * 2;
        if (bytes > data.size() - offset)
            fail(QStringLiteral("the record at byte %1 runs past the end of the file").arg(offset));
        if (function == MetaEof) return;
        if (!visit(
                Record{offset, function, data.sliced(offset + RecordHeaderSize, bytes - RecordHeaderSize)}))
            return;
        offset += bytes;
    }
}

// The first window extent that the records set, which frames a metafile without a placeable header.
std::optional<QPointF> firstWindowExtent(QByteArrayView data, qsizetype firstRecord)
{
    std::optional<QPointF> extent;
    forEachRecord(data, firstRecord, [&](const Record& record) {
        if (record.function != MetaSetWindowExt || record.parameters.size() < 4) return true;
        const qint16 y = qint16(gdi::le16(record.parameters, 0));
        const qint16 x = qint16(gdi::le16(record.parameters, 2));
        if (x == 0 || y == 0) return true;
        extent = QPointF(x, y);
        return false;
    });
    return extent;
}

// Plays one record after another onto the canvas.
class WmfPlayer {
public:
    explicit WmfPlayer(gdi::Canvas& canvas) : canvas_(canvas) {}

    void play(const Record& record)
    {
        ByteReader reader(record.parameters, InvalidMetafile, record.offset);
        if (!playState(record.function, reader) && !playObject(record.function, reader) &&
            !playDrawing(record.function, reader))
            playBitmap(record, reader);
    }

private:
    gdi::DeviceContext& dc() { return canvas_.dc(); }

    static QPointF pointYX(ByteReader& reader)
    {
        const double y = reader.i16();
        return QPointF(reader.i16(), y);
    }

    static QPointF pointXY(ByteReader& reader)
    {
        const double x = reader.i16();
        return QPointF(x, reader.i16());
    }

    // Rectangles stored bottom, right, top, left.
    static QRectF boxBRTL(ByteReader& reader)
    {
        const double bottom = reader.i16();
        const double right = reader.i16();
        const double top = reader.i16();
        const double left = reader.i16();
        return QRectF(QPointF(left, top), QPointF(right, bottom));
    }

    static QPolygonF points(ByteReader& reader, qsizetype count)
    {
        if (count * 4 > reader.remaining()) reader.fail();
        QPolygonF polygon;
        polygon.reserve(count);
        for (qsizetype i = 0; i < count; ++i)
            polygon.append(pointXY(reader));
        return polygon;
    }

    static void setIfNonZero(QPointF& target, QPointF value)
    {
        if (value.x() != 0 && value.y() != 0) target = value;
    }

    static void scale(QPointF& extent, ByteReader& reader)
    {
        const double yDenominator = reader.i16();
        const double yNumerator = reader.i16();
        const double xDenominator = reader.i16();
        const double xNumerator = reader.i16();
        if (xDenominator == 0 || yDenominator == 0) return;
        setIfNonZero(extent,
                     QPointF(extent.x() * xNumerator / xDenominator, extent.y() * yNumerator / yDenominator));
    }

    bool playState(quint16 function, ByteReader& reader)
    {
        gdi::Mapping& mapping = dc().mapping;
        switch (function) {
        case MetaSaveDc: canvas_.saveDc(); break;
        case MetaRestoreDc: canvas_.restoreDc(reader.i16()); break;
        case MetaSetMapMode: {
            const quint16 mode = reader.u16();
            if (mode >= gdi::MapText && mode <= gdi::MapAnisotropic) mapping.mode = mode;
            break;
        }
        case MetaSetWindowOrg: mapping.windowOrg = pointYX(reader); break;
        case MetaSetWindowExt: setIfNonZero(mapping.windowExt, pointYX(reader)); break;
        case MetaSetViewportOrg: mapping.viewportOrg = pointYX(reader); break;
        case MetaSetViewportExt: setIfNonZero(mapping.viewportExt, pointYX(reader)); break;
        case MetaOffsetWindowOrg: mapping.windowOrg += pointYX(reader); break;
        case MetaOffsetViewportOrg: mapping.viewportOrg += pointYX(reader); break;
        case MetaScaleWindowExt: scale(mapping.windowExt, reader); break;
        case MetaScaleViewportExt: scale(mapping.viewportExt, reader); break;
        case MetaSetBkMode: dc().opaqueBackground = reader.u16() == 2; break;
        case MetaSetBkColor: dc().backgroundColour = gdi::ColourFromRef(reader.u32()); break;
        case MetaSetTextColor: dc().textColour = gdi::ColourFromRef(reader.u32()); break;
        case MetaSetTextAlign: dc().textAlign = reader.u16(); break;
        case MetaSetPolyFillMode:
            dc().fillRule = reader.u16() == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            break;
        case MetaSetRop2: dc().rop2 = reader.u16(); break;
        case MetaIntersectClipRect: canvas_.intersectClip(boxBRTL(reader)); break;
        case MetaExcludeClipRect: canvas_.excludeClip(boxBRTL(reader)); break;
        default: return false;
        }
        return true;
    }

    gdi::Font font(ByteReader& reader)
    {
        gdi::Font font;
        font.height = reader.i16();
        reader.skip(2); // width
        font.escapement = reader.i16();
        reader.skip(2); // orientation
        font.weight = reader.i16();
        font.italic = reader.u8() != 0;
        font.underline = reader.u8() != 0;
        font.strikeOut = reader.u8() != 0;
        reader.skip(5); // character set, precisions, quality, pitch and family
        QByteArrayView face = reader.take(std::min<qsizetype>(32, reader.remaining()));
        const qsizetype end = face.indexOf('\0');
        font.face = decode(end < 0 ? face : face.first(end));
        return font;
    }

    bool playObject(quint16 function, ByteReader& reader)
    {
        switch (function) {
        case MetaCreatePenIndirect: {
            gdi::Pen pen;
            pen.style = reader.u16();
            pen.width = std::abs(reader.i16());
            reader.skip(2);
            pen.colour = gdi::ColourFromRef(reader.u32());
            canvas_.createObject(pen);
            break;
        }
        case MetaCreateBrushIndirect: {
            gdi::Brush brush;
            brush.style = reader.u16();
            brush.colour = gdi::ColourFromRef(reader.u32());
            brush.hatch = reader.u16();
            canvas_.createObject(brush);
            break;
        }
        case MetaDibCreatePatternBrush: canvas_.createObject(patternBrush(reader)); break;
        case MetaCreatePatternBrush: canvas_.createObject(gdi::Brush{1, Qt::white, 0, QImage()}); break;
        case MetaCreateFontIndirect: canvas_.createObject(font(reader)); break;
        case MetaCreatePalette:
        case MetaCreateRegion: canvas_.createObject(gdi::SlotOnly{}); break;
        case MetaSelectObject: canvas_.selectObject(reader.u16()); break;
        case MetaDeleteObject: canvas_.deleteObject(reader.u16()); break;
        default: return false;
        }
        return true;
    }

    // A pattern given by palette indices cannot be coloured without the palette; it paints nothing.
    gdi::Brush patternBrush(ByteReader& reader)
    {
        const quint16 style = reader.u16();
        const quint16 colourUsage = reader.u16();
        gdi::Brush brush{1, Qt::white, 0, QImage()};
        if (colourUsage != 0 && style != 3) return brush;
        const std::optional<gdi::Dib> dib = gdi::DecodePackedDib(reader.take(reader.remaining()));
        if (!dib) reader.fail();
        if (!dib->image.isNull()) brush = gdi::Brush{5, Qt::white, 0, dib->image};
        return brush;
    }

    bool playDrawing(quint16 function, ByteReader& reader)
    {
        switch (function) {
        case MetaMoveTo: canvas_.moveTo(pointYX(reader)); break;
        case MetaLineTo: canvas_.lineTo(pointYX(reader)); break;
        case MetaPolyline: canvas_.polyline(points(reader, reader.i16())); break;
        case MetaPolygon: canvas_.polygon(points(reader, reader.i16())); break;
        case MetaPolyPolygon: polyPolygon(reader); break;
        case MetaRectangle: canvas_.rectangle(boxBRTL(reader)); break;
        case MetaRoundRect: {
            const double height = reader.i16();
            const double width = reader.i16();
            canvas_.roundRect(boxBRTL(reader), QSizeF(width, height));
            break;
        }
        case MetaEllipse: canvas_.ellipse(boxBRTL(reader)); break;
        case MetaArc: arc(gdi::ArcKind::Arc, reader); break;
        case MetaPie: arc(gdi::ArcKind::Pie, reader); break;
        case MetaChord: arc(gdi::ArcKind::Chord, reader); break;
        case MetaSetPixel: {
            const QColor colour = gdi::ColourFromRef(reader.u32());
            canvas_.setPixel(pointYX(reader), colour);
            break;
        }
        case MetaPatBlt: {
            const quint32 rop = reader.u32();
            const double height = reader.i16();
            const double width = reader.i16();
            canvas_.patBlt(QRectF(pointYX(reader), QSizeF(width, height)), rop);
            break;
        }
        case MetaTextOut: textOut(reader); break;
        case MetaExtTextOut: extTextOut(reader); break;
        default: return false;
        }
        return true;
    }

    void polyPolygon(ByteReader& reader)
    {
        const quint16 count = reader.u16();
        std::vector<quint16> sizes(count);
        for (quint16& size : sizes)
            size = reader.u16();
        QList<QPolygonF> polygons;
        for (const quint16 size : sizes)
            polygons.append(points(reader, size));
        canvas_.polyPolygon(polygons);
    }

    void arc(gdi::ArcKind kind, ByteReader& reader)
    {
        const QPointF end = pointYX(reader);
        const QPointF start = pointYX(reader);
        canvas_.arc(kind, boxBRTL(reader), start, end);
    }

    QString decode(QByteArrayView bytes)
    {
        return decoder_.isValid() ? decoder_.decode(bytes) : QString::fromLatin1(bytes);
    }

    // Strings are padded to a whole number of words.
    QString string(ByteReader& reader, qsizetype length)
    {
        const QString text = decode(reader.take(length));
        if (length % 2) reader.skip(1);
        return text;
    }

    void textOut(ByteReader& reader)
    {
        gdi::TextRun run;
        const qint16 length = reader.i16();
        run.text = string(reader, std::max<qint16>(length, 0));
        run.reference = pointYX(reader);
        canvas_.text(run);
    }

    void extTextOut(ByteReader& reader)
    {
        gdi::TextRun run;
        run.reference = pointYX(reader);
        const quint16 length = reader.u16();
        run.options = reader.u16();
        if (run.options & (gdi::TextOpaque | gdi::TextClipped)) {
            const double left = reader.i16();
            const double top = reader.i16();
            const double right = reader.i16();
            run.rectangle = QRectF(QPointF(left, top), QPointF(right, reader.i16()));
        }
        run.text = string(reader, length);
        const bool pairs = run.options & 0x2000; // ETO_PDY: each advance has a vertical part
        if (reader.remaining() >= qsizetype(length) * (pairs ? 4 : 2)) {
            for (quint16 i = 0; i < length; ++i) {
                run.advances.append(reader.i16());
                if (pairs) reader.skip(2);
            }
        }
        canvas_.text(run);
    }

    // The bitmap records: without a bitmap (a record of the bare fixed size) they paint with
    // the brush, like PATBLT.
    void playBitmap(const Record& record, ByteReader& reader)
    {
        const bool withoutBitmap =
            record.parameters.size() + RecordHeaderSize == ((record.function >> 8) + 3) * 2;
        switch (record.function) {
        case MetaDibBitBlt: {
            const quint32 rop = reader.u32();
            const QPointF sourceAt = pointYX(reader);
            if (withoutBitmap) reader.skip(2);
            const double height = reader.i16();
            const double width = reader.i16();
            const QRectF destination(pointYX(reader), QSizeF(width, height));
            blit(record, reader, destination, QRectF(sourceAt, QSizeF(width, height)), rop, false,
                 withoutBitmap);
            break;
        }
        case MetaDibStretchBlt: {
            const quint32 rop = reader.u32();
            const double sourceHeight = reader.i16();
            const double sourceWidth = reader.i16();
            const QPointF sourceAt = pointYX(reader);
            if (withoutBitmap) reader.skip(2);
            const double height = reader.i16();
            const double width = reader.i16();
            const QRectF destination(pointYX(reader), QSizeF(width, height));
            blit(record, reader, destination, QRectF(sourceAt, QSizeF(sourceWidth, sourceHeight)), rop, false,
                 withoutBitmap);
            break;
        }
        case MetaStretchDib: {
            const quint32 rop = reader.u32();
            const quint16 colourUsage = reader.u16();
            const double sourceHeight = reader.i16();
            const double sourceWidth = reader.i16();
            const QPointF sourceAt = pointYX(reader);
            const double height = reader.i16();
            const double width = reader.i16();
            const QRectF destination(pointYX(reader), QSizeF(width, height));
            if (colourUsage != 0) break; // palette indices; the palette is not kept
            blit(record, reader, destination, QRectF(sourceAt, QSizeF(sourceWidth, sourceHeight)), rop, true,
                 false);
            break;
        }
        default: break; // records that do not draw, or that this player does not know
        }
    }

    // `fromBottom`: source coordinates count from the bitmap's lower edge, as StretchDIBits has them.
    void blit(const Record& record, ByteReader& reader, const QRectF& destination, QRectF source, quint32 rop,
              bool fromBottom, bool withoutBitmap)
    {
        if (withoutBitmap) {
            canvas_.patBlt(destination, rop);
            return;
        }
        const std::optional<gdi::Dib> dib = gdi::DecodePackedDib(reader.take(reader.remaining()));
        if (!dib) fail(QStringLiteral("the bitmap in the record at byte %1 is damaged").arg(record.offset));
        if (fromBottom && dib->bottomUp) source.moveTop(dib->image.height() - source.top() - source.height());
        canvas_.blit(destination, dib->image, source, rop);
    }

    gdi::Canvas& canvas_;
    QStringDecoder decoder_{"windows-1250"};
};

} // namespace

QImage RenderWmf(const QByteArray& data)
{
    const WmfHeader header = readHeader(data);
    QPointF frameOrigin(0, 0);
    QPointF frameExtent;
    QSizeF natural;
    double unitsPerMm = 96 / 25.4;
    if (header.bounds) {
        frameOrigin = header.bounds->topLeft();
        frameExtent = QPointF(header.bounds->width(), header.bounds->height());
        natural = header.bounds->size() * 96 / header.unitsPerInch;
        unitsPerMm = header.unitsPerInch / 25.4;
    } else {
        frameExtent = firstWindowExtent(data, header.firstRecord)
                          .value_or(QPointF(DefaultWindowExtent.width(), DefaultWindowExtent.height()));
        natural = QSizeF(frameExtent.x(), frameExtent.y());
    }
    const std::optional<QSize> size = gdi::PictureSize(natural);
    if (!size) fail(QStringLiteral("its picture size is not usable"));
    QImage picture(*size, QImage::Format_RGB32);
    if (picture.isNull()) throw PixlyError(QStringLiteral("Not enough memory to show the metafile"));
    picture.fill(Qt::white);

    // The device units are the frame's: the window starts as the frame and the viewport as the
    // whole picture, so a window the records set is stretched over the picture.
    gdi::Mapping mapping;
    mapping.mode = gdi::MapAnisotropic;
    mapping.windowOrg = frameOrigin;
    mapping.windowExt = frameExtent;
    mapping.viewportExt = QPointF(std::abs(frameExtent.x()), std::abs(frameExtent.y()));
    const QTransform deviceToPixel = QTransform::fromScale(size->width() / mapping.viewportExt.x(),
                                                           size->height() / mapping.viewportExt.y());
    {
        gdi::Canvas canvas(picture, deviceToPixel, unitsPerMm, mapping);
        WmfPlayer player(canvas);
        forEachRecord(data, header.firstRecord, [&](const Record& record) {
            player.play(record);
            if (canvas.overBudget()) throw PixlyError(QStringLiteral("Metafile is too complex to show"));
            return true;
        });
    }
    return picture;
}
