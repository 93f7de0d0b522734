#pragma once

#include "formats/metafilecanvas.h"

#include <QByteArrayView>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QtEndian>

#include <optional>

// The structure of an enhanced metafile: its header and the records that follow it, as the
// renderer plays them.
namespace emf {

inline constexpr quint32 EmfSignature = 0x464D4520; // " EMF"
inline constexpr qsizetype MinimumHeaderSize = 88;
inline constexpr qsizetype RecordHeaderSize = 8;
inline constexpr quint32 StockObjectFlag = 0x80000000;

inline constexpr QLatin1StringView InvalidEnhancedMetafile("Enhanced metafile is not valid");

// Raises the error of a damaged enhanced metafile, with the reason.
[[noreturn]] void fail(const QString& reason);

enum : quint32 {
    EmrHeader = 1,
    EmrPolyBezier = 2,
    EmrPolygon = 3,
    EmrPolyline = 4,
    EmrPolyBezierTo = 5,
    EmrPolylineTo = 6,
    EmrPolyPolyline = 7,
    EmrPolyPolygon = 8,
    EmrSetWindowExtEx = 9,
    EmrSetWindowOrgEx = 10,
    EmrSetViewportExtEx = 11,
    EmrSetViewportOrgEx = 12,
    EmrEof = 14,
    EmrSetPixelV = 15,
    EmrSetMapMode = 17,
    EmrSetBkMode = 18,
    EmrSetPolyFillMode = 19,
    EmrSetRop2 = 20,
    EmrSetTextAlign = 22,
    EmrSetTextColor = 24,
    EmrSetBkColor = 25,
    EmrMoveToEx = 27,
    EmrExcludeClipRect = 29,
    EmrIntersectClipRect = 30,
    EmrScaleViewportExtEx = 31,
    EmrScaleWindowExtEx = 32,
    EmrSaveDc = 33,
    EmrRestoreDc = 34,
    EmrSetWorldTransform = 35,
    EmrModifyWorldTransform = 36,
    EmrSelectObject = 37,
    EmrCreatePen = 38,
    EmrCreateBrushIndirect = 39,
    EmrDeleteObject = 40,
    EmrEllipse = 42,
    EmrRectangle = 43,
    EmrRoundRect = 44,
    EmrArc = 45,
    EmrChord = 46,
    EmrPie = 47,
    EmrCreatePalette = 49,
    EmrLineTo = 54,
    EmrSetArcDirection = 57,
    EmrBeginPath = 59,
    EmrEndPath = 60,
    EmrCloseFigure = 61,
    EmrFillPath = 62,
    EmrStrokeAndFillPath = 63,
    EmrStrokePath = 64,
    EmrAbortPath = 68,
    EmrBitBlt = 76,
    EmrStretchBlt = 77,
    EmrStretchDiBits = 81,
    EmrExtCreateFontIndirectW = 82,
    EmrExtTextOutA = 83,
    EmrExtTextOutW = 84,
    EmrPolyBezier16 = 85,
    EmrPolygon16 = 86,
    EmrPolyline16 = 87,
    EmrPolyBezierTo16 = 88,
    EmrPolylineTo16 = 89,
    EmrPolyPolyline16 = 90,
    EmrPolyPolygon16 = 91,
    EmrCreateMonoBrush = 93,
    EmrCreateDibPatternBrushPt = 94,
    EmrExtCreatePen = 95,
};

struct EmfFrame {
    QRectF device;  // the picture's frame in reference device pixels
    QSizeF natural; // its size in pixels at 96 per inch
    double deviceUnitsPerMm = 96 / 25.4;
};

// The header's frame; raises when the file does not begin with a usable header.
EmfFrame readFrame(QByteArrayView data);

struct Record {
    qsizetype offset = 0;
    quint32 type = 0;
    QByteArrayView bytes; // the whole record: offsets inside it count from its start
};

// Calls `visit` for each record before the end record. Every record must lie wholly inside the
// file, and the file must hold an end record.
template <typename Visit> void forEachRecord(QByteArrayView data, Visit visit)
{
    qsizetype offset = 0;
    for (;;) {
        if (offset == data.size()) fail(QStringLiteral("the file ends without its end record"));
        if (data.size() - offset < RecordHeaderSize)
            fail(QStringLiteral("the record at byte %1 is cut off").arg(offset));
        const quint32 type = qFromLittleEndian<quint32>(data.data() + offset);
        const quint32 size = qFromLittleEndian<quint32>(data.data() + offset + 4);
        if (size < RecordHeaderSize)
            fail(QStringLiteral("the record at byte %1 has a size of %2 bytes").arg(offset).arg(size));
        if (size > quint64(data.size() - offset))
            fail(QStringLiteral("the record at byte %1 runs past the end of the file").arg(offset));
        if (type == EmrEof) return;
        visit(Record{offset, type, data.sliced(offset, size)});
        offset += size;
    }
}

// The stock object of that index (with its stock flag), or none for an unknown index.
std::optional<gdi::Object> stockObject(quint32 index);

} // namespace emf
