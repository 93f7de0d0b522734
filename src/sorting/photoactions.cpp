#include "sorting/photoactions.h"

#include "fileops/fileoperations.h"
#include "fileops/saferewrite.h"
#include "fileops/sortingundo.h"
#include "formats/picturefile.h"
#include "platform/dialogservice.h"
#include "platform/systeminfo.h"
#include "sorting/photofiles.h"
#include "sorting/photolist.h"
#include "sorting/stepmessages.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <optional>

namespace {

const QString Pixly = QStringLiteral("Pixly");
const QString CopyCaption = QStringLiteral("Kopírování");
const QString RenameCaption = QStringLiteral("Přejmenování");
const QString CopyDone = QStringLiteral("Kopírování úspěšné!\r");
const QString RenameDone = QStringLiteral("Přejmenování úspěšné!\r");
const QString DeleteQuestion = QStringLiteral("Opravdu chcete tento obrázek smazat?");
const QString DeletePhotoQuestion =
    QStringLiteral("Opravdu chcete tento obrázek smazat i s jeho dalšími soubory (celkem %1)?");
const QString NoTrashPhotoQuestion = QStringLiteral(
    "Soubory tohoto obrázku nelze přesunout do koše.\rOpravdu je chcete trvale smazat (celkem %1)?");
// Under the name prompt of a photo of several files.
const QString PhotoNameNote = QStringLiteral("\r(Obrázek má %1, všechny dostanou tento název.)");
const QString DeleteCaption = QStringLiteral("Smazat");
const QString NoTrashQuestion =
    QStringLiteral("Tento obrázek nelze přesunout do koše.\rOpravdu ho chcete trvale smazat?");
const QString SaveCaption = QStringLiteral("Uložit do nového souboru");
const QString SavePrompt = QStringLiteral("Zadejte cestu k novému souboru:");
const QString NothingToSave = QStringLiteral("Není zobrazen žádný obrázek, který by šlo uložit!");
const QString NoPictureToWrite = QStringLiteral("Není co zapsat.");

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

// Asks for the name under which the current picture (with the other files of its photo) goes
// into the folder; nothing when the user cancelled.
std::optional<QString> askTarget(const QString& caption, const QString& prompt, const QString& folder,
                                 const QStringList& files)
{
    const QString current = files.first();
    const QString note = files.size() > 1 ? PhotoNameNote.arg(FileCount(files.size())) : QString();
    const auto typed = Dialogs().InputBox(caption, prompt + note, fileNameOf(current));
    if (!typed) return std::nullopt;
    return TargetPath(*typed, folder, fileNameOf(current));
}

QStringList targetsOf(const QList<SortingUndo::FileStep>& steps)
{
    QStringList targets;
    for (const SortingUndo::FileStep& step : steps)
        targets << step.to;
    return targets;
}

} // namespace

