#pragma once

#include "fileops/sortingundo.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <Qt>

#include <functional>

class PhotoList;
class SortingUndo;
struct LoadedPicture;

// The target of a copy or rename: the folder, a separator and the typed name; the current
// picture's extension (from its last ".") is appended when that extension, letters A–Z folded,
// occurs nowhere in the target.
QString TargetPath(const QString& typed, const QString& folder, const QString& currentFileName);

// Ctrl+Z, whatever else is held.
bool IsUndoKey(int key, Qt::KeyboardModifiers modifiers);

// The question before deleting a photo's files: with several, how many go.
QString DeleteQuestionFor(const QStringList& files);

// Deletes the files of a photo the user chose to delete (PhotoList::FilesOf, the shown one first):
// to the trash with toTrash, all or none, where the step can be undone; where their volume has
// no trash, only after asking once more. A deletion that fails says so. False when the shown
// picture is still there.
bool DeletePhoto(const QStringList& files, SortingUndo& undo, bool toTrash);

// Takes back the newest sorting step and makes its picture the current one of the re-read list.
// A step that cannot be undone says why and is given up; with none left the system beeps. False
// when nothing was undone.
bool UndoStep(SortingUndo& undo, PhotoList& photos);

// The prompts of the two viewer windows differ in the verb form.
struct PhotoActionTexts {
    QString copyPrompt;
    QString renamePrompt;
};

// What an action needs of the window that shows the picture.
class PhotoView {
public:
    virtual ~PhotoView() = default;
    // Makes the window show the current picture of the list before a key acts on it: a picture
    // still being read is waited for and drawn, and one that could not be read is named by the
    // window as the one acted on. Raises the decoder's error when the picture fails now.
    virtual void PresentCurrentPicture() = 0;
    // Loads the picture area from the file; raises the decoder's error.
    virtual void LoadPictureFrom(const QString& path) = 0;
    // Shows the current picture of the list as the window does after a step.
    virtual void ShowCurrentPicture() = 0;
    // The file name label, where the window has one.
    virtual void SetPathLabel(const QString& path) = 0;
};

// Where the actions take their folders and settings from.
struct PhotoActionContext {
    PhotoList& photos;
    QString sourceFolder;
    QString destinationFolder;
    int action; // 0 copy, 1 rename
    bool confirm;
    // The steps of the run, for Ctrl+Z.
    SortingUndo& undo;
    // Deleting moves to the trash; a copy keeps the file it replaces.
    bool toTrash;
    // The folders of the favourites, in the order of their list.
    QStringList favouriteFolders = {};
    // Says that a favourite's folder is gone, as the favourites do.
    std::function<void()> favouriteFolderMissing = {};
    // Runs after an undo, which may have taken the list to the undone picture's folder.
    std::function<void()> listMayHaveMoved = {};
};

// Copy, rename, delete and save on the current picture, for both viewers, and taking the last of
// these steps back. Each acts on the picture the window shows, after letting it be drawn. A step
// that fails says so, naming the file and the system's reason, and is not remembered for Ctrl+Z.
class PhotoActions {
public:
    PhotoActions(PhotoView& view, PhotoActionTexts texts);

    // The sorting characters of both viewers: "*", "C" and "c" copy or rename as the action
    // choice says, "1" to "9" send the picture to that favourite. False for any other character.
    bool CharacterKey(QChar character, const PhotoActionContext& context);
    // Copies or renames, as the folder window's action choice says.
    void CopyOrRename(const PhotoActionContext& context);
    void Copy(const PhotoActionContext& context);
    void Rename(const PhotoActionContext& context);
    void Delete(const PhotoActionContext& context);
    // Sends the picture to the folder of favourite number (1 is the first entry), as the action
    // choice says: a copy as Copy makes it, or a move there under the name the user confirms,
    // never over an existing file, after which the next picture is current as after a deletion. A
    // favourite whose folder is gone says so; a number without a favourite beeps.
    void SendToFavourite(int number, const PhotoActionContext& context);
    // Writes the shown picture in the format it was loaded in; says so when no picture is shown
    // and writes nothing. The window presents its current picture first.
    void SaveToNewFile(const LoadedPicture& shown, const PhotoActionContext& context);
    // Takes back the newest step: its picture becomes current and is shown. A step that cannot
    // be undone says why; with none left the system beeps.
    void Undo(const PhotoActionContext& context);

private:
    // The current picture, drawn; empty (after saying so) when its file has gone meanwhile.
    QString presentedPicture(const PhotoActionContext& context);
    void copyInto(const QString& folder, const PhotoActionContext& context);
    void moveInto(const QString& folder, const PhotoActionContext& context);
    // Moves a photo's files as one step; says why when they could not go.
    bool movePhoto(const QList<SortingUndo::FileStep>& steps, const PhotoActionContext& context);
    // After the current picture has left the list: the one that followed it becomes current, or
    // the new last one at the end.
    void showTheNextAfterLeaving(PhotoList& photos);

    PhotoView& view_;
    PhotoActionTexts texts_;
};
