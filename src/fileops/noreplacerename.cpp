#include "fileops/noreplacerename.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX

namespace {

bool noHardLinks(int error)
{
    return error == EPERM || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP || error == EMLINK;
}

int renameOverOwnClaim(const char* from, const char* to)
{
    const int claim = ::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0) return errno;
    struct stat claimed {};
    ::fstat(claim, &claimed);
    ::close(claim);
    if (::rename(from, to) == 0) return 0;
    const int error = errno;
    // The claim goes again, unless something else has taken its place meanwhile.
    struct stat now {};
    if (::lstat(to, &now) == 0 && now.st_dev == claimed.st_dev && now.st_ino == claimed.st_ino &&
        now.st_size == 0)
        ::unlink(to);
    return error;
}

int renameNoReplace(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP && errno != ENOTSUP) return errno;
    // A hard link takes the name only while it is free.
    if (::link(from, to) == 0) {
        if (::unlink(from) == 0) return 0;
        const int error = errno;
        ::unlink(to);
        return error;
    }
    if (!noHardLinks(errno)) return errno;
    return renameOverOwnClaim(from, to);
}

} // namespace

FileResult RenameNoReplace(const QString& from, const QString& to)
{
    const int error = renameNoReplace(QFile::encodeName(from).constData(), QFile::encodeName(to).constData());
    return error == 0 ? FileResult::Done() : FileResult::FromSystemError(error);
}

#else

FileResult RenameNoReplace(const QString& from, const QString& to)
{
    if (QFileInfo::exists(to)) return FileResult::NameTaken();
    QFile file(from);
    return file.rename(to) ? FileResult::Done() : FileResult::Failed(file.errorString());
}

#endif
