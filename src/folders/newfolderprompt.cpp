#include "folders/newfolderprompt.h"

#include "fileops/fileoperations.h"
#include "platform/dialogservice.h"

#include <QDir>

namespace {
const QString Caption = QStringLiteral("Vytvoření nové složky");
const QString Prompt = QStringLiteral("Zadejte název nové složky:");
const QString ProposedName = QStringLiteral("Nová složka");
const QString FolderExists = QStringLiteral("Zadaný adresář již existuje!");
const QString FolderNotCreated = QStringLiteral("Složku \"%1\" nelze vytvořit.");
} // namespace

std::optional<QString> AskAndMakeFolder(const QString& parent)
{
    const std::optional<QString> name = Dialogs().InputBox(Caption, Prompt, ProposedName);
    // An emptied name asks for nothing to be made.
    if (!name || name->isEmpty()) return std::nullopt;
    QDir::setCurrent(parent);
    switch (FileOperations::CreateFolder(parent, *name)) {
    case FileOperations::FolderCreation::Created: return name;
    case FileOperations::FolderCreation::AlreadyExists:
        Dialogs().ShowWarningDialog(FolderExists);
        return name;
    case FileOperations::FolderCreation::NotCreated: break;
    }
    Dialogs().ShowMessageKind(FolderNotCreated.arg(*name), Caption, DialogService::Error);
    return std::nullopt;
}
