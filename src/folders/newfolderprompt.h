#pragma once

#include <QString>
#include <optional>

// "Nová složka" of the folder window and "Vytvořit novou složku" of the
// resample window: asks for a name and makes that folder inside parent,
// which becomes the process's current folder. Cancel or an emptied name
// makes nothing; a folder of that name already there is announced; a name
// that cannot become a folder (a file of that name, any failure) is
// reported. The name, when such a folder is there afterwards.
std::optional<QString> AskAndMakeFolder(const QString& parent);
