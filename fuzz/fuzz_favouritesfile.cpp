// Feeds arbitrary bytes to FavouritesFile::Load as a favourites file. The list has at most
// MaxEntries entries, none without a path, and the entries that a save keeps load back unchanged.

#include "folders/favouritesfile.h"
#include "fuzzinput.h"

#include <cstdlib>

namespace {

QList<Favourite> keptBySave(const QList<Favourite>& entries)
{
    QList<Favourite> kept;
    for (const Favourite& entry : entries) {
        if (!entry.description.isEmpty() && FavouritesFile::IsValidDescription(entry.description) &&
            FavouritesFile::IsValidPath(entry.path))
            kept.append(entry);
    }
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString file = WriteInputFile(QStringLiteral("novak.dat"), data, size);
    const std::optional<QList<Favourite>> loaded = FavouritesFile::Load(file, QStringLiteral("/home/novak"));
    if (!loaded || loaded->size() > FavouritesFile::MaxEntries) std::abort();
    for (const Favourite& entry : *loaded) {
        if (entry.path.isEmpty()) std::abort();
    }
    const QList<Favourite> kept = keptBySave(*loaded);
    if (FavouritesFile::Parse(FavouritesFile::Serialise(kept)) != kept) std::abort();
    return 0;
}
