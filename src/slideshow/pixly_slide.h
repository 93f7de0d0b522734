#pragma once

#include "slideshow/masplayer.h"
#include "slideshow/songsequencer.h"

#include <QDialog>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;
class RadioGroup;
class Windows;

// The slideshow settings window: the interval, where the show begins and
// the music playlist. It fills in and starts the full-screen window's timer,
// and holds the slideshow and music state that the full-screen window reads.
class Tslideshow : public QDialog, public MusicState {
    Q_OBJECT
public:
    explicit Tslideshow(Windows& windows);
    ~Tslideshow() override;

    QLabel* Label2;
    QLineEdit* Edit1;
    QComboBox* ComboBox1;
    RadioGroup* RadioGroup1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn3;
    QCheckBox* CheckBox1;
    QLabel* Label1;
    QLabel* Label4;
    QListWidget* playlist;
    QPushButton* Button1;
    QPushButton* Button2;
    QMenu* PopupMenu1;
    QAction* Pidatpsnikuneboplaylist1;
    QAction* Vymazatoznaenoupoloku1;
    QTimer* playcas;
    std::unique_ptr<TMasPlayer> player;

    // A slideshow was started and not stopped.
    bool SlideshowRunning = false;

    void FormShow();
    // True when the character may reach the interval field.
    bool Edit1KeyPress(QChar character);
    void BitBtn1Click();
    void BitBtn3Click();
    // Stops the music and its timer. Music started moments ago counts too,
    // before its first tick; with no song open there is nothing to stop.
    void StopMusic();
    void CheckBox1Click();
    void Button1Click();
    void Button2Click();
    void AddMusicFolder(const QString& path);
    void Vymazatoznaenoupoloku1Click();
    void playlistKeyDown(int key);
    void playcasTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createPlaylist();
    void FormCreate();
    void setTallLayout(bool tall);
    void startFromFirstPicture();
    QStringList playlistEntries() const;

    Windows& windows_;
    SongSequencer music_;
    // A start with music leaves the busy cursor for the first music tick to end.
    bool cursorAwaitsMusicTick_ = false;
};
