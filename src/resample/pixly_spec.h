#pragma once

#include "controls/buttonlessdialog.h"
#include "resample/resamplebatch.h"

#include <QList>

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class QIcon;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QTabWidget;
class QWidget;
class RadioGroup;
class Windows;

// The resample window: changes the pixel size of the JPEG pictures of a folder, or of one of
// them, by a percentage, over the originals or into another folder under the same names.
// Shown modally from the folder window, whose folders and file mask it starts from.
class Tspecial : public ButtonlessDialog {
    Q_OBJECT
public:
    explicit Tspecial(Windows& windows);

    DriveComboBox* DriveComboBox1;
    DirectoryListBox* DirectoryListBox1;
    FileListBox* FileListBox1;
    RadioGroup* RadioGroup2;
    QTabWidget* PageControl1;
    QWidget* Resamplovat;
    QLabel* Label1;
    QSlider* TrackBar1;
    QLineEdit* procent;
    RadioGroup* RadioGroup1;
    DriveComboBox* DriveComboBox2;
    QPushButton* Button1;
    DirectoryListBox* DirectoryListBox2;
    QMenu* PopupMenu1;
    QPushButton* BitBtn1;
    // The progress of a run: which picture of how many, and a bar; hidden between runs.
    QLabel* Label2;
    QProgressBar* ProgressBar1;

    // Handlers, named after their controls and events.
    void FormShow();
    void DriveComboBox1Change(const QString& drive);
    void DriveComboBox2Change(const QString& drive);
    void DirectoryListBox1Change();
    void TrackBar1Change();
    // The character filter of procent; true when the character is swallowed.
    bool procentKeyPress(QChar character);
    void RadioGroup1Click(int index);
    void Button1Click();
    void Vytvoitnovousloku1Click();
    void BitBtn1Click();

    // True while a run is going on.
    bool Running() const { return running_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    QIcon runGlyph() const;
    void connectHandlers();
    void FormCreate();
    QList<ResampleJob> picturesToDo() const;
    void run(const QList<ResampleJob>& jobs, double factor);
    void showProgress(const QList<ResampleJob>& jobs, int done);

    Windows& windows_;
    bool running_ = false;
};
