#pragma once

#include "fileops/desktoptrash.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

// The sorting steps of a run (copies, renames and moves, deletions to the
// trash, saves to a new file), done here and remembered so that Ctrl+Z can
// take them back, newest first. Taking a step back never replaces an
// existing file and never loses one: a step that cannot be undone now says
// why and stays for a later try.
class SortingUndo {
public:
    // How many steps are remembered; older ones drop off.
    static constexpr int Depth = 500;

    // Copies source to target, replacing a file there. With keepReplaced the
    // replaced file goes to the trash first, or aside (a hidden name beside
    // it) when its volume has no trash, so that undoing the copy brings it
    // back. A copy onto the source itself is refused.
    bool Copy(const QString& source, const QString& target, bool keepReplaced);
    // Writes target through the writer (which may raise its own error) from
    // the picture at original, replacing a file there like Copy; undone as a copy.
    bool Write(const QString& original, const QString& target, bool keepReplaced,
               const std::function<bool(const QString&)>& writer);
    // Renames, or moves to another folder, never over an existing file.
    bool Move(const QString& from, const QString& to);
    // Remembers a rename or move done elsewhere.
    void RecordMove(const QString& from, const QString& to);
    // Moves the file to the trash of its volume.
    DesktopTrash::Outcome Trash(const QString& path);

    enum class Outcome { Undone, Refused, NothingToUndo };
    struct Result {
        Outcome outcome = Outcome::NothingToUndo;
        // Why a step was refused, for the user.
        QString message;
        // The picture the undone step was about, where it is now.
        QString picture;
    };
    // Takes back the newest step still remembered.
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
