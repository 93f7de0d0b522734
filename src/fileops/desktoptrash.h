#pragma once

#include <QString>

// The desktop's trash: the freedesktop.org trash on Linux (the user's own
// trash for files on the home volume, $topdir/.Trash-$uid on other volumes,
// each entry with its .trashinfo so that file managers can restore it too),
// the recycle bin on Windows.
namespace DesktopTrash {

// Where a trashed file went, enough to bring it back.
struct Entry {
    QString originalPath;
    QString trashedPath;
    QString infoPath; // empty where the trash keeps no info file of ours
};

enum class Outcome {
    Trashed,
    NoTrash, // the file's volume has no usable trash
    Failed,  // there is a trash, but the file could not be moved into it
};

struct Result {
    Outcome outcome = Outcome::Failed;
    Entry entry;
};

// Moves a file (not a folder) into the trash of its volume.
Result MoveToTrash(const QString& path);

enum class RestoreOutcome { Restored, PlaceTaken, EntryGone, Failed };

// Puts a trashed file back at its original place, never over an existing
// file, and removes its info file.
RestoreOutcome Restore(const Entry& entry);

// The trash folder for files on the volume mounted at topDirectory:
// $topdir/.Trash/$uid when $topdir/.Trash is a real folder with the sticky
// bit, otherwise $topdir/.Trash-$uid (created when missing). Empty when
// neither can be used.
QString TrashFolderOnVolume(const QString& topDirectory);

// The user's own trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
QString HomeTrashFolder();

} // namespace DesktopTrash
