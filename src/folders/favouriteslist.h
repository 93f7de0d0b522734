#pragma once

#include "folders/favouritesfile.h"

#include <QList>
#include <QString>
#include <optional>

// The favourite folders as the folder window holds them, in file order, and
// the rules of adding, changing and removing them. Whatever an operation
// refuses leaves the list as it was, so the list never holds an entry that
// the next save and load would lose or split.
class FavouritesList {
public:
    enum class Outcome {
        Done,
        // Change or remove without a selected entry.
        NothingSelected,
        // One more entry would not fit into the file.
        Full,
        // A ";" or a line break in the name.
        BadDescription,
        // A line break in the folder path.
        BadPath,
        // The only entry is never removed.
        OnlyEntry,
        // The first entry among several stays; nothing is said about it.
        FirstEntryKept,
    };

    // An empty list that belongs to no file.
    FavouritesList() = default;
    explicit FavouritesList(QList<Favourite> entries);

    // The favourites in the file, or the default list when there is none.
    static FavouritesList Load(const QString& filePath, const QString& documentsFolder);
    // Writes the list to the file it was loaded from, replacing it whole.
    // A file that exists but could not be read is never replaced (by the
    // default list that stood in for it), and a list that belongs to no file
    // is not written. False when nothing was written; the old file is then
    // as it was.
    bool Save() const;

    const QList<Favourite>& Entries() const { return entries_; }
    int Count() const { return int(entries_.size()); }
    // The entry at index; no value outside the list (-1 is no selection).
    std::optional<Favourite> At(int index) const;

    // Whether an entry for the folder may be added, asked before its name is.
    Outcome CanAdd(const QString& path) const;
    // Appends the entry at the end; an empty name is allowed (it is kept
    // here but not written to the file).
    Outcome Add(const Favourite& entry);

    // Whether the entry at index may be pointed at the folder, asked before
    // its new name is.
    Outcome CanChange(int index, const QString& path) const;
    // Gives the entry at index a new name and folder.
    Outcome Change(int index, const Favourite& entry);

    // The delete button: removes the selected entry unless it is the first.
    Outcome Remove(int index);
    // Removes the entry whatever its position, the first one too; used when
    // its folder has gone. False outside the list.
    bool RemoveAt(int index);

private:
    bool contains(int index) const { return index >= 0 && index < Count(); }

    QList<Favourite> entries_;
    // Where Save writes; empty when it must not write.
    QString filePath_;
};
