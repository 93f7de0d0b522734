#pragma once

#include <QString>

// The start folder holds the per-user files (favourites, aktual.dat) and
// logo.jpg and pixly.ico. Run from its build tree the program uses the
// folder it was started in. Installed, it uses one folder per user in the
// XDG data location, whatever folder it was launched from, so that nothing
// is written where the user happened to be.
namespace StartFolder {

// The installed data folder (programFolder + dataFromProgram) when it
// holds the program's data, which makes this an installed program; "" in a
// build tree.
QString InstalledData(const QString& programFolder, const QString& dataFromProgram);
// The per-user folder of the installed program.
QString UserFolder();
// Makes the user folder the current folder, creating it and giving it the
// installed logo.jpg and pixly.ico where it has none. False, with the
// current folder unchanged, when the folder cannot be made.
bool EnterUserFolder(const QString& installedData);

} // namespace StartFolder
