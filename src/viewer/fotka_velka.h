#pragma once

#include "formats/picturefile.h"
#include "sorting/photoactions.h"

#include <QWidget>
#include <memory>

class ZoomPictureBox;
class PictureRequests;
class PhotoList;
class QAction;
class QMenu;
class QPushButton;
class QTimer;
class Windows;

// The full-screen window: the current picture on a borderless window at the
// chosen resolution, the same keys as the main viewer, two tiny corner
// buttons, and the slideshow timer cas.
class Tvelka_fotka : public QWidget, private PhotoView {
    Q_OBJECT
public:
    explicit Tvelka_fotka(Windows& windows);
    ~Tvelka_fotka() override;

    ZoomPictureBox* Image1;
    QPushButton* Button1;
    QPushButton* Button2;
    QMenu* PopupMenu1;
    QAction* Cestakobrzku1;
    QAction* Dalobrzek1;
    QAction* Pedchoz1;
    QAction* Editorpixly1;
    QAction* Nvratdohlavnhookna1;
    QAction* Nvratdonastavenprogramu1;
    QAction* Npovda1;
    QAction* Konecprogramu1;
    QTimer* cas;

    // Sizes the picture area (from the monitor resolution setting).
    void SetPictureAreaSize(const QSize& size);

    void FormShow();
    void FormHide();
    void FormClose();
    void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void FormKeyPress(QChar character);
    void casTimer();
    void NextPicture();
    void PreviousPicture();
    void ReturnToMainWindow();
    void QuitQuestion();
    void ShowSlideshowSettings();
    void ShowCurrentPicture() override;
    // Loads the picture at path into the picture area; raises the decoder's error.
    void LoadPicture(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createButtons();
    void createMenu();
    void FormCreate();
    void PresentCurrentPicture() override;
    void LoadPictureFrom(const QString& path) override;
    void SetPathLabel(const QString&) override {}
    bool slideshowKey(int key);
    void controlKey(int key, Qt::KeyboardModifiers modifiers);
    void plainKey(int key);
    void resumeSlideshow();
    void setButtonSizes(bool button1Large, bool button2Large);

    Windows& windows_;
    std::unique_ptr<PhotoList> photos_;
    std::unique_ptr<PictureRequests> pictures_;
    PhotoActions actions_;
    LoadedPicture shown_; // the picture drawn, as saved to a new file
};
