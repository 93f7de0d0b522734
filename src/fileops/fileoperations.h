#pragma once

#include "fileops/fileresult.h"

#include <QString>

// File operations of the sorting keys and the folder window. Each says how it ended and, when
// it failed, why, so that the windows can tell the user; none of them ever replaces a file it
// was not asked to replace.
namespace FileOperations {

// Copies source to target, replacing a file of that name. The copy is written beside the target
// and moved over it only when complete (see SafeRewrite), and a copy onto the source itself (by
// any path) is refused, so a picture can never be truncated by copying it.
FileResult CopyReplacing(const QString& source, const QString& target);

// Moves or renames source to target; an existing target is NameTaken, also where the system's
// rename would replace it, and also when it appears while the move is under way. A target that
// is the source itself under another letter case (a case-insensitive volume) is no other file:
// that rename goes through a temporary name, so the volume really takes the new case. Onto
// another volume the file is copied beside the target, read back and compared with the original,
// put in place and only then is the original removed; whatever fails on the way leaves the
// original where it was and no copy behind.
FileResult MoveNoReplace(const QString& source, const QString& target);

// True when target names the existing file source itself, in the same folder and with a name
// that differs only in letter case: what a case-insensitive volume (a memory card) reports for a
// rename that only changes the case.
bool IsSameFileInOtherCase(const QString& source, const QString& target);

enum class FolderCreation { Created, AlreadyExists, NotCreated };
// Makes the folder name inside parent. A folder of that name already there is AlreadyExists; a
// file of that name, or any failure, is NotCreated.
FolderCreation CreateFolder(const QString& parent, const QString& name);

// Deletes the file outright (no wastebasket).
FileResult Delete(const QString& path);

// True when both paths name the same existing file.
bool SameFile(const QString& a, const QString& b);

} // namespace FileOperations
