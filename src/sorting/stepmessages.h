#pragma once

#include "fileops/fileresult.h"
#include "fileops/sortingundo.h"

#include <QString>

// What the windows say when a sorting step fails or cannot be undone: the file concerned and the
// reason, caption "Pixly", the warning icon. Shared by the viewers and the folder window, which
// run the same steps.
namespace StepMessages {

// With wholePhoto the file is one of a photo's several files, none of which went.
void CopyFailed(const QString& target, const FileResult& result, bool wholePhoto = false);
// A rename or move: a taken name is said as such.
void MoveFailed(const QString& target, const FileResult& result, bool wholePhoto = false);
void DeleteFailed(const QString& path, const FileResult& result);
void SaveFailed(const QString& path, const QString& reason);
// The picture's file has gone since the list was read.
void PictureGone(const QString& path);
// Why the newest step could not be undone, and that Ctrl+Z now goes on with the one before it
// when there is one.
void UndoRefused(const SortingUndo::Result& result, bool olderStepsLeft);

} // namespace StepMessages
