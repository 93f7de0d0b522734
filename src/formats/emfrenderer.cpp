#include "formats/emfrenderer.h"

#include "formats/bytereader.h"
#include "formats/dibdecoder.h"
#include "formats/emfrecords.h"
#include "formats/metafilecanvas.h"
#include "platform/pixlyerror.h"

#include <QStringDecoder>
#include <QtEndian>

#include <array>
#include <cmath>

namespace {

using gdi::ByteReader;
using namespace emf;

// Plays one record after another onto the canvas.
class EmfPlayer {
public:
    explicit EmfPlayer(gdi::Canvas& canvas) : canvas_(canvas) {}

    void play(const Record& record)
    {
        record_ = &record;
        ByteReader reader(record.bytes.sliced(RecordHeaderSize), InvalidEnhancedMetafile, record.offset);
        if (!playState(record.type, reader) && !playObject(record.type, reader) &&
            !playDrawing(record.type, reader) && !playText(record.type, reader))
            playBitmap(record.type, reader);
    }

private:
    gdi::DeviceContext& dc() { return canvas_.dc(); }

    [[noreturn]] void damaged(const char* what) const
    {
        fail(QStringLiteral("the %1 in the record at byte %2 is damaged")
                 .arg(QLatin1StringView(what))
                 .arg(record_->offset));
    }

    // A part of the record named by its offset and size, as bitmaps and strings are given.
    QByteArrayView part(quint32 offset, quint64 size, const char* what) const
    {
        if (offset < RecordHeaderSize || offset > quint64(record_->bytes.size()) ||
            size > quint64(record_->bytes.size()) - offset)
            damaged(what);
        return record_->bytes.sliced(offset, qsizetype(size));
    }

    static QPointF pointL(ByteReader& reader)
    {
        const double x = reader.i32();
        return QPointF(x, reader.i32());
    }

    static QPointF pointS(ByteReader& reader)
    {
        const double x = reader.i16();
        return QPointF(x, reader.i16());
    }

    static QRectF rectL(ByteReader& reader)
    {
        const QPointF topLeft = pointL(reader);
        return QRectF(topLeft, pointL(reader));
    }

    static QPolygonF points(ByteReader& reader, quint64 count, bool shortPoints)
    {
        if (count > quint64(reader.remaining()) / (shortPoints ? 4 : 8)) reader.fail();
        QPolygonF polygon;
        polygon.reserve(qsizetype(count));
        for (quint64 i = 0; i < count; ++i)
            polygon.append(shortPoints ? pointS(reader) : pointL(reader));
        return polygon;
    }

    static QPolygonF pointList(ByteReader& reader, bool shortPoints)
    {
        reader.skip(16); // bounds
        return points(reader, reader.u32(), shortPoints);
    }

    static QList<QPolygonF> polygonList(ByteReader& reader, bool shortPoints)
    {
        reader.skip(16); // bounds
        const quint32 count = reader.u32();
        reader.skip(4); // the total number of points
        if (count > quint64(reader.remaining()) / 4) reader.fail();
        std::vector<quint32> sizes(count);
        for (quint32& size : sizes)
            size = reader.u32();
        QList<QPolygonF> polygons;
        for (const quint32 size : sizes)
            polygons.append(points(reader, size, shortPoints));
        return polygons;
    }

    static void setIfNonZero(QPointF& target, QPointF value)
    {
        if (value.x() != 0 && value.y() != 0) target = value;
    }

    static void scale(QPointF& extent, ByteReader& reader)
    {
        const double xNumerator = reader.i32();
        const double xDenominator = reader.i32();
        const double yNumerator = reader.i32();
        const double yDenominator = reader.i32();
        if (xDenominator == 0 || yDenominator == 0) return;
        setIfNonZero(extent,
                     QPointF(extent.x() * xNumerator / xDenominator, extent.y() * yNumerator / yDenominator));
    }

    static std::optional<QTransform> xform(ByteReader& reader)
    {
        std::array<double, 6> values{};
        for (double& value : values)
            value = reader.f32();
        for (const double value : values)
            if (!std::isfinite(value)) return std::nullopt;
        return QTransform(values[0], values[1], values[2], values[3], values[4], values[5]);
    }

    void modifyWorld(ByteReader& reader)
    {
        const std::optional<QTransform> given = xform(reader);
        const quint32 mode = reader.u32();
        QTransform& world = dc().mapping.world;
        if (mode == 1) world = QTransform();
        if (!given) return;
        if (mode == 2) world = *given * world;
        if (mode == 3) world = world * *given;
        if (mode == 4) world = *given;
    }

