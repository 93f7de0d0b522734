#include "fileops/fileoperations.h"

#include "fileops/noreplacerename.h"
#include "fileops/saferewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 CopyChunk = 1 << 20;

const QString OntoItself = QStringLiteral("Cílem je tentýž soubor, který se kopíruje.");

bool existsOrDangles(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

FileResult missing()
{
    return FileResult::FromSystemError(ENOENT);
}

FileResult removeFile(const QString& path)
{
#ifdef Q_OS_UNIX
    if (::unlink(QFile::encodeName(path).constData()) == 0) return FileResult::Done();
    return FileResult::FromLastSystemError();
#else
    QFile file(path);
    return file.remove() ? FileResult::Done() : FileResult::Failed(file.errorString());
#endif
}

// Copies the file at source through the rewrite; its reading errors count as the copy's.
FileResult copyThrough(const QString& source, SafeRewrite& output)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) return FileResult::FromLastSystemError();
    if (const FileResult opened = output.Open(); !opened) return opened;
    while (!input.atEnd()) {
        const QByteArray block = input.read(CopyChunk);
        if (block.isEmpty() && input.error() != QFileDevice::NoError)
            return FileResult::FromLastSystemError();
        if (const FileResult written = output.Write(block); !written) return written;
    }
    return output.Commit();
}

// A move onto another volume, where no rename can do it: a checked copy takes the name only
// while it is free, and only then does the original go.
FileResult moveAcrossVolumes(const QString& source, const QString& target)
{
    SafeRewrite copy(target, SafeRewrite::Existing::Keep);
    copy.KeepModeAndTimeOf(source);
    copy.ReadBackBeforeCommit();
    if (const FileResult copied = copyThrough(source, copy); !copied) return copied;
    const FileResult removed = removeFile(source);
    // The original stays; a second copy of it elsewhere would not be a move.
    if (!removed) removeFile(target);
    return removed;
}

// A free hidden name in the folder, for a file on its way to another name.
QString passingNameIn(const QString& folder)
{
    for (;;) {
        const QString candidate = QDir(folder).filePath(
            QStringLiteral(".pixly-case-") + QString::number(QRandomGenerator::global()->generate()));
        if (!existsOrDangles(candidate)) return candidate;
    }
}

// A case-insensitive volume takes a rename to the same name in other letters as a rename onto
// the file itself, which the system leaves undone; through another name the new case sticks.
FileResult renameCaseOnly(const QString& source, const QString& target)
{
    const QString passing = passingNameIn(QFileInfo(source).absolutePath());
    if (const FileResult away = RenameNoReplace(source, passing); !away) return away;
    const FileResult placed = RenameNoReplace(passing, target);
    if (!placed) RenameNoReplace(passing, source);
    return placed;
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

FileResult CopyReplacing(const QString& source, const QString& target)
{
    if (!QFileInfo(source).isFile()) return missing();
    // The copy would be written over the only bytes it is made from.
    if (SameFile(source, target)) return FileResult::Failed(OntoItself);
    SafeRewrite output(target);
    return copyThrough(source, output);
}

bool IsSameFileInOtherCase(const QString& source, const QString& target)
{
    const QFileInfo from(source);
    const QFileInfo to(target);
    if (!from.isFile() || to.isSymLink() || from.absolutePath() != to.absolutePath() ||
        from.fileName() == to.fileName() || from.fileName().compare(to.fileName(), Qt::CaseInsensitive) != 0 ||
        !to.exists())
        return false;
    if (SameFile(source, target)) return true;
    // Some volumes (exFAT through FUSE) give each spelling of a name its own file number; there the
    // other spelling is the source itself when the folder holds no entry of exactly that name.
    const QStringList entries = from.dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    return entries.contains(from.fileName()) && !entries.contains(to.fileName());
}

FileResult MoveNoReplace(const QString& source, const QString& target)
{
    if (!QFileInfo(source).isFile()) return missing();
    if (IsSameFileInOtherCase(source, target)) return renameCaseOnly(source, target);
    if (existsOrDangles(target)) return FileResult::NameTaken();
    const FileResult renamed = RenameNoReplace(source, target);
#ifdef Q_OS_UNIX
    // Another volume, or another mount of the same one (a bind mount), which no rename crosses.
    if (renamed.systemError() == EXDEV) return moveAcrossVolumes(source, target);
#endif
    return renamed;
}

FolderCreation CreateFolder(const QString& parent, const QString& name)
{
    const QDir folder(parent);
    const QFileInfo existing(folder.filePath(name));
    if (existing.isDir()) return FolderCreation::AlreadyExists;
    if (existing.exists() || existing.isSymLink() || !folder.mkdir(name)) return FolderCreation::NotCreated;
    return FolderCreation::Created;
}

FileResult Delete(const QString& path)
{
    if (!QFileInfo(path).isFile()) return missing();
    return removeFile(path);
}

} // namespace FileOperations
