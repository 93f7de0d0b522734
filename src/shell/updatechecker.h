#pragma once

#include "shell/textdownload.h"
#include "shell/updatecheck.h"

#include <QString>
#include <QUrl>

class ConnectionTest;

// The check for a newer version on the maker's web server, one logic for
// both ways: automatically at start and on request from the program
// settings window. The version file is downloaded into, and the updater
// started from, the start folder, never whatever folder is current at the
// time (that may be a picture folder holding any file of that name).
class UpdateChecker : public UpdateCheck {
public:
#ifdef Q_OS_WIN
    static inline const QString UpdaterFileName = QStringLiteral("updater.exe");
#else
    static inline const QString UpdaterFileName = QStringLiteral("updater");
#endif

    // The version file on the maker's web server.
    static QUrl MakerVersionUrl();

    UpdateChecker(ConnectionTest& connection, const QString& startDir, const QString& runningVersion,
                  const QUrl& versionUrl = MakerVersionUrl(), const DownloadLimits& limits = {});

    // At start: a version that is not newer is passed over in silence.
    UpdateOutcome RunAutomatic() override;
    // On request: a version that is not newer is reported as the newest.
    UpdateOutcome RunManual();

    // aktual.dat and the updater, both in the start folder.
    QString VersionFilePath() const;
    QString UpdaterPath() const;

private:
    enum class Way { Automatic, Manual };
    UpdateOutcome run(Way way);
    UpdateOutcome handOver();

    ConnectionTest& connection_;
    QString startDir_;
    QString runningVersion_;
    QUrl versionUrl_;
    DownloadLimits limits_;
};
