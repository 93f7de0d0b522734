#include "shell/updatechecker.h"

#include "platform/dialogservice.h"
#include "platform/pixlyapplication.h"
#include "shell/connectiontest.h"
#include "shell/makerweb.h"
#include "shell/versionfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

namespace Text {
const QString Offline = QStringLiteral("Tvůj počítač není připojen k internetu. Je mi líto!");
const QString OfflineCaption = QStringLiteral("Offline stav!");
const QString CheckFailed = QStringLiteral("Chyba při ověřování aktualizací!");
const QString ErrorCaption = QStringLiteral("Chyba!");
const QString Newest = QStringLiteral("Tato verze je zatím nejnovější.");
const QString UpdateCaption = QStringLiteral("Aktualizace");
const QString UpdaterFailed =
    QStringLiteral("Program pro aktualizaci nebyl nalezen nebo ho nelze spustit:\r%1\r"
                   "Aktualizace nebyla provedena.");
} // namespace Text

// The program is given by its full path: a bare name would be looked up
// along the search path instead of in the start folder.
bool startUpdater(const QString& program, const QString& folder)
{
    if (!QFileInfo(program).isFile()) return false;
    return QProcess::startDetached(program, {}, folder);
}

// The automatic check runs before the event loop has started, when an end
// requested at once would be forgotten. Posted, the request ends the loop
// once the events already queued are handled, whichever way the check ran.
void requestTerminationOnceRunning()
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { RequestTermination(); }, Qt::QueuedConnection);
}

} // namespace

QUrl UpdateChecker::MakerVersionUrl()
{
    return QUrl(MakerWeb::Url(VersionFile::RemotePath));
}

UpdateChecker::UpdateChecker(ConnectionTest& connection, const QString& startDir,
                             const QString& runningVersion, const QUrl& versionUrl,
                             const DownloadLimits& limits)
    : connection_(connection), startDir_(startDir), runningVersion_(runningVersion), versionUrl_(versionUrl),
      limits_(limits)
{
}

UpdateOutcome UpdateChecker::RunAutomatic()
{
    return run(Way::Automatic);
}

UpdateOutcome UpdateChecker::RunManual()
{
    return run(Way::Manual);
}

QString UpdateChecker::VersionFilePath() const
{
    return QDir::toNativeSeparators(QDir(startDir_).filePath(VersionFile::LocalName));
}

QString UpdateChecker::UpdaterPath() const
{
    return QDir::toNativeSeparators(QDir(startDir_).filePath(UpdaterFileName));
}

UpdateOutcome UpdateChecker::run(Way way)
{
    if (!connection_.IsConnected()) {
        Dialogs().ShowMessageKind(Text::Offline, Text::OfflineCaption, DialogService::Error);
        return UpdateOutcome::Offline;
    }
    if (!DownloadTextFile(versionUrl_, VersionFilePath(), limits_)) {
        Dialogs().ShowMessageKind(Text::CheckFailed, Text::ErrorCaption, DialogService::Error);
        return UpdateOutcome::DownloadFailed;
    }
    QFile file(VersionFilePath());
    if (!file.open(QIODevice::ReadOnly)) return UpdateOutcome::NoVersionFile;
    const auto published = VersionFile::Parse(file.read(limits_.bytes));
    file.close();

    if (!published || !VersionFile::IsNewerThan(*published, runningVersion_)) {
        if (way == Way::Manual)
            Dialogs().ShowMessageKind(Text::Newest, Text::UpdateCaption, DialogService::Information);
        return UpdateOutcome::NotNewer;
    }
    if (!Dialogs().AskYesNo(VersionFile::UpdateQuestion(*published), Text::UpdateCaption))
        return UpdateOutcome::Declined;
    return handOver();
}

UpdateOutcome UpdateChecker::handOver()
{
    QFile::remove(VersionFilePath());
    // Started before the end is requested, so that an updater that cannot
    // run leaves the program running.
    if (!startUpdater(UpdaterPath(), startDir_)) {
        Dialogs().ShowMessageKind(Text::UpdaterFailed.arg(UpdaterPath()), Text::ErrorCaption,
                                  DialogService::Error);
        return UpdateOutcome::UpdaterFailed;
    }
    requestTerminationOnceRunning();
    return UpdateOutcome::HandedOver;
}
