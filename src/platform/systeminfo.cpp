#include "platform/systeminfo.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QStorageInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace SystemInfo {

QString LoginName()
{
#ifdef Q_OS_WIN
    wchar_t buffer[1024];
    DWORD size = 1024;
    if (!GetUserNameW(buffer, &size)) return QString();
    return QString::fromWCharArray(buffer);
#else
    const passwd* entry = getpwuid(geteuid());
    if (!entry || !entry->pw_name) return QString();
    return QString::fromLocal8Bit(entry->pw_name);
#endif
}

QString DocumentsFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Documents and Settings\\") + LoginName() + QStringLiteral("\\Dokumenty");
#else
    return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
#endif
}

QSize PrimaryScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

QString SystemRoot()
{
    return QDir::toNativeSeparators(QDir::rootPath());
}

QString DefaultPicturesFolder()
{
#ifdef Q_OS_WIN
    return SystemRoot();
#else
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir::toNativeSeparators(QFileInfo(pictures).isDir() ? pictures : QDir::homePath());
#endif
}

QString VolumeOf(const QString& path)
{
    const QStorageInfo volume(path);
    if (!volume.isValid()) return SystemRoot();
    return QDir::toNativeSeparators(volume.rootPath());
}

} // namespace SystemInfo
