#include "formats/emfrecords.h"

#include "formats/bytereader.h"
#include "platform/pixlyerror.h"

namespace emf {

using gdi::ByteReader;

[[noreturn]] void fail(const QString& reason)
{
    throw PixlyError(QStringLiteral("%1: %2").arg(InvalidEnhancedMetafile, reason));
}

EmfFrame readFrame(QByteArrayView data)
{
    if (data.size() < MinimumHeaderSize) fail(QStringLiteral("the file is too short"));
    ByteReader reader(data.first(MinimumHeaderSize), InvalidEnhancedMetafile, 0);
    const quint32 type = reader.u32();
    const quint32 size = reader.u32();
    QList<qint32> bounds;
    QList<qint32> frame;
    for (int i = 0; i < 4; ++i)
        bounds.append(reader.i32());
    for (int i = 0; i < 4; ++i)
        frame.append(reader.i32());
    const quint32 signature = reader.u32();
    if (type != EmrHeader || signature != EmfSignature || size < MinimumHeaderSize ||
        size > quint32(data.size()))
        fail(QStringLiteral("the file does not begin with an enhanced metafile header"));
    reader.skip(28); // version, sizes, counts, description, palette
    const double devicePixelsX = reader.i32();
    const double devicePixelsY = reader.i32();
    const double millimetresX = reader.i32();
    const double millimetresY = reader.i32();

    EmfFrame result;
    double perMmX = result.deviceUnitsPerMm;
    double perMmY = result.deviceUnitsPerMm;
    if (devicePixelsX > 0 && devicePixelsY > 0 && millimetresX > 0 && millimetresY > 0) {
        perMmX = devicePixelsX / millimetresX;
        perMmY = devicePixelsY / millimetresY;
        result.deviceUnitsPerMm = perMmX;
    }
    // The frame is in hundredths of a millimetre; bounds are device pixels and serve when it is empty.
    const QRectF hundredths(QPointF(frame[0], frame[1]), QPointF(frame[2], frame[3]));
    if (hundredths.width() > 0 && hundredths.height() > 0) {
        result.device = QRectF(QPointF(hundredths.left() * perMmX, hundredths.top() * perMmY) / 100,
                               QPointF(hundredths.right() * perMmX, hundredths.bottom() * perMmY) / 100);
        result.natural = hundredths.size() / 2540 * 96;
    } else {
        result.device = QRectF(QPointF(bounds[0], bounds[1]), QPointF(bounds[2], bounds[3]));
        result.natural = result.device.size();
    }
    if (!(result.device.width() > 0 && result.device.height() > 0))
        fail(QStringLiteral("its frame is empty"));
    return result;
}

std::optional<gdi::Object> stockObject(quint32 index)
{
    const auto brush = [](quint32 style, const QColor& colour) {
        return gdi::Brush{style, colour, 0, QImage()};
    };
    const auto pen = [](quint32 style, const QColor& colour) { return gdi::Pen{style, 0, colour}; };
    switch (index & ~StockObjectFlag) {
    case 0: return brush(0, Qt::white);
    case 1: return brush(0, QColor(0xC0, 0xC0, 0xC0));
    case 2: return brush(0, QColor(0x80, 0x80, 0x80));
    case 3: return brush(0, QColor(0x40, 0x40, 0x40));
    case 4: return brush(0, Qt::black);
    case 5: return brush(1, Qt::white);
    case 6: return pen(0, Qt::white);
    case 7: return pen(0, Qt::black);
    case 8: return pen(5, Qt::black);
    case 10:
    case 11:
    case 16: return gdi::Font{0, 0, 0, false, false, false, QStringLiteral("Courier New")};
    case 12:
    case 13:
    case 14:
    case 17: return gdi::Font{};
    case 18: return brush(0, Qt::white); // DC_BRUSH
    case 19: return pen(0, Qt::black);   // DC_PEN
    default: return std::nullopt;
    }
}

} // namespace emf
