#pragma once

#include "fileops/photogroups.h"
#include "fileops/sortingundo.h"

#include <QList>
#include <QString>
#include <QStringList>

// The files of one photo as the sorting steps take them: a RAW, its JPEG or HEIF and their
// sidecars, the shown file first (PhotoList::FilesOf).

// What a file is for grouping, by its extension: camera RAW, a JPEG or HEIF picture, a sidecar or
// anything else.
PhotoGroups::Kind GroupingKindOf(const QString& extension);

// Where each of a photo's files goes when the shown one goes to target: every file gets the new
// name, keeping its own extension, so that with DSC_0042.JPG going to NOVE.JPG, DSC_0042.NEF.xmp
// becomes NOVE.NEF.xmp beside it. A target that does not end with the shown file's extension
// names the photo as a whole and the others append theirs to it.
QList<SortingUndo::FileStep> StepsTo(const QStringList& files, const QString& target);

// The path of a photo as the viewers show it: the shown file's path, then the extensions of the
// photo's other pictures ("/f/DSC_0042.JPG + NEF"); with sidecars also theirs ("+ NEF.xmp").
QString PhotoLabel(const QStringList& files, bool withSidecars = false);

// "2 soubory", "5 souborů": a number of files in Czech.
QString FileCount(qsizetype count);
