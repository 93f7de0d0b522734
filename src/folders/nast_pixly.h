#pragma once

#include "fileops/sortingundo.h"
#include "folders/folderfavourites.h"
#include "folders/folderfileoperations.h"
#include "folders/folderpreview.h"
#include "shell/storedsettings.h"
#include "sorting/photoactions.h"

#include <QString>
#include <QWidget>

class DirectoryListBox;
class DriveComboBox;
class FavouritesView;
class FileListBox;
class FolderDragDrop;
class PictureBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class RadioGroup;
class Windows;

// The folder selection window: source and destination folders, the action
// of the sorting keys, the file type and the preview. It also holds the
// state every other window reads: the photo list, the two folders, the
// action, the start folder, the version text and the settings working copy.
class Tnastaveni : public QWidget {
    Q_OBJECT
public:
    explicit Tnastaveni(Windows& windows);

    // The process's current folder when the window was created.
    QString startDir;
    // Copy of the running version text.
    QString verze;
    // Working copy of the display and confirmation settings (rozliseni,
    // nastaveni, hlavni, velka, orig, show), named after their stored values.
    DisplaySettings nast;
    // orig as fixed during creation; the preview falls back to it.
    QString defaultPicture;
    // The sorting steps of this run that Ctrl+Z can take back, in any window.
    SortingUndo undo;
    // Source-folder changes so far, counted up to 3.
    int sourceChangeCount = 0;

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    DriveComboBox* DriveComboBox1;
    DriveComboBox* DriveComboBox2;
    DirectoryListBox* DirectoryListBox1;
    DirectoryListBox* DirectoryListBox2;
    FileListBox* FileListBox1;
    FileListBox* FileListBox2;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    FavouritesView* ListView1;
    RadioGroup* RadioGroup1;
    RadioGroup* RadioGroup2;
    QGroupBox* RadioGroup3;
    QPushButton* pridat;
    QPushButton* zmenit;
    QPushButton* smazat;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QPushButton* Button1;
    QPushButton* Button2;
    PictureBox* Image1;
    QMenu* menu_image;
    QMenu* dir2list;
    QMenu* menu_oblibene;
    // Drags between the lists and what a drop on one of them does.
    FolderDragDrop* drops;
    // The favourites panel (ListView1, RadioGroup3 with pridat, zmenit and
    // smazat, menu_oblibene), what it does, and the favourites file.
    FolderFavourites favourites;
    // Drops between the lists, copying, deleting and making folders on disk.
    FolderFileOperations fileOperations;
    // What the preview Image1 shows.
    FolderPreview preview;

    // Handlers, named after their controls and events.
    void FormShow();
    void FormHide();
    bool FormCloseQuery();
    void FormClose();
    void DriveComboBox1Change(const QString& drive);
    void DriveComboBox2Change(const QString& drive);
    void DirectoryListBox1Change();
    void DirectoryListBox2Change();
    void Edit1KeyEnter();
    void Edit2KeyEnter();
    void RadioGroup2Click();
    void BitBtn2Click() { fileOperations.SwapFolders(); }
    void BitBtn3Click();
    void FileListBox1MouseDown() { preview.SourceListPressed(); }
    void Refresh();
    void OpenMainViewer();
    void OpenFullScreen();
    void OpenSlideshow();
    void Button1Click();
    void Button2Click() { fileOperations.NewFolder(); }
    void ListView1DblClick() { favourites.Open(DirectoryListBox1); }
    // "Smazat" of menu_image: deletes the selected source file.
    void Smazat1Click() { fileOperations.DeleteSelectedFile(); }
    // A drop of the source control on the target, as the drop table says;
    // a drop that the table refuses does nothing.
    void DragDrop(QWidget* target, QWidget* source) { fileOperations.Drop(target, source); }

    // The favourite folders shown in ListView1.
    const FavouritesList& Favourites() const { return favourites.List(); }

    // Loads a picture into the preview; raises the decoder's error.
    void LoadPreview(const QString& path) { preview.Load(path); }
    // Goes to the folder on that side, or to the root when it cannot.
    void SetSourceFolder(const QString& folder);
    void SetDestinationFolder(const QString& folder);
    // True when a source file is selected; otherwise says so.
    bool SelectedPictureOrComplain();
    // The source list shows each photo's files as one entry while dvojice is on; the selected
    // picture stays selected.
    void ApplyGrouping();

    // The source and destination folders as they are stored.
    StoredFolders CurrentFolders() const;
    // What the viewers' copy, rename and delete keys act with.
    PhotoActionContext ActionContextFor(PhotoList& photos) { return fileOperations.ActionContextFor(photos); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void setTabOrderOfControls();
    void connectHandlers();
    void FormCreate();
    void applyStoredFolders(const QString& directory1, const QString& directory2);

    Windows& windows_;
    QString storedDirectory1_;
    QString storedDirectory2_;
};
