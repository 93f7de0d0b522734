#include "viewer/photoactions.h"

#include "fileops/fileoperations.h"
#include "fileops/sortingundo.h"
#include "folders/folderfavourites.h"
#include "formats/picturefile.h"
#include "platform/dialogservice.h"
#include "platform/systeminfo.h"
#include "viewer/photolist.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <optional>

namespace {

const QString Pixly = QStringLiteral("Pixly");
const QString CopyCaption = QStringLiteral("Kopírování");
const QString RenameCaption = QStringLiteral("Přejmenování");
const QString CopyDone = QStringLiteral("Kopírování úspěšné!\r");
const QString RenameDone = QStringLiteral("Přejmenování úspěšné!\r");
const QString DeleteQuestion = QStringLiteral("Opravdu chcete tento obrázek smazat?");
const QString DeleteCaption = QStringLiteral("Smazat");
const QString NoTrashQuestion =
    QStringLiteral("Tento obrázek nelze přesunout do koše.\rOpravdu ho chcete trvale smazat?");
const QString SaveCaption = QStringLiteral("Uložit do nového souboru");
const QString SavePrompt = QStringLiteral("Zadejte cestu k novému souboru:");
const QString NothingToSave = QStringLiteral("Není zobrazen žádný obrázek, který by šlo uložit!");

// Only the letters A to Z are folded, as the extension rule compares them.
QString foldAsciiCase(const QString& text)
{
    QString folded = text;
    for (QChar& c : folded)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + ('a' - 'A'));
    return folded;
}

QString fileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

// Asks for the name under which the current picture goes into the folder;
// nothing when the user cancelled.
std::optional<QString> askTarget(const QString& caption, const QString& prompt, const QString& folder,
                                 const QString& current)
{
    const auto typed = Dialogs().InputBox(caption, prompt, fileNameOf(current));
    if (!typed) return std::nullopt;
    return TargetPath(*typed, folder, fileNameOf(current));
}

} // namespace

QString TargetPath(const QString& typed, const QString& folder, const QString& currentFileName)
{
    // A folder that ends with a separator (the root) gets no second one;
    // both spellings name the same file.
    const QString separator = QDir::separator();
    QString target = folder.endsWith(separator) ? folder + typed : folder + separator + typed;
    const qsizetype dot = currentFileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return target;
    const QString extension = currentFileName.mid(dot);
    if (!foldAsciiCase(target).contains(foldAsciiCase(extension))) target += extension;
    return target;
}

bool IsUndoKey(int key, Qt::KeyboardModifiers modifiers)
{
    return key == Qt::Key_Z && modifiers.testFlag(Qt::ControlModifier);
}

bool DeletePicture(const QString& path, SortingUndo& undo, bool toTrash)
{
    // Whether the volume has no trash or the move into it failed, the picture is still there.
    if (toTrash && undo.Trash(path) == DesktopTrash::Outcome::Trashed) return true;
    if (toTrash && !Dialogs().AskYesNo(NoTrashQuestion, DeleteCaption)) return false;
    FileOperations::Delete(path);
    return true;
}

bool UndoStep(SortingUndo& undo, PhotoList& photos)
{
    const SortingUndo::Result result = undo.Undo();
    if (result.outcome == SortingUndo::Outcome::NothingToUndo) {
        QApplication::beep();
        return false;
    }
    if (result.outcome == SortingUndo::Outcome::Refused) {
        Dialogs().ShowMessageKind(result.message, Pixly, DialogService::Warning);
        return false;
    }
    const int position = photos.Position();
    photos.Reread();
    if (QFileInfo(result.picture).isFile())
        photos.SelectByPath(result.picture);
    else
        photos.SetPosition(qMin(position, photos.Count() - 1));
    return true;
}

PhotoActions::PhotoActions(PhotoView& view, PhotoActionTexts texts) : view_(view), texts_(std::move(texts)) {}

void PhotoActions::CopyOrRename(const PhotoActionContext& context)
{
    if (context.action == 0)
        Copy(context);
    else if (context.action == 1)
        Rename(context);
}

void PhotoActions::Copy(const PhotoActionContext& context)
{
    copyInto(context.destinationFolder, context);
}

