#pragma once

#include <QSize>
#include <QString>

// Moves the settings of an older version into a fresh program key. The key
// is cleared in any case; with carryOver the folders and the six display
// values come back, otherwise the user starts from the defaults. The
// version record is rewritten with the running version at the end.
// baseFolder is the folder the program was started in (for the default
// picture when "nast" is missing).
void MigrateSettings(bool carryOver, const QString& runningVersion, const QSize& screen,
                     const QString& baseFolder);
