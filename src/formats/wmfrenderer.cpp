#include "formats/wmfrenderer.h"

#include "formats/bytereader.h"
#include "formats/dibdecoder.h"
#include "formats/metafilecanvas.h"
#include "platform/pixlyerror.h"

#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

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
