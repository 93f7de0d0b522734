#include "controls/picturebox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(Placement placement, QWidget* parent) : QWidget(parent), placement_(placement) {}

void PictureBox::SetPicture(const QImage& picture)
{
    picture_ = picture;
    scaled_ = QPixmap();
    update();
}

QRect PictureBox::FitRect(const QSize& picture, const QSize& box, Placement placement)
{
    if (picture.isEmpty() || box.isEmpty()) return QRect();
    const bool fits = picture.width() <= box.width() && picture.height() <= box.height();
    QSize shown = picture;
    if (placement == Placement::EnlargeTopLeft || !fits) shown = picture.scaled(box, Qt::KeepAspectRatio);
    shown = shown.expandedTo(QSize(1, 1));
    if (placement == Placement::EnlargeTopLeft) return QRect(QPoint(0, 0), shown);
    const QPoint origin((box.width() - shown.width()) / 2, (box.height() - shown.height()) / 2);
    return QRect(origin, shown);
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
    QWidget::mouseDoubleClickEvent(event);
    emit doubleClicked();
}
