#pragma once

#include <QString>

// Which files the playlist takes as songs and which as M3U playlists. The
// extensions are compared exactly, letter case counting.
namespace MusicFiles {

// The file name's extension from its last "." on, dot included; "" when the
// name has no dot.
QString Extension(const QString& path);
// ".mp3", ".wav", ".mid", ".midi" or ".wma".
bool IsMusicFile(const QString& path);
// ".m3u"; a "LIST.M3U" counts as a song.
bool IsM3uPlaylist(const QString& path);

} // namespace MusicFiles
