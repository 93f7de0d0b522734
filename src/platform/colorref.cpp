#include "platform/colorref.h"

#include <QPalette>
#include <QWidget>

QColor ColorFromRef(int colorRef)
{
    const auto bits = static_cast<unsigned>(colorRef);
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

int RefFromColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

void SetBackground(QWidget* widget, int colorRef)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ColorFromRef(colorRef));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
