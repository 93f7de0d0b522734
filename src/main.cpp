#include "platform/fontsubstitutes.h"
#include "platform/freedmemory.h"
#include "platform/pixlyapplication.h"
#include "platform/qtdialogservice.h"
#include "platform/translations.h"
#include "shell/makerweb.h"
#include "shell/pixly_flash.h"
#include "shell/platformconnectiontest.h"
#include "shell/startargument.h"
#include "shell/startfolder.h"
#include "shell/updatechecker.h"
#include "shell/windows.h"

#include <QDir>

int main(int argc, char** argv)
{
    KeepFreedMemoryForReuse();
    PixlyApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vendrax"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.tremanova.pixly"));
    MakerWeb::SetBaseAddress(QStringLiteral(PIXLY_MAKER_WEB));

    // Relative paths are meant from where the program was launched, before
    // an installed program moves into its own folder.
    const StartArgument startArgument =
        StartArgument::From(QApplication::arguments().mid(1), QDir::currentPath());
    const QString installedData = StartFolder::InstalledData(QApplication::applicationDirPath(),
                                                             QStringLiteral(PIXLY_DATA_FROM_PROGRAM));
    if (!installedData.isEmpty()) StartFolder::EnterUserFolder(installedData);

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
    windows.CreateAll(MakerWeb::Available() ? &updateChecker : nullptr);
    windows.Form7->startArgument = startArgument;
    windows.Form7->show();
    const int exitCode = QApplication::exec();
    SetDialogService(nullptr);
    return exitCode;
}
