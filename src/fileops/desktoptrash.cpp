#include "fileops/desktoptrash.h"

#include "fileops/filenames.h"
#include "fileops/fileoperations.h"

#include <QCryptographicHash>
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
    return bool(FileOperations::MoveNoReplace(from, to));
}

std::optional<QByteArray> digestOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file) || !file.atEnd()) return std::nullopt;
    return hash.result();
}

bool isTheTrashedFile(const Entry& entry)
{
    return QFileInfo(entry.trashedPath).size() == entry.size && digestOf(entry.trashedPath) == entry.digest;
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

// Deleted files must stay the user's own business. A trash made on a volume that shows every
// folder open to all (it keeps no permissions) is taken away again, if it is still empty.
bool privateTrash(const QString& trash)
{
    const bool existed = QFileInfo::exists(trash);
    if (!usableTrash(trash)) return false;
    struct stat status {};
    if (::stat(native(trash).constData(), &status) == 0 && (status.st_mode & 0077) == 0) return true;
    if (!existed) {
        ::rmdir(native(trash + QStringLiteral("/files")).constData());
        ::rmdir(native(trash + QStringLiteral("/info")).constData());
        ::rmdir(native(trash).constData());
    }
    return false;
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

const QString InfoSuffix = QStringLiteral(".trashinfo");

// Names tried in the trash: the file's own, then name.2.ext, name.3.ext, ...; a long name is cut
// short so that its info file's name still fits.
QString candidateName(const QFileInfo& file, int attempt)
{
    const QString suffix = file.suffix();
    const QString stem = suffix.isEmpty() ? file.fileName() : file.completeBaseName();
    const QString number = attempt == 1 ? QString() : QLatin1Char('.') + QString::number(attempt);
    const QString tail = number + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    return NameWithin(stem, tail, MaxNameBytes - int(InfoSuffix.size()));
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
        const QString infoPath = trash + QStringLiteral("/info/") + name + InfoSuffix;
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
        (status.st_mode & S_ISVTX) && privateTrash(shared + QLatin1Char('/') + uid))
        return shared + QLatin1Char('/') + uid;
    const QString own = top + QStringLiteral("/.Trash-") + uid;
    return privateTrash(own) ? own : QString();
}

Result MoveToTrash(const QString& path)
{
    const QFileInfo given(QFileInfo(path).absoluteFilePath());
    // The volume and the recorded path are those of the file's real place.
    const QString realFolder = QFileInfo(given.absolutePath()).canonicalFilePath();
    const QFileInfo file(realFolder + QLatin1Char('/') + given.fileName());
    struct stat status {};
    if (realFolder.isEmpty() || ::lstat(native(file.filePath()).constData(), &status) != 0 ||
        !S_ISREG(status.st_mode))
        return {Outcome::Failed, {}, SystemReason(ENOENT)};
    const QString trash = trashFor(file.filePath(), status.st_dev);
    if (trash.isEmpty()) return {Outcome::NoTrash, {}, {}};
    const std::optional<QByteArray> digest = digestOf(file.filePath());
    if (!digest) return {Outcome::Failed, {}, SystemReason(errno)};
    // The home trash records absolute paths, a volume's trash paths below its top.
    const bool home = trash == HomeTrashFolder();
    const QString top = QStorageInfo(realFolder).rootPath();
    const QString recorded = home ? file.filePath() : QDir(top).relativeFilePath(file.filePath());
    const auto name = claimName(trash, file, infoText(recorded));
    if (!name) return {Outcome::Failed, {}, SystemReason(errno)};
    Entry entry{QDir::toNativeSeparators(given.filePath()), trash + QStringLiteral("/files/") + *name,
                trash + QStringLiteral("/info/") + *name + InfoSuffix, qint64(status.st_size), *digest};
    if (const FileResult moved = FileOperations::MoveNoReplace(file.filePath(), entry.trashedPath); !moved) {
        QFile::remove(entry.infoPath);
        return {Outcome::Failed, {}, moved.reason()};
    }
    return {Outcome::Trashed, entry, {}};
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
    const qint64 size = QFileInfo(path).size();
    const std::optional<QByteArray> digest = digestOf(path);
    if (!digest) return {};
    if (!QFile::moveToTrash(path, &inTrash)) return {Outcome::NoTrash, {}, {}};
    return {Outcome::Trashed, {QDir::toNativeSeparators(path), inTrash, QString(), size, *digest}, {}};
}

#endif

RestoreOutcome Restore(const Entry& entry)
{
    if (!existsOrDangles(entry.trashedPath)) return RestoreOutcome::EntryGone;
    if (!isTheTrashedFile(entry)) return RestoreOutcome::NotOurs;
    if (existsOrDangles(entry.originalPath)) return RestoreOutcome::PlaceTaken;
    if (!moveBack(entry.trashedPath, entry.originalPath)) return RestoreOutcome::Failed;
    if (!entry.infoPath.isEmpty()) QFile::remove(entry.infoPath);
    return RestoreOutcome::Restored;
}

} // namespace DesktopTrash