    bool playState(quint32 type, ByteReader& reader)
    {
        gdi::Mapping& mapping = dc().mapping;
        switch (type) {
        case EmrHeader: break;
        case EmrSaveDc: canvas_.saveDc(); break;
        case EmrRestoreDc: canvas_.restoreDc(reader.i32()); break;
        case EmrSetMapMode: {
            const quint32 mode = reader.u32();
            if (mode >= gdi::MapText && mode <= gdi::MapAnisotropic) mapping.mode = int(mode);
            break;
        }
        case EmrSetWindowExtEx: setIfNonZero(mapping.windowExt, pointL(reader)); break;
        case EmrSetWindowOrgEx: mapping.windowOrg = pointL(reader); break;
        case EmrSetViewportExtEx: setIfNonZero(mapping.viewportExt, pointL(reader)); break;
        case EmrSetViewportOrgEx: mapping.viewportOrg = pointL(reader); break;
        case EmrScaleWindowExtEx: scale(mapping.windowExt, reader); break;
        case EmrScaleViewportExtEx: scale(mapping.viewportExt, reader); break;
        case EmrSetWorldTransform:
            if (const std::optional<QTransform> world = xform(reader)) mapping.world = *world;
            break;
        case EmrModifyWorldTransform: modifyWorld(reader); break;
        case EmrSetBkMode: dc().opaqueBackground = reader.u32() == 2; break;
        case EmrSetBkColor: dc().backgroundColour = gdi::ColourFromRef(reader.u32()); break;
        case EmrSetTextColor: dc().textColour = gdi::ColourFromRef(reader.u32()); break;
        case EmrSetTextAlign: dc().textAlign = reader.u32(); break;
        case EmrSetPolyFillMode: dc().fillRule = reader.u32() == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
        case EmrSetRop2: dc().rop2 = int(reader.u32()); break;
        case EmrSetArcDirection: dc().clockwiseArcs = reader.u32() == 2; break;
        case EmrIntersectClipRect: canvas_.intersectClip(rectL(reader)); break;
        case EmrExcludeClipRect: canvas_.excludeClip(rectL(reader)); break;
        default: return false;
        }
        return true;
    }

    gdi::Font font(ByteReader& reader)
    {
        gdi::Font font;
        font.height = reader.i32();
        reader.skip(4); // width
        font.escapement = reader.i32();
        reader.skip(4); // orientation
        font.weight = reader.i32();
        font.italic = reader.u8() != 0;
        font.underline = reader.u8() != 0;
        font.strikeOut = reader.u8() != 0;
        reader.skip(5); // character set, precisions, quality, pitch and family
        const QByteArrayView face = reader.take(64);
        font.face = QString::fromUtf16(reinterpret_cast<const char16_t*>(face.data()), 32);
        const qsizetype end = font.face.indexOf(QChar(0));
        if (end >= 0) font.face.truncate(end);
        return font;
    }

    gdi::Pen extendedPen(ByteReader& reader)
    {
        reader.skip(16); // the pattern bitmap's place
        gdi::Pen pen;
        const quint32 style = reader.u32();
        const quint32 width = reader.u32();
        const quint32 brushStyle = reader.u32();
        pen.colour = gdi::ColourFromRef(reader.u32());
        pen.style = brushStyle == 1 ? 5 : style; // a pen with a null brush draws nothing
        if ((style & 0x0F) == 7 || (style & 0x0F) == 8)
            pen.style = (style & ~0x0Fu) | 2;         // user and alternate styles
        pen.width = (style & 0x00010000) ? width : 0; // cosmetic pens are one pixel wide
        return pen;
    }

    gdi::Brush patternBrush(ByteReader& reader)
    {
        const quint32 usage = reader.u32();
        const quint32 infoOffset = reader.u32();
        const quint32 infoSize = reader.u32();
        const quint32 bitsOffset = reader.u32();
        const quint32 bitsSize = reader.u32();
        gdi::Brush brush{1, Qt::white, 0, QImage()};
        if (usage != 0) return brush; // palette indices; the palette is not kept
        const std::optional<gdi::Dib> dib =
            gdi::DecodeDib(part(infoOffset, infoSize, "bitmap"), part(bitsOffset, bitsSize, "bitmap"));
        if (!dib) damaged("bitmap");
        if (!dib->image.isNull()) brush = gdi::Brush{5, Qt::white, 0, dib->image};
        return brush;
    }

