#include "realvolume.h"

#include <QDir>
#include <QFile>
#include <QProcess>

RealVolume::RealVolume(Kind kind, qint64 bytes)
{
    if (!place_.isValid()) {
        error_ = QStringLiteral("no temporary folder for the mount point");
        return;
    }
    mountPoint_ = place_.filePath(QStringLiteral("volume"));
    QDir().mkpath(mountPoint_);
    if (kind != Kind::ExfatCard) {
        const QString options = QStringLiteral("size=%1%2")
                                    .arg(bytes)
                                    .arg(kind == Kind::ReadOnlyTmpfs ? QStringLiteral(",ro") : QString());
        run(QStringLiteral("mount"), {"-t", "tmpfs", "-o", options, "pixly-test", mountPoint_});
        return;
    }
    image_ = place_.filePath(QStringLiteral("card.img"));
    QFile image(image_);
    if (!image.open(QIODevice::WriteOnly) || !image.resize(bytes)) {
        error_ = QStringLiteral("cannot make the card image: ") + image.errorString();
        return;
    }
    image.close();
    QString device;
    if (!run(QStringLiteral("mkfs.exfat"), {image_}) ||
        !run(QStringLiteral("losetup"), {"--find", "--show", image_}, &device))
        return;
    loopDevice_ = device.trimmed();
    run(QStringLiteral("mount.exfat-fuse"), {loopDevice_, mountPoint_});
}

RealVolume::~RealVolume()
{
    if (mounted()) run(QStringLiteral("umount"), {mountPoint_});
    if (!loopDevice_.isEmpty()) run(QStringLiteral("losetup"), {"--detach", loopDevice_});
}

bool RealVolume::run(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    process.start(program, arguments);
    const bool ended = process.waitForFinished(30000);
    if (output) *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return true;
    if (error_.isEmpty())
        error_ = QStringLiteral(
                     "%1 %2 failed (the test needs root and the packages exfatprogs and exfat-fuse): %3 %4")
                     .arg(program, arguments.join(QLatin1Char(' ')), process.errorString(),
                          QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
    return false;
}
