// Feeds arbitrary bytes to M3uPlaylist::ReadSongs as a playlist file. Every song handed over is
// an absolute path.

#include "fuzzinput.h"
#include "slideshow/m3uplaylist.h"

#include <QDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString playlist = WriteInputFile(QStringLiteral("input.m3u"), data, size);
    M3uPlaylist::ReadSongs(playlist, [](const QString& song) {
        if (QDir::isRelativePath(song)) std::abort();
    });
    return 0;
}
