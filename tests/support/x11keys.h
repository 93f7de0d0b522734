#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

// Presses and releases Delete with the text the X11 platform gives it ("\x7f"); Qt Test's own key
// clicks give it none.
inline void PressDeleteAsX11Does(QWidget* widget)
{
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
        QApplication::sendEvent(widget, &event);
    }
}
