#pragma once

#include "sorting/photoactions.h"

#include <QWidget>
#include <memory>

class ZoomPictureBox;
class PictureRequests;
class PhotoList;
class QAction;
class QLabel;
class QMenuBar;
class Windows;

// The main viewer: the current picture of the photo list fitted into a
// fixed area, its path beneath, the sorting keys and the menu.
class Thlavni : public QWidget, private PhotoView {
    Q_OBJECT
public:
    explicit Thlavni(Windows& windows);
    ~Thlavni() override;

    ZoomPictureBox* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QMenuBar* MainMenu1;
    QAction* Celobrazovka1;
    QAction* Konec1;
    QAction* Nastavensloek1;
    QAction* Nastavenprogramu1;
    QAction* Npovda1;
    QAction* rogramu1;
    QAction* Web1;

    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    // Closes as after a Yes to the quit question that another window asked.
    void CloseWithoutAsking();
    void FormKeyDown(int key);
    void FormKeyPress(QChar character);
    void NextPicture();
    void PreviousPicture();
    void OpenFullScreen(bool stayWithoutPicture);
    void ShowCurrentPicture() override;
    // Loads the picture at path into the picture area; raises the decoder's error.
    void LoadPicture(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createMenu();
    void FormCreate();
    void PresentCurrentPicture() override;
    void LoadPictureFrom(const QString& path) override;
    void SetPathLabel(const QString& path) override;
    void backToFolderWindow();

    Windows& windows_;
    std::unique_ptr<PhotoList> photos_;
    std::unique_ptr<PictureRequests> pictures_;
    // The path the label returns to when the picture stepped to cannot be shown.
    QString drawnPath_;
    QString labelPath_; // the path the label shows, with the zoom after it while zoomed
    PhotoActions actions_;
    bool quitConfirmed_ = false;
};
