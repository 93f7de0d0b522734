#pragma once

#include "fileops/desktoptrash.h"
#include "fileops/fileresult.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

// The sorting steps of a run (copies, renames and moves, deletions to the trash, saves to a new
// file), done here and remembered so that Ctrl+Z can take them back, newest first. A step that
// fails is not remembered. Taking a step back never replaces an existing file, never loses one
// and brings back only what the step stored: a step that cannot be undone says why and is given
// up, so that the next Ctrl+Z takes back the step before it.
class SortingUndo {
public:
    // How many steps are remembered; older ones drop off.
    static constexpr int Depth = 500;

    // Copies source to target, replacing a file there. With keepReplaced the replaced file goes
    // to the trash first, or aside (beside it, under a name that says it was replaced, where the
    // user finds it whatever happens to the program) when its volume has no trash, so that
    // undoing the copy brings it back. A copy onto the source itself is refused.
    FileResult Copy(const QString& source, const QString& target, bool keepReplaced);
    // Writes target through the writer from the picture at original, replacing a file there
    // like Copy; undone as a copy. The writer may also raise its own error.
    using Writer = std::function<FileResult(const QString& target)>;
    FileResult Write(const QString& original, const QString& target, bool keepReplaced, const Writer& writer);
    // Renames, or moves to another folder, never over an existing file.
    FileResult Move(const QString& from, const QString& to);
    // Moves the file to the trash of its volume.
    DesktopTrash::Result Trash(const QString& path);

    enum class Outcome { Undone, Refused, NothingToUndo };
    enum class Refusal {
        CopyChanged,  // the copy is not what was written any more
        OriginalGone, // the copy may be all that is left of the picture
        ReplacedGone, // what a copy replaced cannot be found
        NameTaken,    // the place to go back to is taken
        MovedGone,    // the moved or renamed file is not where it went
        NotInTrash,   // the deleted file has left the trash
        NotOurs,      // another file lies in the trash under its name
        Failed,       // the system refused (reason says why)
    };
    struct Result {
        Outcome outcome = Outcome::NothingToUndo;
        Refusal refusal = Refusal::Failed;
        // The file a refusal is about.
        QString path;
        // The system's reason, for Failed.
        QString reason;
        // The picture the undone step was about, where it is now.
        QString picture;
    };
    // Takes back the newest step still remembered; a step refused is given up.
    Result Undo();

    int Count() const { return int(steps_.size()); }

private:
    enum class Kind { Copy, Move, Trash };
    struct Step {
        Kind kind;
        QString from;                               // the original picture, or a file's former path
        QString to;                                 // the copy, or a file's new path
        QByteArray digest;                          // of the bytes a copy was written with
        std::optional<DesktopTrash::Entry> trashed; // a deleted file, or the one a copy replaced
        QString aside;                              // where a replaced file waits when there was no trash
    };

    void push(Step step);
    Result undoCopy(Step& step);
    Result undoMove(const Step& step);
    Result undoTrash(const Step& step);

    std::deque<Step> steps_;
};
