#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

#include <optional>

// How far a viewer enlarges its picture and which part of it stands in the box. The scale and the
// relative position are kept when the picture changes, so every picture of a burst is seen at
// the same spot; each picture is clamped on its own.
struct ZoomState {
    double scale = 0;         // box pixels per picture pixel; 0 is the fitted view
    QPointF centre{0.5, 0.5}; // the picture point at the box's centre, in fractions of its sides

    bool Zoomed() const { return scale > 0; }
    bool operator==(const ZoomState&) const = default;
};

// Where a zoomed picture lies in its box.
struct ZoomPlacement {
    double scale = 1;
    // The whole enlarged picture in the box's coordinates; it stands out of the box on the sides
    // where it is larger than the box, and is centred where it is not.
    QRect picture;

    // The part of the picture inside the box, in the picture's own pixels.
    QRectF Visible(const QSize& box) const;
};

// The zoom rules of the viewers' picture box. Sizes are the picture's own (as shown, turned) and
// the box's; positions are in the box.
class PictureZoom {
public:
    const ZoomState& State() const { return state_; }
    bool Zoomed() const { return state_.Zoomed(); }

    // "z": the fitted view becomes 100 %, centred on the picture point under the pointer when it
    // is over the picture, otherwise on the picture's centre; a zoomed view becomes fitted.
    void Toggle(const QSize& picture, const QSize& box, std::optional<QPoint> pointer);
    // The wheel: steps up (positive) or down the scale steps, keeping the picture point under the
    // pointer where it is; below the smallest step above the fitted scale the view is fitted.
    void Step(int steps, const QSize& picture, const QSize& box, const QPoint& pointer);
    // Dragging: the picture follows the pointer by delta, as far as its edges allow.
    void Pan(const QPoint& delta, const QSize& picture, const QSize& box);
    // Esc: true when there was a zoom to leave.
    bool Leave();

    // The scale shown in percent.
    int Percent(const QSize& picture, const QSize& box) const;

    // The scale of the fitted view: the picture reduced to fit, never enlarged.
    static double FitScale(const QSize& picture, const QSize& box);
    // Where the picture lies for this state (a fitted state gives the fitted placement).
    static ZoomPlacement Place(const ZoomState& state, const QSize& picture, const QSize& box);
    // The part of the picture worth decoding for this state: what is visible and a margin
    // around it, so that a short drag needs nothing new. In the picture's own pixels.
    static QRectF PartToRead(const ZoomState& state, const QSize& picture, const QSize& box);
    // Whether a part decoded at resolution (decoded pixels per picture pixel) over area serves
    // the state: it covers what is visible, at least as sharp as the state's scale asks.
    static bool Serves(const QRectF& area, double resolution, const ZoomState& state, const QSize& picture,
                       const QSize& box);
    // The JPEG scale, in eighths, at which a part is decoded for this scale: the smallest that is
    // not below it, full size at most.
    static int DecodeEighths(double scale);

private:
    // Back from a placement: the centre that gives it, on the sides that stand out of the box.
    static QPointF CentreOf(const ZoomPlacement& placement, const QSize& box, QPointF centre);

    ZoomState state_;
};
