#include "folders/favouriteslist.h"

#include <utility>

FavouritesList::FavouritesList(QList<Favourite> entries) : entries_(std::move(entries)) {}

FavouritesList FavouritesList::Load(const QString& filePath, const QString& documentsFolder)
{
    const std::optional<QList<Favourite>> loaded = FavouritesFile::Load(filePath, documentsFolder);
    FavouritesList list(loaded.value_or(FavouritesFile::DefaultList(documentsFolder)));
    if (loaded) list.filePath_ = filePath;
    return list;
}

bool FavouritesList::Save() const
{
    return !filePath_.isEmpty() && FavouritesFile::Save(filePath_, entries_);
}

std::optional<Favourite> FavouritesList::At(int index) const
{
    if (!contains(index)) return std::nullopt;
    return entries_.at(index);
}

FavouritesList::Outcome FavouritesList::CanAdd(const QString& path) const
{
    if (!FavouritesFile::CanAdd(Count())) return Outcome::Full;
    if (!FavouritesFile::IsValidPath(path)) return Outcome::BadPath;
    return Outcome::Done;
}

FavouritesList::Outcome FavouritesList::Add(const Favourite& entry)
{
    Outcome outcome = CanAdd(entry.path);
    if (outcome == Outcome::Done && !FavouritesFile::IsValidDescription(entry.description))
        outcome = Outcome::BadDescription;
    if (outcome == Outcome::Done) entries_.append(entry);
    return outcome;
}

FavouritesList::Outcome FavouritesList::CanChange(int index, const QString& path) const
{
    if (!contains(index)) return Outcome::NothingSelected;
    if (!FavouritesFile::IsValidPath(path)) return Outcome::BadPath;
    return Outcome::Done;
}

FavouritesList::Outcome FavouritesList::Change(int index, const Favourite& entry)
{
    Outcome outcome = CanChange(index, entry.path);
    if (outcome == Outcome::Done && !FavouritesFile::IsValidDescription(entry.description))
        outcome = Outcome::BadDescription;
    if (outcome == Outcome::Done) entries_[index] = entry;
    return outcome;
}

FavouritesList::Outcome FavouritesList::Remove(int index)
{
    if (!contains(index)) return Outcome::NothingSelected;
    if (index == 0) return Count() == 1 ? Outcome::OnlyEntry : Outcome::FirstEntryKept;
    entries_.removeAt(index);
    return Outcome::Done;
}

bool FavouritesList::RemoveAt(int index)
{
    if (!contains(index)) return false;
    entries_.removeAt(index);
    return true;
}
