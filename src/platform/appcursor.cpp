#include "platform/appcursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
bool busy = false;
}

namespace AppCursor {

void SetBusy()
{
    if (busy) return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    busy = true;
}

void SetNormal()
{
    if (!busy) return;
    QGuiApplication::restoreOverrideCursor();
    busy = false;
}

bool IsBusy()
{
    return busy;
}

} // namespace AppCursor
