#pragma once

#include <QString>
#include <functional>

// Extended M3U playlists: a header line, then pairs of an information line
// and a song path (the 3rd, 5th, 7th … line of the file).
namespace M3uPlaylist {

// The song a path line stands for: when the playlist's path begins with a
// drive letter, a line that begins with "\" is put on the playlist's drive.
// Any other line stays as it is (not trimmed).
QString SongPath(const QString& line, const QString& playlistPath);

// Reads the playlist and hands every song path that names an existing file
// (not a folder) to add, in the file's order, made absolute from the
// process's current folder. Lines end with LF, CR LF or CR; the text is in
// the system's 8-bit encoding. Raises PixlyError when the file can't be
// opened or read; the songs handed over until then stay handed over.
void ReadSongs(const QString& playlistPath, const std::function<void(const QString&)>& add);

} // namespace M3uPlaylist
