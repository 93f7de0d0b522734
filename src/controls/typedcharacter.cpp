#include "controls/typedcharacter.h"

#include <QKeyEvent>

std::optional<QChar> TypedCharacter(const QKeyEvent& event)
{
    const QString text = event.text();
    if (text.isEmpty()) return std::nullopt;
    switch (event.key()) {
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return std::nullopt;
    default: return text.at(0);
    }
}
