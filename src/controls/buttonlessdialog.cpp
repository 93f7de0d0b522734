#include "controls/buttonlessdialog.h"

#include <QKeyEvent>

ButtonlessDialog::ButtonlessDialog(QWidget* parent) : QDialog(parent, Qt::Tool) {}

void ButtonlessDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
