#include "controls/zoompicturebox.h"

#include <QCursor>
#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <utility>

namespace {
// Of QWheelEvent::angleDelta, one notch of an ordinary wheel.
constexpr int kNotch = 120;
} // namespace

ZoomPictureBox::ZoomPictureBox(QWidget* parent) : PictureBox(Placement::ShrinkCentred, parent) {}

void ZoomPictureBox::SetPicture(const QImage& fitted, const QSize& fullSize, const QString& source)
{
    PictureBox::SetPicture(fitted);
    fittedSource_ = source;
    showPicture(source, fullSize);
}

void ZoomPictureBox::SetZoomedPart(const QImage& image, const QRectF& area, const QSize& fullSize,
                                   const QString& source)
{
    showPicture(source, fullSize);
    part_ = Part{image, area, source};
    update();
}

void ZoomPictureBox::showPicture(const QString& source, const QSize& fullSize)
{
    if (source == source_ && fullSize == fullSize_) return;
    source_ = source;
    fullSize_ = fullSize;
    part_ = Part();
    update();
}

void ZoomPictureBox::SetZoomAllowed(std::function<bool()> allowed)
{
    allowed_ = std::move(allowed);
}

void ZoomPictureBox::ToggleZoom()
{
    if (fullSize_.isEmpty() || (!Zoomed() && !zoomAllowed())) return;
    const ZoomState before = zoom_.State();
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    zoom_.Toggle(fullSize_, size(), rect().contains(pointer) ? std::optional(pointer) : std::nullopt);
    changedFrom(before);
}

bool ZoomPictureBox::LeaveZoom()
{
    const ZoomState before = zoom_.State();
    const bool left = zoom_.Leave();
    changedFrom(before);
    return left;
}

bool ZoomPictureBox::PartServes() const
{
    if (part_.image.isNull() || part_.source != source_ || part_.area.isEmpty()) return false;
    return PictureZoom::Serves(part_.area, part_.image.width() / part_.area.width(), zoom_.State(), fullSize_,
                               size());
}

void ZoomPictureBox::changedFrom(const ZoomState& before)
{
    if (zoom_.State() == before) return;
    if (Zoomed())
        setCursor(dragFrom_ ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    else
        unsetCursor();
    update();
    emit zoomChanged();
}

void ZoomPictureBox::paintEvent(QPaintEvent* event)
{
    if (!Zoomed()) {
        PictureBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawZoomed(painter);
}

void ZoomPictureBox::drawZoomed(QPainter& painter) const
{
    const ZoomPlacement place = PictureZoom::Place(zoom_.State(), fullSize_, size());
    const QImage& fitted = Picture();
    if (fittedSource_ == source_ && !fitted.isNull()) {
        // Until the sharp part comes, and beside it, the fitted picture enlarged.
        const QRectF visible = place.Visible(size());
        const double toFittedX = double(fitted.width()) / fullSize_.width();
        const double toFittedY = double(fitted.height()) / fullSize_.height();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(place.picture.intersected(rect())), fitted,
                          QRectF(visible.x() * toFittedX, visible.y() * toFittedY,
                                 visible.width() * toFittedX, visible.height() * toFittedY));
    }
    if (part_.image.isNull() || part_.source != source_) return;
    const QRectF target(QPointF(place.picture.topLeft()) + part_.area.topLeft() * place.scale,
                        part_.area.size() * place.scale);
    if (target.size() == QSizeF(part_.image.size()) &&
        target.topLeft() == QPointF(target.topLeft().toPoint())) {
        // One picture pixel per box pixel: the decoded pixels as they are.
        painter.drawImage(target.topLeft().toPoint(), part_.image);
        return;
    }
    // Reduced smoothly; enlarged pixel by pixel, so that sharpness can be judged.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, target.width() < part_.image.width());
    painter.drawImage(target, part_.image);
}

void ZoomPictureBox::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || !zoomAllowed() || fullSize_.isEmpty()) {
        PictureBox::wheelEvent(event);
        return;
    }
    event->accept();
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / kNotch;
    wheelAngle_ %= kNotch;
    if (steps == 0) return;
    const ZoomState before = zoom_.State();
    zoom_.Step(steps, fullSize_, size(), event->position().toPoint());
    changedFrom(before);
}

void ZoomPictureBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !Zoomed()) {
        PictureBox::mousePressEvent(event);
        return;
    }
    event->accept();
    dragFrom_ = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void ZoomPictureBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragFrom_ || !Zoomed()) {
        PictureBox::mouseMoveEvent(event);
        return;
    }
    event->accept();
    const QPoint at = event->position().toPoint();
    const ZoomState before = zoom_.State();
    zoom_.Pan(at - std::exchange(*dragFrom_, at), fullSize_, size());
    changedFrom(before);
}

void ZoomPictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !dragFrom_) {
        PictureBox::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    dragFrom_.reset();
    if (Zoomed()) setCursor(Qt::OpenHandCursor);
}

void ZoomPictureBox::hideEvent(QHideEvent* event)
{
    PictureBox::hideEvent(event);
    // A window shown again starts fitted; a minimised one keeps its zoom.
    if (!event->spontaneous()) LeaveZoom();
}
