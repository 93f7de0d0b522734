#include "controls/clickevent.h"

#include <QMouseEvent>
#include <QWidget>

bool EndsClick(const QWidget& widget, const QEvent& event)
{
    if (event.type() != QEvent::MouseButtonRelease) return false;
    const auto& release = static_cast<const QMouseEvent&>(event);
    return release.button() == Qt::LeftButton && widget.rect().contains(release.position().toPoint());
}
