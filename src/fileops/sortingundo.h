#pragma once

#include "fileops/desktoptrash.h"
#include "fileops/fileresult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

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

    // The same steps for all the files of one photo at once, remembered as one step: all or
    // nothing. When one file cannot go (its name is taken, the disk is full, no trash), the files
    // already done are put back and stoppedBy names the one that stopped it.
    struct FileStep {
        QString from;
        QString to;
    };
    struct GroupResult {
        FileResult result;
        QString stoppedBy;
        DesktopTrash::Result trashed; // of TrashGroup: the first file's entry, or why it failed
    };
    GroupResult CopyGroup(const QList<FileStep>& files, bool keepReplaced);
    GroupResult MoveGroup(const QList<FileStep>& files);
    GroupResult TrashGroup(const QStringList& paths);

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
    // What a step did to one file.
    struct Part {
        Kind kind;
        QString from;                               // the original picture, or a file's former path
        QString to;                                 // the copy, or a file's new path
        QByteArray digest;                          // of the bytes a copy was written with
        std::optional<DesktopTrash::Entry> trashed; // a deleted file, or the one a copy replaced
        QString aside;                              // where a replaced file waits when there was no trash
    };
    // A photo's files, its shown picture first.
    using Step = std::vector<Part>;

    void push(Step step);
    FileResult writePart(const QString& original, const QString& target, bool keepReplaced,
                         const Writer& writer, std::optional<Part>& part);
    // Puts back what the parts of a step not yet remembered did, newest first.
    void takeBack(Step& done);
    std::optional<Result> refusalOf(const Part& part) const;
    Result undoPart(Part& part);
    Result undoCopy(Part& part);

    std::deque<Step> steps_;
};
