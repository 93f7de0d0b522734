#include "shell/startargument.h"

#include "controls/directorylistbox.h"
#include "controls/filelistbox.h"
#include "folders/nast_pixly.h"
#include "platform/dialogservice.h"
#include "shell/windows.h"
#include "sorting/photolist.h"

#include <QDir>
#include <QFileInfo>

namespace {
namespace Text {
const QString Missing = QStringLiteral("Zadaný soubor nebo složka neexistuje:\r%1");
const QString Caption = QStringLiteral("Pixly");
} // namespace Text

// The folder becomes the source folder the way a favourite is opened.
void openSourceFolder(Tnastaveni& folders, const QString& folder)
{
    folders.DirectoryListBox1->SetDirectory(folder);
    QDir::setCurrent(folders.startDir);
}

bool openPicture(Tnastaveni& folders, const QString& path)
{
    openSourceFolder(folders, QFileInfo(path).absolutePath());
    PhotoList(*folders.FileListBox1).SelectByPath(path);
    QDir::setCurrent(folders.startDir);
    if (folders.FileListBox1->FileName().isEmpty()) return false;
    folders.OpenMainViewer();
    return true;
}

void bringUp(Tnastaveni& folders)
{
    folders.show();
    folders.raise();
    folders.activateWindow();
}

} // namespace

StartArgument StartArgument::From(const QStringList& arguments, const QString& launchFolder)
{
    if (arguments.isEmpty() || arguments.first().isEmpty()) return {};
    const QFileInfo file(QDir(launchFolder), arguments.first());
    const QString path = QDir::toNativeSeparators(QDir::cleanPath(file.absoluteFilePath()));
    if (file.isDir()) return {Kind::Folder, path};
    if (file.exists()) return {Kind::Picture, path};
    return {Kind::Missing, path};
}

void OpenStartArgument(Windows& windows, const StartArgument& argument)
{
    Tnastaveni& folders = *windows.nastaveni;
    switch (argument.kind) {
    case StartArgument::Kind::Picture:
        if (openPicture(folders, argument.path)) return;
        break;
    case StartArgument::Kind::Folder: openSourceFolder(folders, argument.path); break;
    case StartArgument::Kind::Missing:
        Dialogs().ShowMessageKind(Text::Missing.arg(argument.path), Text::Caption, DialogService::Error);
        break;
    case StartArgument::Kind::None: break;
    }
    bringUp(folders);
}
