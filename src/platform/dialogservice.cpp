#include "platform/dialogservice.h"

#include <QtGlobal>

namespace {
DialogService* installedService = nullptr;
}

DialogService& Dialogs()
{
    Q_ASSERT_X(installedService, "Dialogs", "no dialog service installed");
    return *installedService;
}

void SetDialogService(DialogService* service)
{
    installedService = service;
}

void ShowGeneralError(const QString& text)
{
    Dialogs().ShowMessageKind(text, QStringLiteral("Vendrax"), DialogService::Error);
}

QString ScreenText(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}
