#pragma once

#include <QString>
#include <functional>

// What a music folder scan reports while it runs.
struct MusicFolderHooks {
    // A music file found, by its full native path.
    std::function<void(const QString& path)> addSong;
    // A folder that could not be made the current folder; it adds nothing.
    std::function<void(const QString& folder)> folderUnreachable;
    // Runs after every entry, so that a long scan leaves the window responsive.
    std::function<void()> afterEntry;
};

// Adds the music files of a folder and of its subfolders, entries in name
// order (letter case ignored), a subfolder's songs at the place where the
// subfolder comes. Every folder is made the process's current folder while
// it is read. Hidden folders and links to folders are not entered, so a link
// back to a parent cannot make the scan go round for ever. Afterwards the
// current folder is the parent of the chosen folder (a root stays itself);
// when the chosen folder can't be made current it stays where it was.
void AddMusicFolder(const QString& folder, const MusicFolderHooks& hooks);
