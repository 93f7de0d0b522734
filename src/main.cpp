#include "platform/fontsubstitutes.h"
#include "platform/pixlyapplication.h"
#include "platform/qtdialogservice.h"
#include "platform/translations.h"
#include "shell/pixly_flash.h"
#include "shell/platformconnectiontest.h"
#include "shell/updatechecker.h"
#include "shell/windows.h"

#include <QDir>

int main(int argc, char** argv)
{
    PixlyApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vendrax"));
    QApplication::setQuitOnLastWindowClosed(false);

    // Standard buttons and dialogs in Czech, like the rest of the program.
    QTranslator qtTranslation;
    InstallCzechQtTranslation(qtTranslation);
    InstallFontSubstitutes();

    QtDialogService dialogs;
    SetDialogService(&dialogs);

    // The folder the program starts in holds aktual.dat and the updater.
    PlatformConnectionTest connection;
    UpdateChecker updateChecker(connection, QDir::currentPath(), TForm7::RunningVersion);

    Windows windows;
    windows.CreateAll(&updateChecker);
    windows.Form7->show();
    const int exitCode = QApplication::exec();
    SetDialogService(nullptr);
    return exitCode;
}
