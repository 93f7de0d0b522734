#pragma once

#include <QString>
#include <QStringList>

// Reading folders the way the folder trees and file lists show them. Hidden
// entries (on Linux: names that begin with ".") are never listed, and names
// stand in the alphabetical order of the user's language, letter case ignored.

// True when the name matches at least one ";"-separated pattern of the mask.
// Only "*" (any run of characters) and "?" (one character) are wildcards;
// everything else, brackets included, stands for itself. Case is ignored.
bool MatchesMask(const QString& name, const QString& mask);

// Puts names in the order the lists show them: alphabetical in the user's
// language, letter case ignored.
void SortAsListed(QStringList& names);

// The bare names of the folder's ordinary files that match the mask, each
// once, sorted. A missing or unreadable folder gives an empty list.
QStringList ListMatchingFiles(const QString& folder, const QString& mask);

// The bare names of the folder's visible subfolders, sorted.
QStringList ListSubfolders(const QString& folder);

// The folder, a separator unless the folder already ends with one, and the
// name, in native form as shown to users.
QString JoinFolderAndName(const QString& folder, const QString& name);
