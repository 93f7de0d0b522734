#pragma once

#include <QString>

#include <utility>

// How an operation on a file ended: done, refused because the name it was to take is taken, or
// failed for the reason given, in words for the user (the system's reason where it gave one).
class FileResult {
public:
    enum class Outcome { Done, NameTaken, Failed };

    static FileResult Done() { return FileResult(Outcome::Done, QString()); }
    static FileResult NameTaken();
    static FileResult Failed(const QString& reason) { return FileResult(Outcome::Failed, reason); }
    // The system's reason for the error number (errno).
    static FileResult FromSystemError(int errorNumber);
    // The error the last failed system call left behind.
    static FileResult FromLastSystemError();

    Outcome outcome() const { return outcome_; }
    bool ok() const { return outcome_ == Outcome::Done; }
    explicit operator bool() const { return ok(); }
    const QString& reason() const { return reason_; }
    // The system's error number behind a failure; 0 when none was given.
    int systemError() const { return systemError_; }

private:
    FileResult(Outcome outcome, QString reason, int systemError = 0)
        : outcome_(outcome), reason_(std::move(reason)), systemError_(systemError)
    {
    }

    Outcome outcome_;
    QString reason_;
    int systemError_;
};

// What the system's error number means, in Czech for the errors a file operation meets (a full
// disk, a read-only volume, no access, a missing file or folder, a name too long); the system's
// own text for the rest.
QString SystemReason(int errorNumber);
