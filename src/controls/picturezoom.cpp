#include "controls/picturezoom.h"

#include "controls/picturebox.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Above the fitted view the wheel goes through these scales, up to 400 %.
constexpr std::array kSteps{0.25, 1.0 / 3, 0.5, 2.0 / 3, 1.0, 1.5, 2.0, 3.0, 4.0};

// Scales this close count as equal (steps are far apart, fitted scales arbitrary).
constexpr double kSameScale = 1e-6;

// Of the box's side, the margin decoded around what is visible.
constexpr int kMarginDivisor = 8;

// Where a side of length (enlarged) starts in a box side of room, for a centre in fractions.
int sideStart(int length, int room, double centre)
{
    if (length <= room) return (room - length) / 2;
    return -std::clamp(qRound(centre * length) - room / 2, 0, length - room);
}

double scaleAbove(double scale)
{
    for (double step : kSteps)
        if (step > scale * (1 + kSameScale)) return step;
    return scale;
}

// 0 when there is no step below.
double scaleBelow(double scale)
{
    double below = 0;
    for (double step : kSteps)
        if (step < scale * (1 - kSameScale)) below = step;
    return below;
}

} // namespace

QRectF ZoomPlacement::Visible(const QSize& box) const
{
    const QRectF inBox = QRectF(picture.intersected(QRect(QPoint(0, 0), box)).translated(-picture.topLeft()));
    return QRectF(inBox.topLeft() / scale, inBox.size() / scale);
}

double PictureZoom::FitScale(const QSize& picture, const QSize& box)
{
    if (picture.isEmpty() || box.isEmpty()) return 1;
    return std::min({1.0, double(box.width()) / picture.width(), double(box.height()) / picture.height()});
}

ZoomPlacement PictureZoom::Place(const ZoomState& state, const QSize& picture, const QSize& box)
{
    const double scale = std::max(state.scale, FitScale(picture, box));
    const QSize enlarged(std::max(1, qRound(picture.width() * scale)),
                         std::max(1, qRound(picture.height() * scale)));
    const QPoint start(sideStart(enlarged.width(), box.width(), state.centre.x()),
                       sideStart(enlarged.height(), box.height(), state.centre.y()));
    return ZoomPlacement{scale, QRect(start, enlarged)};
}

QPointF PictureZoom::CentreOf(const ZoomPlacement& placement, const QSize& box, QPointF centre)
{
    const QRect& picture = placement.picture;
    if (picture.width() > box.width()) centre.setX(double(box.width() / 2 - picture.x()) / picture.width());
    if (picture.height() > box.height())
        centre.setY(double(box.height() / 2 - picture.y()) / picture.height());
    return centre;
}

void PictureZoom::Toggle(const QSize& picture, const QSize& box, std::optional<QPoint> pointer)
{
    if (Leave()) return;
    const QRect fitted = PictureBox::FitRect(picture, box, PictureBox::Placement::ShrinkCentred);
    state_.centre = QPointF(0.5, 0.5);
    if (pointer && fitted.contains(*pointer))
        state_.centre = QPointF((pointer->x() - fitted.x() + 0.5) / fitted.width(),
                                (pointer->y() - fitted.y() + 0.5) / fitted.height());
    state_.scale = 1;
    state_.centre = CentreOf(Place(state_, picture, box), box, state_.centre);
}

void PictureZoom::Step(int steps, const QSize& picture, const QSize& box, const QPoint& pointer)
{
    if (picture.isEmpty() || box.isEmpty()) return;
    const double fit = FitScale(picture, box);
    // The fitted view as it is drawn, so that the point under the pointer is the one seen there.
    const ZoomPlacement before =
        Zoomed()
            ? Place(state_, picture, box)
            : ZoomPlacement{fit, PictureBox::FitRect(picture, box, PictureBox::Placement::ShrinkCentred)};
    double scale = Zoomed() ? before.scale : fit;
    for (int i = 0; i < std::abs(steps) && scale > 0; ++i)
        scale = steps > 0 ? scaleAbove(scale) : scaleBelow(scale);
    if (scale <= fit * (1 + kSameScale)) {
        Leave();
        return;
    }
    const QPointF held = QPointF(pointer - before.picture.topLeft()) / before.scale;
    const ZoomState after{scale, state_.centre};
    const QSize enlarged = Place(after, picture, box).picture.size();
    const QPointF start = QPointF(pointer) - held * scale;
    const QPointF centre((box.width() / 2 - start.x()) / enlarged.width(),
                         (box.height() / 2 - start.y()) / enlarged.height());
    state_ = ZoomState{scale, QPointF(std::clamp(centre.x(), 0.0, 1.0), std::clamp(centre.y(), 0.0, 1.0))};
    state_.centre = CentreOf(Place(state_, picture, box), box, state_.centre);
}

void PictureZoom::Pan(const QPoint& delta, const QSize& picture, const QSize& box)
{
    if (!Zoomed()) return;
    ZoomPlacement moved = Place(state_, picture, box);
    moved.picture.translate(delta);
    state_.centre = CentreOf(moved, box, state_.centre);
    state_.centre = CentreOf(Place(state_, picture, box), box, state_.centre);
}

bool PictureZoom::Leave()
{
    if (!Zoomed()) return false;
    state_.scale = 0;
    return true;
}

int PictureZoom::Percent(const QSize& picture, const QSize& box) const
{
    return qRound(Place(state_, picture, box).scale * 100);
}

QRectF PictureZoom::PartToRead(const ZoomState& state, const QSize& picture, const QSize& box)
{
    const ZoomPlacement placement = Place(state, picture, box);
    const double marginX = box.width() / kMarginDivisor / placement.scale;
    const double marginY = box.height() / kMarginDivisor / placement.scale;
    return placement.Visible(box)
        .adjusted(-marginX, -marginY, marginX, marginY)
        .intersected(QRectF(QPointF(0, 0), QSizeF(picture)));
}

bool PictureZoom::Serves(const QRectF& area, double resolution, const ZoomState& state, const QSize& picture,
                         const QSize& box)
{
    const ZoomPlacement placement = Place(state, picture, box);
    if (resolution * 8 < DecodeEighths(placement.scale) - kSameScale) return false;
    const QRectF visible = placement.Visible(box).intersected(QRectF(QPointF(0, 0), QSizeF(picture)));
    // Half a pixel either way is rounding, not a gap.
    return area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(visible);
}

int PictureZoom::DecodeEighths(double scale)
{
    return std::clamp(int(std::ceil(scale * 8 - kSameScale)), 1, 8);
}
