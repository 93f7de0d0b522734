#pragma once

#include <QSize>
#include <QString>

// Facts about the user and the machine that the program takes from the system.
namespace SystemInfo {

// The login name of the current user; empty when it cannot be obtained.
QString LoginName();
// The user's documents folder.
QString DocumentsFolder();
// Size of the primary screen in pixels (empty size without a screen).
QSize PrimaryScreenSize();
// The file-system root that stands for drive C.
QString SystemRoot();
// Where the source and destination folders start when none is stored: the
// user's pictures folder (home when there is none); "C:\" on Windows.
QString DefaultPicturesFolder();
// The root of the volume that holds the path.
QString VolumeOf(const QString& path);

} // namespace SystemInfo
