#pragma once

#include <QString>

// File operations of the sorting keys and the folder window. None of them
// reports why it failed: the callers only care whether it worked.
namespace FileOperations {

// Copies source to target, replacing a file of that name. The copy is
// written beside the target first and moved over it only when complete,
// and a copy onto the source itself (by any path) is refused, so a picture
// can never be truncated by copying it.
bool CopyReplacing(const QString& source, const QString& target);

// Moves or renames source to target; refuses an existing target (also
// where the system's rename would replace it). A target that is the source
// itself under another letter case (a case-insensitive volume) is no other
// file, so that rename goes through. Onto another volume the file is copied
// beside the target, read back and compared with the original, put in place
// and only then is the original removed; whatever fails on the way leaves
// the original where it was and no copy behind.
bool MoveNoReplace(const QString& source, const QString& target);

// True when target names the existing file source itself, in the same folder
// and with a name that differs only in letter case: what a case-insensitive
// volume reports for a rename that only changes the case.
bool IsSameFileInOtherCase(const QString& source, const QString& target);

enum class FolderCreation { Created, AlreadyExists, NotCreated };
// Makes the folder name inside parent. A folder of that name already there is
// AlreadyExists; a file of that name, or any failure, is NotCreated.
FolderCreation CreateFolder(const QString& parent, const QString& name);

// Deletes the file outright (no wastebasket).
bool Delete(const QString& path);

// True when both paths name the same existing file.
bool SameFile(const QString& a, const QString& b);

} // namespace FileOperations