    bool playObject(quint32 type, ByteReader& reader)
    {
        switch (type) {
        case EmrCreatePen: {
            const quint32 index = reader.u32();
            gdi::Pen pen;
            pen.style = reader.u32();
            pen.width = std::abs(double(reader.i32()));
            reader.skip(4);
            pen.colour = gdi::ColourFromRef(reader.u32());
            canvas_.storeObject(index, pen);
            break;
        }
        case EmrExtCreatePen: {
            const quint32 index = reader.u32();
            canvas_.storeObject(index, extendedPen(reader));
            break;
        }
        case EmrCreateBrushIndirect: {
            const quint32 index = reader.u32();
            gdi::Brush brush;
            brush.style = reader.u32();
            brush.colour = gdi::ColourFromRef(reader.u32());
            brush.hatch = reader.u32();
            canvas_.storeObject(index, brush);
            break;
        }
        case EmrCreateDibPatternBrushPt:
        case EmrCreateMonoBrush: {
            const quint32 index = reader.u32();
            canvas_.storeObject(index, patternBrush(reader));
            break;
        }
        case EmrExtCreateFontIndirectW: {
            const quint32 index = reader.u32();
            canvas_.storeObject(index, font(reader));
            break;
        }
        case EmrCreatePalette: canvas_.storeObject(reader.u32(), gdi::SlotOnly{}); break;
        case EmrSelectObject: {
            const quint32 index = reader.u32();
            if (index & StockObjectFlag) {
                if (const std::optional<gdi::Object> stock = stockObject(index)) canvas_.select(*stock);
            } else {
                canvas_.selectObject(index);
            }
            break;
        }
        case EmrDeleteObject: canvas_.deleteObject(reader.u32()); break;
        default: return false;
        }
        return true;
    }

    void arc(gdi::ArcKind kind, ByteReader& reader)
    {
        const QRectF box = rectL(reader);
        const QPointF start = pointL(reader);
        canvas_.arc(kind, box, start, pointL(reader));
    }

    bool playDrawing(quint32 type, ByteReader& reader)
    {
        switch (type) {
        case EmrMoveToEx: canvas_.moveTo(pointL(reader)); break;
        case EmrLineTo: canvas_.lineTo(pointL(reader)); break;
        case EmrSetPixelV: {
            const QPointF point = pointL(reader);
            canvas_.setPixel(point, gdi::ColourFromRef(reader.u32()));
            break;
        }
        case EmrPolyline: canvas_.polyline(pointList(reader, false)); break;
        case EmrPolyline16: canvas_.polyline(pointList(reader, true)); break;
        case EmrPolylineTo: canvas_.polylineTo(pointList(reader, false)); break;
        case EmrPolylineTo16: canvas_.polylineTo(pointList(reader, true)); break;
        case EmrPolyBezier: canvas_.polyBezier(pointList(reader, false)); break;
        case EmrPolyBezier16: canvas_.polyBezier(pointList(reader, true)); break;
        case EmrPolyBezierTo: canvas_.polyBezierTo(pointList(reader, false)); break;
        case EmrPolyBezierTo16: canvas_.polyBezierTo(pointList(reader, true)); break;
        case EmrPolygon: canvas_.polygon(pointList(reader, false)); break;
        case EmrPolygon16: canvas_.polygon(pointList(reader, true)); break;
        case EmrPolyPolygon: canvas_.polyPolygon(polygonList(reader, false)); break;
        case EmrPolyPolygon16: canvas_.polyPolygon(polygonList(reader, true)); break;
        case EmrPolyPolyline: canvas_.polyPolyline(polygonList(reader, false)); break;
        case EmrPolyPolyline16: canvas_.polyPolyline(polygonList(reader, true)); break;
        case EmrRectangle: canvas_.rectangle(rectL(reader)); break;
        case EmrEllipse: canvas_.ellipse(rectL(reader)); break;
        case EmrRoundRect: {
            const QRectF box = rectL(reader);
            const QPointF corner = pointL(reader);
            canvas_.roundRect(box, QSizeF(corner.x(), corner.y()));
            break;
        }
        case EmrArc: arc(gdi::ArcKind::Arc, reader); break;
        case EmrChord: arc(gdi::ArcKind::Chord, reader); break;
        case EmrPie: arc(gdi::ArcKind::Pie, reader); break;
        case EmrBeginPath: canvas_.beginPath(); break;
        case EmrEndPath: canvas_.endPath(); break;
        case EmrCloseFigure: canvas_.closeFigure(); break;
        case EmrAbortPath: canvas_.abortPath(); break;
        case EmrFillPath: canvas_.fillPath(); break;
        case EmrStrokePath: canvas_.strokePath(); break;
        case EmrStrokeAndFillPath: canvas_.strokeAndFillPath(); break;
        default: return false;
        }
        return true;
    }

