#include "platform/fileoperations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <sys/stat.h>
#endif

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
    constexpr qint64 chunk = 1 << 20;
    while (!input.atEnd()) {
        const QByteArray block = input.read(chunk);
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
    // Qt renames without replacing (renameat2 with RENAME_NOREPLACE, or a
    // hard link, on Linux) and copies across volumes before removing the original.
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
