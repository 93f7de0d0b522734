#include "platform/fontsubstitutes.h"
#include "platform/pixlyapplication.h"
#include "platform/qtdialogservice.h"
#include "platform/translations.h"
#include "shell/pixly_flash.h"
#include "shell/windows.h"

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

    Windows windows;
    windows.CreateAll(nullptr);
    windows.Form7->show();
    const int exitCode = QApplication::exec();
    SetDialogService(nullptr);
    return exitCode;
}
