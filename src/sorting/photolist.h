#pragma once

#include <QString>
#include <QStringList>

class FileListBox;

// The pictures around the current one, nearest first, wrapping round the list's ends.
struct NearbyPictures {
    QStringList following;
    QStringList preceding;
};

// The pictures are looked through in the order of the folder window's
// source file list; its selection is the current picture. Every viewer
// moves this one selection, so no window keeps a position of its own.
class PhotoList {
public:
    explicit PhotoList(FileListBox& list);

    // The list's folder and the selected name, or "" when nothing is selected.
    QString CurrentPath() const;
    int Count() const;
    // Index of the selected entry, -1 when none is selected.
    int Position() const;
    void SetPosition(int index);
    // Reads the folder again with the current mask; the selection is cleared.
    void Reread();
    // Makes the picture at path current, changing the list to its folder
    // first. When the folder's mask does not list the file but it exists,
    // the mask becomes its file name so that the list holds just that file.
    // An existing file left out only for being hidden is added to the list.
    void SelectByPath(const QString& path);
    // Up to count pictures each way (never the current one, none twice in a
    // direction), the ones worth reading ahead; empty without a selection.
    NearbyPictures Nearby(int count) const;
    // The paths of the files of the photo at path (PhotoGroups, while the list groups them), the
    // path first; the path alone when it is not in the list's folder.
    QStringList FilesOf(const QString& path) const;

private:
    // Selects the entry of that name; false when the list has none.
    bool selectListed(const QString& name);
    // Adds the name at its place in the list's order and selects it.
    void insertListed(const QString& name);

    FileListBox& list_;
};

// Moving through the list with the wrap-around questions (Yes is the
// default): at the last picture "start again from the beginning?", at the
// first "start from the end?". On No the position stays.
namespace Navigation {
void StepNext(PhotoList& photos);
void StepPrevious(PhotoList& photos);
// The question at the end of the list, shared with the slideshow timer.
bool AskStartAgain();
} // namespace Navigation
