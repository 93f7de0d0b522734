#pragma once

#include "fileops/fileresult.h"

#include <QString>

// Renames from to to only while to is free: NameTaken when a file of that name exists, also one
// that appears at the last moment. Where the file system cannot refuse to replace by itself
// (no renameat2 flags, no hard links: FAT, exFAT, some FUSE volumes), an empty file first claims
// the name and the rename replaces only that claim. Across volumes it fails with the system's
// reason for that (EXDEV), so the caller can copy instead.
FileResult RenameNoReplace(const QString& from, const QString& to);
