#include "controls/picturebox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(Placement placement, QWidget* parent) : QWidget(parent), placement_(placement) {}

void PictureBox::SetPicture(const QImage& picture, const QImage& fitted)
{
    picture_ = picture;
    scaled_ = fitted.size() == PictureRect().size() ? QPixmap::fromImage(fitted) : QPixmap();
    update();
}

QRect PictureBox::FitRect(const QSize& picture, const QSize& box, Placement placement)
{
    if (picture.isEmpty() || box.isEmpty()) return QRect();
    if (placement == Placement::EnlargeTopLeft)
        return QRect(QPoint(0, 0), picture.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));

    const int w = picture.width(), h = picture.height();
    const int boxW = box.width(), boxH = box.height();
    int width = w, height = h;
    if (w > boxW || h > boxH) {
        // Reduced with the aspect ratio kept, the sides truncated.
        const double ratio = double(w) / double(h);
        if (w > h) {
            width = boxW;
            height = int(boxW / ratio);
            if (height > boxH) {
                height = boxH;
                width = int(boxH * ratio);
            }
        } else {
            height = boxH;
            width = int(boxH * ratio);
            if (width > boxW) {
                width = boxW;
                height = int(boxW / ratio);
            }
        }
    }
    width = qMax(width, 1);
    height = qMax(height, 1);
    return QRect((boxW - width) / 2, (boxH - height) / 2, width, height);
}

QRect PictureBox::PictureRect() const
{
    return FitRect(picture_.size(), size(), placement_);
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (picture_.isNull()) return;
    const QRect place = PictureRect();
    if (scaled_.size() != place.size())
        scaled_ = QPixmap::fromImage(
            picture_.scaled(place.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QPainter painter(this);
    painter.drawPixmap(place.topLeft(), scaled_);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Handled here, so that the window beneath does not act on the same double-click again.
    // Only the left button opens: the right one belongs to the popup menu.
    event->accept();
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}