    // Text given by glyph indices (ETO_GLYPH_INDEX) names glyphs of the writer's font, which is not
    // at hand here; such text is left out.
    bool playText(quint32 type, ByteReader& reader)
    {
        if (type != EmrExtTextOutW && type != EmrExtTextOutA) return false;
        const bool wide = type == EmrExtTextOutW;
        reader.skip(16 + 12); // bounds, graphics mode, scales
        gdi::TextRun run;
        run.reference = pointL(reader);
        const quint32 length = reader.u32();
        const quint32 stringOffset = reader.u32();
        run.options = reader.u32();
        run.rectangle = rectL(reader);
        const quint32 advancesOffset = reader.u32();
        const QByteArrayView bytes = part(stringOffset, quint64(length) * (wide ? 2 : 1), "text");
        if (!(run.options & 0x0010)) {
            run.text = wide ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data()), length)
                            : (decoder_.isValid() ? decoder_.decode(bytes) : QString::fromLatin1(bytes));
        }
        if (advancesOffset != 0) {
            const bool pairs = run.options & 0x2000; // ETO_PDY
            const QByteArrayView advances = part(advancesOffset, quint64(length) * (pairs ? 8 : 4), "text");
            for (quint32 i = 0; i < length; ++i)
                run.advances.append(
                    qint32(qFromLittleEndian<quint32>(advances.data() + i * (pairs ? 8 : 4))));
        }
        canvas_.text(run);
        return true;
    }

    void blit(const QRectF& destination, QRectF source, quint32 rop, quint32 usage, quint32 infoOffset,
              quint32 infoSize, quint32 bitsOffset, quint32 bitsSize, bool fromBottom)
    {
        if (infoSize == 0) {
            canvas_.patBlt(destination, rop);
            return;
        }
        if (usage != 0) return; // palette indices; the palette is not kept
        const std::optional<gdi::Dib> dib =
            gdi::DecodeDib(part(infoOffset, infoSize, "bitmap"), part(bitsOffset, bitsSize, "bitmap"));
        if (!dib) damaged("bitmap");
        if (fromBottom && dib->bottomUp) source.moveTop(dib->image.height() - source.top() - source.height());
        canvas_.blit(destination, dib->image, source, rop);
    }

    void playBitmap(quint32 type, ByteReader& reader)
    {
        switch (type) {
        case EmrStretchDiBits: {
            reader.skip(16); // bounds
            const QPointF destinationAt = pointL(reader);
            const QPointF sourceAt = pointL(reader);
            const QPointF sourceSize = pointL(reader);
            const quint32 infoOffset = reader.u32();
            const quint32 infoSize = reader.u32();
            const quint32 bitsOffset = reader.u32();
            const quint32 bitsSize = reader.u32();
            const quint32 usage = reader.u32();
            const quint32 rop = reader.u32();
            const QPointF destinationSize = pointL(reader);
            blit(QRectF(destinationAt, QSizeF(destinationSize.x(), destinationSize.y())),
                 QRectF(sourceAt, QSizeF(sourceSize.x(), sourceSize.y())), rop, usage, infoOffset, infoSize,
                 bitsOffset, bitsSize, true);
            break;
        }
        case EmrBitBlt:
        case EmrStretchBlt: {
            reader.skip(16); // bounds
            const QRectF destination(pointL(reader), QSizeF());
            const QPointF destinationSize = pointL(reader);
            const quint32 rop = reader.u32();
            const QPointF sourceAt = pointL(reader);
            reader.skip(24 + 4); // the source's transform and background colour
            const quint32 usage = reader.u32();
            const quint32 infoOffset = reader.u32();
            const quint32 infoSize = reader.u32();
            const quint32 bitsOffset = reader.u32();
            const quint32 bitsSize = reader.u32();
            QPointF sourceSize = destinationSize;
            if (type == EmrStretchBlt) sourceSize = pointL(reader);
            blit(QRectF(destination.topLeft(), QSizeF(destinationSize.x(), destinationSize.y())),
                 QRectF(sourceAt, QSizeF(sourceSize.x(), sourceSize.y())), rop, usage, infoOffset, infoSize,
                 bitsOffset, bitsSize, false);
            break;
        }
        default: break; // records that do not draw, or that this player does not know
        }
    }

    gdi::Canvas& canvas_;
    const Record* record_ = nullptr;
    QStringDecoder decoder_{"windows-1250"};
};

} // namespace

QImage RenderEmf(const QByteArray& data)
{
    const EmfFrame frame = readFrame(data);
    const std::optional<QSize> size = gdi::PictureSize(frame.natural);
    if (!size) fail(QStringLiteral("its picture size is not usable"));
    QImage picture(*size, QImage::Format_RGB32);
    if (picture.isNull()) throw PixlyError(QStringLiteral("Not enough memory to show the metafile"));
    picture.fill(Qt::white);

    const double sx = size->width() / frame.device.width();
    const double sy = size->height() / frame.device.height();
    const QTransform deviceToPixel(sx, 0, 0, sy, -frame.device.left() * sx, -frame.device.top() * sy);
    {
        gdi::Canvas canvas(picture, deviceToPixel, frame.deviceUnitsPerMm, gdi::Mapping());
        EmfPlayer player(canvas);
        forEachRecord(data, [&](const Record& record) {
            player.play(record);
            if (canvas.overBudget())
                throw PixlyError(QStringLiteral("Enhanced metafile is too complex to show"));
        });
    }
    return picture;
}
