#include "fileops/fileoperations.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <optional>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 CopyChunk = 1 << 20;

// Whether a rename from the file into the folder stays on one volume; when
// that cannot be told, the rename is left to find out.
bool onOneVolume(const QString& file, const QString& folder)
{
#ifdef Q_OS_UNIX
    struct stat fileStat {};
    struct stat folderStat {};
    if (::stat(QFile::encodeName(file).constData(), &fileStat) != 0 ||
        ::stat(QFile::encodeName(folder).constData(), &folderStat) != 0)
        return true;
    return fileStat.st_dev == folderStat.st_dev;
#else
    const QStorageInfo fileVolume(file);
    const QStorageInfo folderVolume(folder);
    return !fileVolume.isValid() || !folderVolume.isValid() ||
           fileVolume.rootPath() == folderVolume.rootPath();
#endif
}

// Writes what is left in the buffers to the disk, and lets the next read of
// the file come from the disk rather than from memory.
bool toDisk(QFile& file)
{
    if (!file.flush()) return false;
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0) return false;
    ::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_DONTNEED);
#endif
    return true;
}

std::optional<QByteArray> digestOf(QFile& file)
{
    if (!file.seek(0)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file) || !file.atEnd()) return std::nullopt;
    return hash.result();
}

// Copies the source into the open file, returning the digest of what was read.
std::optional<QByteArray> copyInto(QFile& input, QFile& output)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    while (!input.atEnd()) {
        const QByteArray block = input.read(CopyChunk);
        if (block.isEmpty() && input.error() != QFileDevice::NoError) return std::nullopt;
        hash.addData(block);
        if (output.write(block) != block.size()) return std::nullopt;
    }
    return hash.result();
}

// A move onto another volume, where no rename can do it.
bool moveAcrossVolumes(const QString& source, const QString& target)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) return false;
    const QFileInfo place(target);
    QTemporaryFile copy(
        place.dir().filePath(QLatin1Char('.') + place.fileName() + QStringLiteral(".XXXXXX")));
    if (!copy.open()) return false;
    const std::optional<QByteArray> original = copyInto(input, copy);
    if (!original || !toDisk(copy) || digestOf(copy) != original) return false;
    copy.setPermissions(QFileInfo(source).permissions());
    copy.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    copy.close();
    // The copy keeps its temporary name until it is complete and checked, so
    // the target never names half a picture.
    if (!QFile::rename(copy.fileName(), target)) return false;
    copy.setAutoRemove(false);
    if (input.remove()) return true;
    // The original stays; a second copy of it elsewhere would not be a move.
    QFile::remove(target);
    return false;
}

} // namespace

namespace FileOperations {

bool SameFile(const QString& a, const QString& b)
{
#ifdef Q_OS_UNIX
    struct stat first {};
    struct stat second {};
    if (::stat(QFile::encodeName(a).constData(), &first) != 0) return false;
    if (::stat(QFile::encodeName(b).constData(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#else
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() &&
           canonicalA.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
#endif
}

bool CopyReplacing(const QString& source, const QString& target)
{
    if (SameFile(source, target)) return false;
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) return false;
    if (QFileInfo(target).isDir()) return false;
    QSaveFile output(target);
    if (!output.open(QIODevice::WriteOnly)) return false;
    while (!input.atEnd()) {
        const QByteArray block = input.read(CopyChunk);
        if (block.isEmpty() && input.error() != QFileDevice::NoError) {
            output.cancelWriting();
            return false;
        }
        if (output.write(block) != block.size()) {
            output.cancelWriting();
            return false;
        }
    }
    // QSaveFile::commit() does not notice a failed write of its buffered
    // rest (a full disk), so flush first and keep the old target on failure.
    if (!output.flush()) {
        output.cancelWriting();
        return false;
    }
    return output.commit();
}

bool IsSameFileInOtherCase(const QString& source, const QString& target)
{
    const QFileInfo from(source);
    const QFileInfo to(target);
    return from.isFile() && !to.isSymLink() && from.absolutePath() == to.absolutePath() &&
           from.fileName() != to.fileName() &&
           from.fileName().compare(to.fileName(), Qt::CaseInsensitive) == 0 && SameFile(source, target);
}

bool MoveNoReplace(const QString& source, const QString& target)
{
    if (!QFileInfo(source).isFile()) return false;
    if (IsSameFileInOtherCase(source, target)) {
        // Qt's no-replace rename refuses this "existing" target; a plain
        // rename only replaces the entry that already is this file.
#ifdef Q_OS_UNIX
        return ::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0;
#else
        return QFile::rename(source, target);
#endif
    }
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) return false;
    if (!onOneVolume(source, QFileInfo(target).absolutePath())) return moveAcrossVolumes(source, target);
    // Qt renames without replacing (renameat2 with RENAME_NOREPLACE, or a
    // hard link, on Linux).
    return QFile::rename(source, target);
}

FolderCreation CreateFolder(const QString& parent, const QString& name)
{
    const QDir folder(parent);
    const QFileInfo existing(folder.filePath(name));
    if (existing.isDir()) return FolderCreation::AlreadyExists;
    if (existing.exists() || existing.isSymLink() || !folder.mkdir(name)) return FolderCreation::NotCreated;
    return FolderCreation::Created;
}

bool Delete(const QString& path)
{
    return QFileInfo(path).isFile() && QFile::remove(path);
}

} // namespace FileOperations
