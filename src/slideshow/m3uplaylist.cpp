#include "slideshow/m3uplaylist.h"

#include "platform/pixlyerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace M3uPlaylist {
namespace {

PixlyError fileError(const char* action, const QString& path, const QFile& file)
{
    return PixlyError(
        QStringLiteral("%1 file \"%2\". %3")
            .arg(QLatin1StringView(action), QDir::toNativeSeparators(path), file.errorString()));
}

bool HasDriveLetter(const QString& path)
{
    return path.size() >= 2 && path.at(0).isLetter() && path.at(1) == u':';
}

// One physical line as read up to its LF: a CR before the LF belongs to the
// break, any other CR breaks the line itself.
QStringList SplitLine(QByteArray chunk)
{
    if (chunk.endsWith('\n')) chunk.chop(1);
    if (chunk.endsWith('\r')) chunk.chop(1);
    QStringList lines;
    for (const QByteArray& line : chunk.split('\r'))
        lines.append(QString::fromLocal8Bit(line));
    return lines;
}

} // namespace

QString SongPath(const QString& line, const QString& playlistPath)
{
    if (line.startsWith(u'\\') && HasDriveLetter(playlistPath)) return playlistPath.left(1) + u':' + line;
    return line;
}

void ReadSongs(const QString& playlistPath, const std::function<void(const QString&)>& add)
{
    QFile file(playlistPath);
    if (!file.open(QIODevice::ReadOnly)) throw fileError("Cannot open", playlistPath, file);
    // The header line counts 0; the path lines are the even ones after it.
    int lineNumber = -1;
    while (!file.atEnd()) {
        const QByteArray chunk = file.readLine();
        if (file.error() != QFileDevice::NoError) throw fileError("Cannot read", playlistPath, file);
        for (const QString& line : SplitLine(chunk)) {
            ++lineNumber;
            if (lineNumber == 0 || lineNumber % 2 != 0 || line.isEmpty()) continue;
            const QFileInfo song(SongPath(line, playlistPath));
            if (song.isFile()) add(QDir::toNativeSeparators(song.absoluteFilePath()));
        }
    }
}

} // namespace M3uPlaylist
