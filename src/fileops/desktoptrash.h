#pragma once

#include <QByteArray>
#include <QString>

// The desktop's trash: the freedesktop.org trash on Linux (the user's own
// trash for files on the home volume, $topdir/.Trash-$uid on other volumes,
// each entry with its .trashinfo so that file managers can restore it too),
// the recycle bin on Windows.
namespace DesktopTrash {

// Where a trashed file went, enough to bring it back, and what it was, so that only that file
// comes back.
struct Entry {
    QString originalPath;
    QString trashedPath;
    QString infoPath; // empty where the trash keeps no info file of ours
    qint64 size = -1;
    QByteArray digest; // SHA-256 of the contents
};

enum class Outcome {
    Trashed,
    NoTrash, // the file's volume has no usable trash
    Failed,  // there is a trash, but the file could not be moved into it
};

struct Result {
    Outcome outcome = Outcome::Failed;
    Entry entry;
    QString reason; // why it Failed, for the user
};

// Moves a file (not a folder) into the trash of its volume. The info file records the file's
// real place (a folder reached through a link is resolved), as file managers restore it from.
Result MoveToTrash(const QString& path);

enum class RestoreOutcome {
    Restored,
    PlaceTaken,
    EntryGone,
    NotOurs, // another file lies under the trashed name now
    Failed,
};

// Puts a trashed file back at its original place, never over an existing file and only while it
// is the file that was trashed, and removes its info file.
RestoreOutcome Restore(const Entry& entry);

// The trash folder for files on the volume mounted at topDirectory: $topdir/.Trash/$uid when
// $topdir/.Trash is a real folder with the sticky bit, otherwise $topdir/.Trash-$uid (created
// when missing). Either must be the user's own and private to him (mode 0700); a volume that
// keeps no owners or permissions (FAT, exFAT) cannot keep a trash private, so it has none. Empty
// when neither can be used.
QString TrashFolderOnVolume(const QString& topDirectory);

// The user's own trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
QString HomeTrashFolder();

} // namespace DesktopTrash
