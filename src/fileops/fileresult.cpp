#include "fileops/fileresult.h"

#include <cerrno>
#include <cstring>

namespace {
const QString NameTakenReason = QStringLiteral("Soubor s tímto názvem již existuje.");
} // namespace

FileResult FileResult::NameTaken()
{
    return FileResult(Outcome::NameTaken, NameTakenReason);
}

FileResult FileResult::FromSystemError(int errorNumber)
{
    if (errorNumber == EEXIST) return NameTaken();
    return FileResult(Outcome::Failed, SystemReason(errorNumber), errorNumber);
}

FileResult FileResult::FromLastSystemError()
{
    return FromSystemError(errno);
}

QString SystemReason(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC: return QStringLiteral("Na disku není dost místa.");
#ifdef EDQUOT
    case EDQUOT: return QStringLiteral("Byla překročena disková kvóta.");
#endif
    case EROFS: return QStringLiteral("Svazek je určen jen pro čtení.");
    case EACCES:
    case EPERM: return QStringLiteral("Přístup byl odepřen.");
    case ENOENT: return QStringLiteral("Soubor nebo složka neexistuje.");
    case ENOTDIR: return QStringLiteral("Část cesty není složka.");
    case EISDIR: return QStringLiteral("Na místě souboru je složka.");
    case EEXIST: return NameTakenReason;
    case ENAMETOOLONG: return QStringLiteral("Název souboru je příliš dlouhý.");
    case EINVAL: return QStringLiteral("Název souboru tento svazek nepřijme.");
    case EIO: return QStringLiteral("Chyba při čtení nebo zápisu na disk.");
    case EBUSY: return QStringLiteral("Soubor je právě používán.");
    case ENODEV:
    case ENXIO: return QStringLiteral("Svazek není k dispozici.");
    default: return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}
