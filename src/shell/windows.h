#pragma once

#include "shell/storedsettings.h"
#include "sorting/photoactions.h"

#include <QString>

class FileListBox;
class PhotoList;
class QWidget;
class TForm7;
class Tnastaveni;
class Thlavni;
class Tvelka_fotka;
class TForm6;
class Tspecial;
class Texifdata;
class Tabout;
class Thelp;
class Tslideshow;
class UpdateCheck;

// The program's ten windows, created once in this order and kept until the
// program ends. A window may use in its constructor only the windows
// created before it.
class Windows {
public:
    Windows() = default;
    ~Windows();
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    // Creates all ten windows in their order.
    void CreateAll(UpdateCheck* updateCheck);

    // What the viewers take from the folder window, and the windows they and the folder window
    // hand over to, so that the viewers and the folder window need not know each other.
    FileListBox& PhotoListBox() const;
    const DisplaySettings& Display() const;
    const QString& Version() const;
    StoredFolders CurrentFolders() const;
    PhotoActionContext ActionContextFor(PhotoList& photos) const;
    QWidget& FolderWindow() const;
    QWidget& MainViewer() const;
    QWidget& FullScreenWindow() const;

    TForm7* Form7 = nullptr;
    Tnastaveni* nastaveni = nullptr;
    Thlavni* hlavni = nullptr;
    Tvelka_fotka* velka_fotka = nullptr;
    TForm6* Form6 = nullptr;
    Tspecial* special = nullptr;
    Texifdata* exifdata = nullptr;
    Tabout* about = nullptr;
    Thelp* help = nullptr;
    Tslideshow* slideshow = nullptr;
};
