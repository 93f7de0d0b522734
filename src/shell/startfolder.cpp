#include "shell/startfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace StartFolder {

namespace {
const QStringList SharedFiles{QStringLiteral("logo.jpg"), QStringLiteral("pixly.ico")};
} // namespace

QString InstalledData(const QString& programFolder, const QString& dataFromProgram)
{
    const QString data = QDir::cleanPath(QDir(programFolder).filePath(dataFromProgram));
    return QFileInfo(QDir(data).filePath(SharedFiles.first())).isFile() ? data : QString();
}

QString UserFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("pixly"));
}

bool EnterUserFolder(const QString& installedData)
{
    const QDir folder(UserFolder());
    if (!folder.mkpath(QStringLiteral(".")) || !QDir::setCurrent(folder.path())) return false;
    // Copies, not links: the user may replace them, and the package may go.
    for (const QString& name : SharedFiles)
        if (!QFileInfo::exists(folder.filePath(name)))
            QFile::copy(QDir(installedData).filePath(name), folder.filePath(name));
    return true;
}

} // namespace StartFolder
