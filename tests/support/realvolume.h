#pragma once

#include <QString>
#include <QTemporaryDir>

// A real volume mounted for one test and unmounted with the object: a size-limited tmpfs (a full
// disk, or a read-only one) or an exFAT image on a loop device through exfat-fuse (a memory card:
// case-insensitive, no owners or permissions, no links). Mounting needs root, as the test command
// runs; when it cannot be done, error() says why and the test must fail, not pass.
class RealVolume {
public:
    enum class Kind { Tmpfs, ReadOnlyTmpfs, ExfatCard };

    RealVolume(Kind kind, qint64 bytes);
    ~RealVolume();
    RealVolume(const RealVolume&) = delete;
    RealVolume& operator=(const RealVolume&) = delete;

    bool mounted() const { return error_.isEmpty(); }
    QString error() const { return error_; }
    // The volume's top folder.
    QString path() const { return mountPoint_; }

private:
    bool run(const QString& program, const QStringList& arguments, QString* output = nullptr);

    QTemporaryDir place_;
    QString mountPoint_;
    QString image_;
    QString loopDevice_;
    QString error_;
};
