#include "slideshow/musicfiles.h"

#include <QFileInfo>
#include <QStringList>

namespace MusicFiles {

QString Extension(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

bool IsMusicFile(const QString& path)
{
    static const QStringList songs{QStringLiteral(".mp3"), QStringLiteral(".wav"), QStringLiteral(".mid"),
                                   QStringLiteral(".midi"), QStringLiteral(".wma")};
    return songs.contains(Extension(path), Qt::CaseSensitive);
}

bool IsM3uPlaylist(const QString& path)
{
    return Extension(path) == u".m3u";
}

} // namespace MusicFiles
