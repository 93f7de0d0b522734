#pragma once

#include "controls/buttonlessdialog.h"
#include "shell/platformconnectiontest.h"
#include "shell/updatechecker.h"

#include <QString>

#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class RadioGroup;
class Windows;

// A colour chooser that keeps its colour between openings.
struct ColorDialog {
    int Color = 0; // 0x00BBGGRR
    // Opens the chooser on Color; false when the user cancelled.
    bool Execute();
};

// A picture chooser that keeps its filter and file name between openings.
struct OpenPictureDialog {
    QString Filter;
    QString FileName;
    // Opens the chooser on FileName; false when the user cancelled.
    bool Execute();
};

// The program settings window: the background colours of the three working
// windows with a live preview, the monitor resolution that sizes the
// full-screen picture area, the copy confirmation, deleting to the trash,
// turning photos by their EXIF orientation, the automatic update check and
// the manual one. Its controls are filled once at start and keep
// what the user left in them; only OK stores them and updates the working
// copy in the folder window.
class TForm6 : public ButtonlessDialog {
    Q_OBJECT
private:
    // Declared first: the manual check below holds on to it.
    PlatformConnectionTest platformConnection_;

public:
    explicit TForm6(Windows& windows);

    RadioGroup* RadioGroup1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;
    QCheckBox* CheckBox1;
    // The working copy of the automatic update check after start; the
    // folder window stores it when it closes.
    QCheckBox* CheckBox2;
    // Deleting moves pictures to the desktop's trash.
    QCheckBox* CheckBox3;
    // Photos are turned by their EXIF orientation.
    QCheckBox* CheckBox4;
    // The file type choice lists every format of photos.
    QCheckBox* CheckBox5;
    // Pictures are shown in their profile's colours.
    QCheckBox* CheckBox6;
    // A RAW, its JPEG and their sidecars are sorted as one photo.
    QCheckBox* CheckBox7;
    QPushButton* BitBtn2;
    QPushButton* BitBtn1;
    QLabel* Label5;
    QLabel* Label6;
    QPushButton* Button1;
    ColorDialog ColorDialog1;
    ColorDialog ColorDialog2;
    ColorDialog ColorDialog3;
    OpenPictureDialog OpenPictureDialog1;

    // The manual update check of "Aktualizace"; tests put one against their
    // own server in its place.
    std::unique_ptr<UpdateChecker> updateChecker;

    void Image1Click();
    void Image2Click();
    void Image3Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void Button1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectHandlers();
    void FormCreate();
    void chooseColour(ColorDialog& dialog, QLabel* swatch);
    void previewColours();

    Windows& windows_;
};

// Paints a colour swatch: a 33 x 33 picture filled with the colour inside a
// one-pixel white edge.
void PaintSwatch(QLabel* swatch, int colorRef);
