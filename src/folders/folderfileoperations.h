#pragma once

#include "sorting/photoactions.h"

class FolderDragDrop;
class PhotoList;
class QWidget;
class Tnastaveni;

// What the folder window does to files and folders on disk, and the drops
// between its lists: the copy of a picture dropped on the destination files,
// the swap of the two folders (by its button or a drop), the deletion of the selected source
// picture and a new folder in the destination folder. Each step re-reads the
// lists it changed.
class FolderFileOperations {
public:
    explicit FolderFileOperations(Tnastaveni& window);

    // Makes the window's lists drag sources and drop targets; the returned
    // object belongs to the window.
    FolderDragDrop* AcceptDrops();
    // A drop of the source control on the target, as the drop table says; a
    // drop that the table refuses does nothing.
    void Drop(QWidget* target, QWidget* source);
    // "Prohodit": asks, and on Yes exchanges the source and destination folders.
    void SwapFolders();

    // Copies the selected source picture into the destination folder,
    // replacing a file of its name (kept in the trash while kos is on); a
    // copy that fails says so.
    void CopyDroppedFile();
    // Asks, deletes the selected source picture (to the trash while kos is
    // on) and selects the one that followed it, also in the preview.
    void DeleteSelectedFile();
    // Ctrl+Z: takes back the newest sorting step; the lists are read again
    // and its picture is selected and previewed.
    void UndoLastStep();
    // Asks for a name, makes the folder in the destination folder and goes
    // into it.
    void NewFolder();
    // What the viewers' copy, rename and delete keys act with: the folders,
    // the action, the settings, the undo stack and the favourites.
    PhotoActionContext ActionContextFor(PhotoList& photos);
    // After an undo took the source list to another folder: the folder trees
    // and the path field go there too, and the list keeps its picture.
    void FollowSourceList();

private:
    // Asks whether to swap; No gives the source side the destination folder.
    void swapOnDrop();
    bool askToSwap();
    // The preview follows the source list's selection, or shows the default picture.
    void previewSelected();

    Tnastaveni& window_;
};