QString TargetPath(const QString& typed, const QString& folder, const QString& currentFileName)
{
    // A folder that ends with a separator (the root) gets no second one; both spellings name the
    // same file.
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

QString DeleteQuestionFor(const QStringList& files)
{
    return files.size() > 1 ? DeletePhotoQuestion.arg(FileCount(files.size())) : DeleteQuestion;
}

bool DeletePhoto(const QStringList& files, SortingUndo& undo, bool toTrash)
{
    // Whether the volume has no trash or the move into it failed, the files are all still there.
    if (toTrash && undo.TrashGroup(files).result.ok()) return true;
    const QString noTrash =
        files.size() > 1 ? NoTrashPhotoQuestion.arg(FileCount(files.size())) : NoTrashQuestion;
    if (toTrash && !Dialogs().AskYesNo(noTrash, DeleteCaption)) return false;
    // Gone for good, no file can be put back: the first one that fails stops the rest.
    for (const QString& path : files) {
        const FileResult deleted = FileOperations::Delete(path);
        if (!deleted) {
            StepMessages::DeleteFailed(path, deleted);
            return path != files.first();
        }
    }
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
        StepMessages::UndoRefused(result, undo.Count() > 0);
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

bool PhotoActions::CharacterKey(QChar character, const PhotoActionContext& context)
{
    if (character == QLatin1Char('*') || character == QLatin1Char('C') || character == QLatin1Char('c')) {
        CopyOrRename(context);
        return true;
    }
    if (character >= QLatin1Char('1') && character <= QLatin1Char('9')) {
        SendToFavourite(character.digitValue(), context);
        return true;
    }
    return false;
}

QString PhotoActions::presentedPicture(const PhotoActionContext& context)
{
    view_.PresentCurrentPicture();
    const QString current = context.photos.CurrentPath();
    if (current.isEmpty() || QFileInfo(current).isFile()) return current;
    StepMessages::PictureGone(current);
    return QString();
}

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
    const QString current = presentedPicture(context);
    if (current.isEmpty()) return;
    const QStringList files = context.photos.FilesOf(current);
    const auto target = askTarget(CopyCaption, texts_.copyPrompt, folder, files);
    if (!target) return;
    const QList<SortingUndo::FileStep> steps = StepsTo(files, *target);
    const SortingUndo::GroupResult copied = context.undo.CopyGroup(steps, context.toTrash);
    if (!copied.result.ok())
        StepMessages::CopyFailed(copied.stoppedBy, copied.result, files.size() > 1);
    else if (context.confirm)
        Dialogs().ShowMessageKind(CopyDone + PhotoLabel(targetsOf(steps), true), Pixly,
                                  DialogService::Information);
    view_.LoadPictureFrom(current);
}

void PhotoActions::Rename(const PhotoActionContext& context)
{
    const QString current = presentedPicture(context);
    if (current.isEmpty()) return;
    const QStringList files = context.photos.FilesOf(current);
    const auto asked = askTarget(RenameCaption, texts_.renamePrompt, context.sourceFolder, files);
    if (!asked) return;
    const QString target = *asked;
    if (!movePhoto(StepsTo(files, target), context)) return;
    view_.SetPathLabel(target);
    // The list follows the file even when its new name cannot be shown, so it never names a file
    // that is gone.
    try {
        view_.LoadPictureFrom(target);
    } catch (...) {
        context.photos.Reread();
        context.photos.SelectByPath(target);
        throw;
    }
    context.photos.Reread();
    context.photos.SelectByPath(target);
    view_.SetPathLabel(target);
}

bool PhotoActions::movePhoto(const QList<SortingUndo::FileStep>& steps, const PhotoActionContext& context)
{
    const SortingUndo::GroupResult moved = context.undo.MoveGroup(steps);
    if (!moved.result.ok()) {
        StepMessages::MoveFailed(moved.stoppedBy, moved.result, steps.size() > 1);
        return false;
    }
    if (context.confirm)
        Dialogs().ShowMessageKind(RenameDone + PhotoLabel(targetsOf(steps), true), Pixly,
                                  DialogService::Information);
    return true;
}

void PhotoActions::Delete(const PhotoActionContext& context)
{
    const QString current = presentedPicture(context);
    if (current.isEmpty()) return;
    const QStringList files = context.photos.FilesOf(current);
    if (!Dialogs().AskYesNo(DeleteQuestionFor(files), DeleteCaption)) return;
    if (!DeletePhoto(files, context.undo, context.toTrash)) return;
    showTheNextAfterLeaving(context.photos);
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
        if (context.favouriteFolderMissing) context.favouriteFolderMissing();
        return;
    }
    if (context.action == 0)
        copyInto(folder, context);
    else if (context.action == 1)
        moveInto(folder, context);
}

void PhotoActions::moveInto(const QString& folder, const PhotoActionContext& context)
{
    const QString current = presentedPicture(context);
    if (current.isEmpty()) return;
    const QStringList files = context.photos.FilesOf(current);
    const auto target = askTarget(RenameCaption, texts_.renamePrompt, folder, files);
    if (!target) return;
    if (!movePhoto(StepsTo(files, *target), context)) return;
    showTheNextAfterLeaving(context.photos);
}

void PhotoActions::SaveToNewFile(const LoadedPicture& shown, const PhotoActionContext& context)
{
    // A window whose picture never loaded has nothing to write; asking for a name would only
    // invite the user to name a file to be emptied. (A shown bitmap keeps no bytes: it is read
    // again from its file to be saved.)
    if (shown.path.isEmpty()) {
        Dialogs().ShowMessageKind(NothingToSave, Pixly, DialogService::Warning);
        return;
    }
    // The picture drawn, which the window has brought up to the list's position first.
    const QString proposed = SystemInfo::SystemRoot() + fileNameOf(shown.path);
    const auto typed = Dialogs().InputBox(SaveCaption, SavePrompt, proposed);
    if (!typed) return;
    // Undo must find the file again after the current folder has changed.
    if (typed->isEmpty()) {
        StepMessages::SaveFailed(*typed, SystemReason(ENOENT));
        return;
    }
    const QString target = QFileInfo(*typed).absoluteFilePath();
    // Read before anything is moved aside: the target may be the shown file itself.
    const QByteArray bytes = PictureBytesToSave(shown);
    const FileResult saved =
        context.undo.Write(shown.path, target, context.toTrash, [&bytes](const QString& path) {
            // Writing nothing over a file would only destroy it.
            if (bytes.isEmpty()) return FileResult::Failed(NoPictureToWrite);
            return RewriteFile(path, bytes);
        });
    if (!saved) StepMessages::SaveFailed(target, saved.reason());
}

void PhotoActions::Undo(const PhotoActionContext& context)
{
    // A refusal must stand over the picture it leaves current.
    view_.PresentCurrentPicture();
    if (!UndoStep(context.undo, context.photos)) return;
    if (context.listMayHaveMoved) context.listMayHaveMoved();
    view_.ShowCurrentPicture();
}
