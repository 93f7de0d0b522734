#pragma once

#include "folders/favouritesfile.h"
#include "folders/nast_pixly.h"
#include "platform/systeminfo.h"
#include "shell/windows.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <memory>

// The ten windows created as the program entry creates them, for tests of
// what the start leaves behind.
inline std::unique_ptr<Windows> StartProgram()
{
    auto windows = std::make_unique<Windows>();
    windows->CreateAll(nullptr);
    return windows;
}

// Makes these folders the favourites of the started program, numbered from 1
// and named after the folders.
inline void UseFavourites(Windows& windows, const QStringList& folders)
{
    QList<Favourite> entries;
    for (const QString& folder : folders)
        entries.append({QFileInfo(folder).fileName(), folder});
    FavouritesFile::Save(
        QDir(windows.nastaveni->startDir).filePath(FavouritesFile::FileNameFor(SystemInfo::LoginName())),
        entries);
    windows.nastaveni->favourites.Load();
}