void PhotoActions::copyInto(const QString& folder, const PhotoActionContext& context)
{
    const QString current = context.photos.CurrentPath();
    const auto target = askTarget(CopyCaption, texts_.copyPrompt, folder, current);
    if (!target) return;
    if (context.undo.Copy(current, *target, context.toTrash) && context.confirm)
        Dialogs().ShowMessageKind(CopyDone + *target, Pixly, DialogService::Information);
    view_.LoadPictureFrom(current);
}

void PhotoActions::Rename(const PhotoActionContext& context)
{
    const QString current = context.photos.CurrentPath();
    const auto asked = askTarget(RenameCaption, texts_.renamePrompt, context.sourceFolder, current);
    if (!asked) return;
    const QString target = *asked;
    if (!context.undo.Move(current, target)) return;
    if (context.confirm) Dialogs().ShowMessageKind(RenameDone + target, Pixly, DialogService::Information);
    view_.SetPathLabel(target);
    // The list follows the file even when its new name cannot be shown, so
    // it never names a file that is gone.
    try {
        view_.LoadPictureFrom(target);
    } catch (...) {
        context.photos.Reread();
        context.photos.SelectByPath(target);
        throw;
    }
    context.photos.Reread();
    context.photos.SelectByPath(target);
}

void PhotoActions::Delete(const PhotoActionContext& context)
{
    if (!Dialogs().AskYesNo(DeleteQuestion, DeleteCaption)) return;
    PhotoList& photos = context.photos;
    if (!DeletePicture(photos.CurrentPath(), context.undo, context.toTrash)) return;
    showTheNextAfterLeaving(photos);
}

void PhotoActions::showTheNextAfterLeaving(PhotoList& photos)
{
    const int position = photos.Position();
    photos.Reread();
    // After the last picture the new last one becomes current.
    photos.SetPosition(qMin(position, photos.Count() - 1));
    view_.ShowCurrentPicture();
}

void PhotoActions::SendToFavourite(int number, const PhotoActionContext& context)
{
    if (number < 1 || number > context.favouriteFolders.size()) {
        QApplication::beep();
        return;
    }
    const QString folder = context.favouriteFolders.at(number - 1);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        FolderFavourites::SayFolderMissing();
        return;
    }
    if (context.action == 0)
        copyInto(folder, context);
    else if (context.action == 1)
        moveInto(folder, context);
}

void PhotoActions::moveInto(const QString& folder, const PhotoActionContext& context)
{
    const auto target = askTarget(RenameCaption, texts_.renamePrompt, folder, context.photos.CurrentPath());
    if (!target || !context.undo.Move(context.photos.CurrentPath(), *target)) return;
    if (context.confirm) Dialogs().ShowMessageKind(RenameDone + *target, Pixly, DialogService::Information);
    showTheNextAfterLeaving(context.photos);
}

void PhotoActions::SaveToNewFile(const LoadedPicture& shown, const PhotoActionContext& context)
{
    // A window whose picture never loaded has nothing to write; asking for a
    // name would only invite the user to name a file to be emptied. (A shown
    // bitmap keeps no bytes: it is read again from its file to be saved.)
    if (shown.path.isEmpty()) {
        Dialogs().ShowMessageKind(NothingToSave, Pixly, DialogService::Warning);
        return;
    }
    // The picture drawn, which may still lag behind the list's position after quick steps.
    const QString proposed = SystemInfo::SystemRoot() + fileNameOf(shown.path);
    const auto typed = Dialogs().InputBox(SaveCaption, SavePrompt, proposed);
    if (!typed) return;
    // Undo must find the file again after the current folder has changed.
    const QString target = typed->isEmpty() ? QString() : QFileInfo(*typed).absoluteFilePath();
    // Read before anything is moved aside: the target may be the shown file itself.
    const LoadedPicture picture = PictureToSave(shown);
    context.undo.Write(shown.path, target, context.toTrash, [&picture](const QString& path) {
        SavePictureFile(picture, path);
        return true;
    });
}

void PhotoActions::Undo(const PhotoActionContext& context)
{
    if (UndoStep(context.undo, context.photos)) view_.ShowCurrentPicture();
}
