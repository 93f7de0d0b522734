#include "shell/windows.h"

#include "exif/pixly_exif.h"
#include "folders/nast_pixly.h"
#include "resample/pixly_spec.h"
#include "settings/nast_pixly_prog.h"
#include "settings/pixly_about.h"
#include "settings/pixly_help.h"
#include "shell/pixly_flash.h"
#include "slideshow/pixly_slide.h"
#include "viewer/fotka_velka.h"
#include "viewer/hlavni_pixly.h"

Windows::~Windows()
{
    delete slideshow;
    delete help;
    delete about;
    delete exifdata;
    delete special;
    delete Form6;
    delete velka_fotka;
    delete hlavni;
    delete nastaveni;
    delete Form7;
}

void Windows::CreateAll(UpdateCheck* updateCheck)
{
    Form7 = new TForm7(*this, updateCheck);
    nastaveni = new Tnastaveni(*this);
    hlavni = new Thlavni(*this);
    velka_fotka = new Tvelka_fotka(*this);
    Form6 = new TForm6(*this);
    special = new Tspecial(*this);
    exifdata = new Texifdata(*this);
    about = new Tabout(*this);
    help = new Thelp(*this);
    slideshow = new Tslideshow(*this);
}

FileListBox& Windows::PhotoListBox() const
{
    return *nastaveni->FileListBox1;
}

const DisplaySettings& Windows::Display() const
{
    return nastaveni->nast;
}

const QString& Windows::Version() const
{
    return nastaveni->verze;
}

StoredFolders Windows::CurrentFolders() const
{
    return nastaveni->CurrentFolders();
}

PhotoActionContext Windows::ActionContextFor(PhotoList& photos) const
{
    return nastaveni->ActionContextFor(photos);
}

QWidget& Windows::FolderWindow() const
{
    return *nastaveni;
}

QWidget& Windows::MainViewer() const
{
    return *hlavni;
}

QWidget& Windows::FullScreenWindow() const
{
    return *velka_fotka;
}
