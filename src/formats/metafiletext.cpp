#include "formats/metafilecanvas.h"

#include <QFontMetricsF>
#include <QtMath>

#include <algorithm>
#include <cmath>

// Text output of the canvas: runs of characters placed, aligned and turned as the device
// context says.
namespace gdi {

namespace {
constexpr int MaxFontPixels = 4 * MaxMetafileSide;
constexpr double DefaultFontDeviceHeight = 12; // what a device context's stock font roughly measures
} // namespace

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
    const double xScale = LengthOfUnit(transform, QPointF(1, 0));
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

double Canvas::fontPixelHeight(const QTransform& transform) const
{
    if (dc_.font.height == 0) return DefaultFontDeviceHeight * LengthOfUnit(deviceToPixel_, QPointF(0, 1));
    return std::abs(dc_.font.height) * LengthOfUnit(transform, QPointF(0, 1));
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
    const QTransform page = PageTransform(dc_.mapping, deviceUnitsPerMm_) * deviceToPixel_;
    const QTransform& world = dc_.mapping.world;
    const double dx = world.m11() * (page.m11() < 0 ? -1 : 1);
    const double dy = world.m12() * (page.m22() < 0 ? -1 : 1);
    return qRadiansToDegrees(std::atan2(dy, dx)) - dc_.font.escapement / 10;
}

} // namespace gdi
