#pragma once

#include "fileops/fileresult.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <memory>

class QSaveFile;

// Writes a file so that it is never left half-written: the new contents go to a temporary file
// beside the target, which is flushed, synced to the disk and only then moved to the target's
// name. Until then the target keeps its old contents; a write that fails or is not committed
// leaves no temporary file behind. A target that is a link is written where it points. A target
// the user may not write to is refused, although the move would get round it.
class SafeRewrite {
public:
    enum class Existing {
        Replace, // the new contents take the place of a file there
        Keep,    // a file there (even one that appears meanwhile) stays: NameTaken
    };

    explicit SafeRewrite(const QString& target, Existing existing = Existing::Replace);
    ~SafeRewrite();
    SafeRewrite(const SafeRewrite&) = delete;
    SafeRewrite& operator=(const SafeRewrite&) = delete;

    // Makes the temporary file; the first write does so when it was not called.
    FileResult Open();
    FileResult Write(const char* data, qsizetype size);
    FileResult Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }
    // The new file gets the permissions and the modification time of source.
    void KeepModeAndTimeOf(const QString& source) { modeAndTimeOf_ = source; }
    // Before the new contents are put in place, they are read back from the disk and compared
    // with what was written.
    void ReadBackBeforeCommit() { readBack_ = true; }
    // Puts the new contents in place.
    FileResult Commit();
    // The SHA-256 of what was written.
    QByteArray Digest() const { return digest_.result(); }

private:
    FileResult fail(const FileResult& failure);
    FileResult applyModeAndTime();
    FileResult readBack();
    void discard();

    QString target_;
    Existing existing_;
    QString modeAndTimeOf_;
    bool readBack_ = false;
    QCryptographicHash digest_{QCryptographicHash::Sha256};
    QString temporary_;
    int descriptor_ = -1;
#ifndef Q_OS_UNIX
    std::unique_ptr<QSaveFile> file_;
#endif
};

// The whole new contents at once, replacing the target's.
FileResult RewriteFile(const QString& target, const QByteArray& contents);
