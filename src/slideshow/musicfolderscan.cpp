#include "slideshow/musicfolderscan.h"

#include "slideshow/musicfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace {

// Name order without regard to case, then by case, so that the order never
// depends on how the folder was read.
void SortNames(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        if (const int order = QString::compare(a, b, Qt::CaseInsensitive)) return order < 0;
        return a < b;
    });
}

QStringList EntryNames(const QString& folder)
{
    QStringList names;
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        names.append(entries.fileName());
    }
    SortNames(names);
    return names;
}

// A music file by its extension that exists as a file.
bool IsMusicSong(const QString& path)
{
    return MusicFiles::IsMusicFile(path) && QFileInfo(path).isFile();
}

// A plain folder: one that carries nothing more than being a folder. Hidden
// folders, links and junctions are passed on as files, which they are not.
bool IsPlainFolder(const QFileInfo& entry)
{
    return entry.isDir() && !entry.isSymbolicLink() && !entry.isJunction() && !entry.isHidden();
}

void ScanFolder(const QString& folder, const MusicFolderHooks& hooks)
{
    if (!QDir::setCurrent(folder)) {
        hooks.folderUnreachable(folder);
        return;
    }
    // Paths are formed from the folder itself rather than from the current
    // folder, which the events handled between entries may move.
    const QDir here(folder);
    for (const QString& name : EntryNames(folder)) {
        const QString path = QDir::toNativeSeparators(here.filePath(name));
        if (IsPlainFolder(QFileInfo(path)))
            ScanFolder(path, hooks);
        else if (IsMusicSong(path))
            hooks.addSong(path);
        hooks.afterEntry();
    }
    if (!here.isRoot()) QDir::setCurrent(QFileInfo(here.absolutePath()).absolutePath());
}

} // namespace

void AddMusicFolder(const QString& folder, const MusicFolderHooks& hooks)
{
    ScanFolder(QDir::toNativeSeparators(QDir::cleanPath(QDir(folder).absolutePath())), hooks);
}
