#include "fileops/saferewrite.h"

#include "fileops/noreplacerename.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Where the new contents go: a link's destination, or the path itself.
QString placeOf(const QString& target)
{
    const QFileInfo info(target);
    if (info.isSymLink() && info.exists()) return info.canonicalFilePath();
    return info.absoluteFilePath();
}

} // namespace

SafeRewrite::SafeRewrite(const QString& target, Existing existing)
    : target_(placeOf(target)), existing_(existing)
{
}

SafeRewrite::~SafeRewrite()
{
    discard();
}

FileResult SafeRewrite::fail(const FileResult& failure)
{
    discard();
    return failure;
}

FileResult RewriteFile(const QString& target, const QByteArray& contents)
{
    SafeRewrite rewrite(target);
    if (const FileResult written = rewrite.Write(contents); !written) return written;
    return rewrite.Commit();
}

#ifdef Q_OS_UNIX

namespace {

constexpr qsizetype ReadBackChunk = 1 << 20;

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// A short hidden name, so that the temporary file fits wherever the target's name fits.
QString temporaryNameIn(const QString& folder)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = QStringLiteral(".pixly-");
    for (int i = 0; i < 8; ++i)
        name += QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))]);
    return folder + QLatin1Char('/') + name;
}

} // namespace

FileResult SafeRewrite::Open()
{
    if (descriptor_ >= 0) return FileResult::Done();
    struct stat existing {};
    const bool exists = ::stat(native(target_).constData(), &existing) == 0;
    if (exists && existing_ == Existing::Keep) return FileResult::NameTaken();
    if (exists && S_ISDIR(existing.st_mode)) return FileResult::FromSystemError(EISDIR);
    if (exists && ::access(native(target_).constData(), W_OK) != 0) return FileResult::FromLastSystemError();
    const QString folder = QFileInfo(target_).absolutePath();
    for (int attempt = 0; attempt < 100 && descriptor_ < 0; ++attempt) {
        const QString candidate = temporaryNameIn(folder);
        // The system's file mask applies to a new file as it would to the target.
        descriptor_ = ::open(native(candidate).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor_ >= 0)
            temporary_ = candidate;
        else if (errno != EEXIST)
            return FileResult::FromLastSystemError();
    }
    if (descriptor_ < 0) return FileResult::FromSystemError(EEXIST);
    // A rewritten file keeps who may read it.
    if (exists) ::fchmod(descriptor_, existing.st_mode & 07777);
    return FileResult::Done();
}

FileResult SafeRewrite::Write(const char* data, qsizetype size)
{
    if (const FileResult opened = Open(); !opened) return opened;
    digest_.addData(QByteArrayView(data, size));
    while (size > 0) {
        const ssize_t written = ::write(descriptor_, data, size_t(size));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return fail(FileResult::FromSystemError(written < 0 ? errno : ENOSPC));
        data += written;
        size -= written;
    }
    return FileResult::Done();
}

FileResult SafeRewrite::applyModeAndTime()
{
    if (modeAndTimeOf_.isEmpty()) return FileResult::Done();
    struct stat source {};
    if (::stat(native(modeAndTimeOf_).constData(), &source) != 0) return FileResult::FromLastSystemError();
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    // Volumes that keep no permissions (FAT, exFAT) refuse them; the time is what the user sees.
    ::fchmod(descriptor_, source.st_mode & 07777);
    if (::futimens(descriptor_, times) != 0) return FileResult::FromLastSystemError();
    return FileResult::Done();
}

FileResult SafeRewrite::readBack()
{
    // What the disk holds, not what is still in memory.
    ::posix_fadvise(descriptor_, 0, 0, POSIX_FADV_DONTNEED);
    QCryptographicHash stored(QCryptographicHash::Sha256);
    QByteArray block(ReadBackChunk, Qt::Uninitialized);
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(descriptor_, block.data(), size_t(block.size()), offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return FileResult::FromLastSystemError();
        if (got == 0) break;
        stored.addData(QByteArrayView(block.constData(), got));
        offset += got;
    }
    if (stored.result() != digest_.result()) return FileResult::FromSystemError(EIO);
    return FileResult::Done();
}

FileResult SafeRewrite::Commit()
{
    if (const FileResult opened = Open(); !opened) return opened;
    if (const FileResult applied = applyModeAndTime(); !applied) return fail(applied);
    // A full disk may only show when the written blocks go out, so the sync's answer counts.
    if (::fsync(descriptor_) != 0) return fail(FileResult::FromLastSystemError());
    if (readBack_)
        if (const FileResult same = readBack(); !same) return fail(same);
    if (::close(std::exchange(descriptor_, -1)) != 0) return fail(FileResult::FromLastSystemError());
    if (existing_ == Existing::Keep) {
        if (const FileResult placed = RenameNoReplace(temporary_, target_); !placed) return fail(placed);
    } else if (::rename(native(temporary_).constData(), native(target_).constData()) != 0) {
        return fail(FileResult::FromLastSystemError());
    }
    temporary_.clear();
    // The new name itself lasts only once the folder is on the disk too.
    const int folder = ::open(native(QFileInfo(target_).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return FileResult::Done();
}

void SafeRewrite::discard()
{
    if (descriptor_ >= 0) ::close(std::exchange(descriptor_, -1));
    if (!temporary_.isEmpty()) ::unlink(native(std::exchange(temporary_, QString())).constData());
}

#else

// Elsewhere Qt's own safe file does the work; it keeps no times and reads nothing back.
FileResult SafeRewrite::Open()
{
    if (file_) return FileResult::Done();
    if (existing_ == Existing::Keep && QFileInfo::exists(target_)) return FileResult::NameTaken();
    file_ = std::make_unique<QSaveFile>(target_);
    if (file_->open(QIODevice::WriteOnly)) return FileResult::Done();
    return fail(FileResult::Failed(file_->errorString()));
}

FileResult SafeRewrite::Write(const char* data, qsizetype size)
{
    if (const FileResult opened = Open(); !opened) return opened;
    digest_.addData(QByteArrayView(data, size));
    if (file_->write(data, size) == size) return FileResult::Done();
    return fail(FileResult::Failed(file_->errorString()));
}

FileResult SafeRewrite::Commit()
{
    if (const FileResult opened = Open(); !opened) return opened;
    if (existing_ == Existing::Keep && QFileInfo::exists(target_)) return fail(FileResult::NameTaken());
    // commit() does not notice a failed write of the buffered rest, so it is written first.
    if (file_->flush() && file_->commit()) {
        file_.reset();
        return FileResult::Done();
    }
    return fail(FileResult::Failed(file_->errorString()));
}

void SafeRewrite::discard()
{
    if (file_) file_->cancelWriting();
    file_.reset();
}

#endif
