#include "fileops/desktoptrash.h"

#include "fileops/fileoperations.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace DesktopTrash {

namespace {

bool existsOrDangles(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The original folder may have gone since; a file manager recreates it too.
bool moveBack(const QString& from, const QString& to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    return FileOperations::MoveNoReplace(from, to);
}

#ifdef Q_OS_UNIX

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// The device of a path or, while it does not exist yet, of its nearest existing parent.
std::optional<dev_t> deviceOf(const QString& path)
{
    QString probe = QFileInfo(path).absoluteFilePath();
    for (;;) {
        struct stat status {};
        if (::stat(native(probe).constData(), &status) == 0) return status.st_dev;
        const QString parent = QFileInfo(probe).absolutePath();
        if (parent == probe) return std::nullopt;
        probe = parent;
    }
}

// A folder of our own: not a link, owned by this user; made (mode 0700) when missing.
bool ownFolder(const QString& path)
{
    if (::mkdir(native(path).constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat status {};
    return ::lstat(native(path).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid();
}

bool usableTrash(const QString& trash)
{
    return ownFolder(trash) && ownFolder(trash + QStringLiteral("/files")) &&
           ownFolder(trash + QStringLiteral("/info"));
}

QString trashFor(const QString& path, dev_t fileDevice)
{
    const QString home = HomeTrashFolder();
    if (deviceOf(home) == fileDevice) {
        QDir().mkpath(QFileInfo(home).absolutePath());
        return usableTrash(home) ? home : QString();
    }
    const QString trash = TrashFolderOnVolume(QStorageInfo(QFileInfo(path).absolutePath()).rootPath());
    // A trash on another volume would turn the move into a copy.
    if (trash.isEmpty() || deviceOf(trash) != fileDevice) return QString();
    return trash;
}

// Names tried in the trash: the file's own, then name.2.ext, name.3.ext, ...
QString candidateName(const QFileInfo& file, int attempt)
{
    if (attempt == 1) return file.fileName();
    const QString suffix = file.suffix();
    const QString stem = suffix.isEmpty() ? file.fileName() : file.completeBaseName();
    return stem + QLatin1Char('.') + QString::number(attempt) +
           (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

QByteArray infoText(const QString& recordedPath)
{
    return QByteArrayLiteral("[Trash Info]\nPath=") + native(recordedPath).toPercentEncoding("/") +
           QByteArrayLiteral("\nDeletionDate=") +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'hh:mm:ss")).toLatin1() + '\n';
}

// Claims a name in the trash by creating its info file exclusively, before
// the file is moved, as the trash's readers expect; returns the name.
std::optional<QString> claimName(const QString& trash, const QFileInfo& file, const QByteArray& info)
{
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const QString name = candidateName(file, attempt);
        const QString infoPath = trash + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo");
        const int fd = ::open(native(infoPath).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return std::nullopt;
        }
        const bool written = ::write(fd, info.constData(), size_t(info.size())) == info.size();
        const bool closed = ::close(fd) == 0;
        if (written && closed && !existsOrDangles(trash + QStringLiteral("/files/") + name)) return name;
        QFile::remove(infoPath);
        if (!written || !closed) return std::nullopt;
    }
    return std::nullopt;
}

#endif

} // namespace

QString HomeTrashFolder()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty()) dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + QStringLiteral("/Trash"));
}

#ifdef Q_OS_UNIX

QString TrashFolderOnVolume(const QString& topDirectory)
{
    const QString top = QDir::cleanPath(topDirectory);
    const QString uid = QString::number(::getuid());
    const QString shared = top + QStringLiteral("/.Trash");
    struct stat status {};
    // A shared .Trash counts only as a real folder with the sticky bit.
    if (::lstat(native(shared).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
        (status.st_mode & S_ISVTX) && usableTrash(shared + QLatin1Char('/') + uid))
        return shared + QLatin1Char('/') + uid;
    const QString own = top + QStringLiteral("/.Trash-") + uid;
    return usableTrash(own) ? own : QString();
}

Result MoveToTrash(const QString& path)
{
    const QFileInfo file(QFileInfo(path).absoluteFilePath());
    struct stat status {};
    if (::lstat(native(file.filePath()).constData(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
    const QString trash = trashFor(file.filePath(), status.st_dev);
    if (trash.isEmpty()) return {Outcome::NoTrash, {}};
    // The home trash records absolute paths, a volume's trash paths below its top.
    const bool home = trash == HomeTrashFolder();
    const QString top = QStorageInfo(file.absolutePath()).rootPath();
    const QString recorded = home ? file.filePath() : QDir(top).relativeFilePath(file.filePath());
    const auto name = claimName(trash, file, infoText(recorded));
    if (!name) return {};
    Entry entry{QDir::toNativeSeparators(file.filePath()), trash + QStringLiteral("/files/") + *name,
                trash + QStringLiteral("/info/") + *name + QStringLiteral(".trashinfo")};
    if (!FileOperations::MoveNoReplace(file.filePath(), entry.trashedPath)) {
        QFile::remove(entry.infoPath);
        return {};
    }
    return {Outcome::Trashed, entry};
}

#else

QString TrashFolderOnVolume(const QString&)
{
    return QString();
}

Result MoveToTrash(const QString& path)
{
    if (!QFileInfo(path).isFile()) return {};
    QString inTrash;
    // The recycle bin says nothing about why it refused; a volume without one is the usual cause.
    if (!QFile::moveToTrash(path, &inTrash)) return {Outcome::NoTrash, {}};
    return {Outcome::Trashed, {QDir::toNativeSeparators(path), inTrash, QString()}};
}

#endif

RestoreOutcome Restore(const Entry& entry)
{
    if (!existsOrDangles(entry.trashedPath)) return RestoreOutcome::EntryGone;
    if (existsOrDangles(entry.originalPath)) return RestoreOutcome::PlaceTaken;
    if (!moveBack(entry.trashedPath, entry.originalPath)) return RestoreOutcome::Failed;
    if (!entry.infoPath.isEmpty()) QFile::remove(entry.infoPath);
    return RestoreOutcome::Restored;
}

} // namespace DesktopTrash
