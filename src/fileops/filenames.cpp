#include "fileops/filenames.h"

#include <QFile>

QString NameWithin(const QString& stem, const QString& tail, int maxBytes)
{
    const qsizetype room = maxBytes - QFile::encodeName(tail).size();
    QString kept = stem;
    while (!kept.isEmpty() && QFile::encodeName(kept).size() > room) {
        kept.chop(1);
        // A surrogate pair is one character.
        if (!kept.isEmpty() && kept.back().isHighSurrogate()) kept.chop(1);
    }
    return kept + tail;
}
