#pragma once

#include "folders/favouriteslist.h"

#include <QString>
#include <functional>

class DirectoryListBox;
class Tnastaveni;

// The favourites panel of the folder window and what it does: the list with
// its popup menu, the buttons "Přidat", "Změnit" and "Smazat", opening an
// entry in a folder tree, and loading and saving the current user's
// favourites file in the start folder.
class FolderFavourites {
public:
    explicit FolderFavourites(Tnastaveni& window);

    // Creates the panel's controls as the window's Label6, ListView1,
    // RadioGroup3, pridat, zmenit, smazat and menu_oblibene.
    void CreatePanel();

    const FavouritesList& List() const { return favourites_; }

    // Reads the current user's file from the start folder and shows it.
    void Load();
    void Save() const;

    // Adds the source folder under a name the user gives.
    void Add();
    // Gives the selected entry a new name and the source folder.
    void Change();
    // Removes the selected entry (never the first one).
    void Remove();
    // Opens the selected entry in that folder tree; an entry whose folder
    // has gone may be removed.
    void Open(DirectoryListBox* side);
    // The error box for an entry whose folder has gone.
    static void SayFolderMissing();

private:
    void show(int selectedIndex);
    // Shows the warning for a refused operation; true when it was done.
    bool allows(FavouritesList::Outcome outcome);
    // Asks for an entry's name and applies it until a name is accepted;
    // false when the user cancelled.
    bool askName(const QString& caption, const QString& prompt, QString proposed,
                 const std::function<FavouritesList::Outcome(const QString&)>& apply);

    Tnastaveni& window_;
    FavouritesList favourites_;
};
