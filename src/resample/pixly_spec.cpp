#include "resample/pixly_spec.h"

#include "controls/directorylistbox.h"
#include "controls/drivecombobox.h"
#include "controls/filelistbox.h"
#include "controls/filelisting.h"
#include "controls/radiogroup.h"
#include "controls/typedcharacter.h"
#include "folders/filetypes.h"
#include "folders/nast_pixly.h"
#include "folders/newfolderprompt.h"
#include "platform/appcursor.h"
#include "platform/colorref.h"
#include "platform/dialogservice.h"
#include "platform/handlerguard.h"
#include "platform/systeminfo.h"
#include "resample/resamplefile.h"
#include "shell/windows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>

namespace {

namespace Text {
const QString Caption = QStringLiteral("Resample obrázků");
const QString WhatCaption = QStringLiteral("Resamplovat");
const QStringList WhatItems{QStringLiteral("Složku"), QStringLiteral("Soubor")};
const QString Page = QStringLiteral("Resamplovat");
const QString Percent = QStringLiteral("Kolik % z originálu:");
const QString WhereCaption = QStringLiteral("Kam umístit nové soubory?");
const QStringList WhereItems{QStringLiteral("Do stejné složky, přepsat originály"),
                             QStringLiteral("Do jiné složky")};
const QString Documents = QStringLiteral("Dokumenty");
const QString NewFolderItem = QStringLiteral("Vytvořit novou složku");
const QString Run = QStringLiteral("Jdi na to!");
const QString RunCaption = QStringLiteral("Resample");
const QString RunQuestion =
    QStringLiteral("Změna velikosti obrázků je velice náročná operace.\rBěhem trvání této operace bude "
                   "počítač zpomalen.\rOpravdu chcete operaci provést?");
const QString Working = QStringLiteral("Zpracovává se obrázek %1 / %2: %3");
const QString LaterUntouched = QStringLiteral("\rTento obrázek ani obrázky za ním nebyly změněny.");
} // namespace Text

const QString InitialMask = QStringLiteral("*.jpg;*.jpeg;*.bmp;*.wmf");
constexpr int SameFolder = 0;
constexpr int WholeFolder = 0;

template <typename Control> Control* placed(Control* control, const QRect& place)
{
    control->setGeometry(place);
    return control;
}

} // namespace

Tspecial::Tspecial(Windows& windows) : ButtonlessDialog(nullptr), windows_(windows)
{
    setWindowTitle(Text::Caption);
    setFixedSize(687, 460);
    move(256, 154);
    createControls();
    connectHandlers();
    FormCreate();
}

void Tspecial::createControls()
{
    DriveComboBox1 = placed(new DriveComboBox(this), {8, 8, 217, 21});
    DirectoryListBox1 = placed(new DirectoryListBox(this), {8, 32, 217, 177});
    FileListBox1 = placed(new FileListBox(this), {8, 216, 217, 161});
    FileListBox1->SetMask(InitialMask);
    RadioGroup2 = placed(new RadioGroup(Text::WhatCaption, this), {8, 384, 217, 68});
    RadioGroup2->SetItems(Text::WhatItems);
    RadioGroup2->SetItemIndex(WholeFolder);

    PageControl1 = placed(new QTabWidget(this), {232, 8, 447, 396});
    Resamplovat = new QWidget(PageControl1);
    PageControl1->addTab(Resamplovat, Text::Page);
    Label1 = new QLabel(Text::Percent, Resamplovat);
    Label1->move(12, 12);
    Label1->adjustSize();
    TrackBar1 = placed(new QSlider(Qt::Horizontal, Resamplovat), {12, 32, 340, 40});
    TrackBar1->setRange(0, 200);
    TrackBar1->setTickInterval(10);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setValue(50);
    procent = placed(new QLineEdit(QStringLiteral("50"), Resamplovat), {364, 40, 57, 21});
    RadioGroup1 = placed(new RadioGroup(Text::WhereCaption, Resamplovat), {12, 80, 411, 72});
    RadioGroup1->SetItems(Text::WhereItems);
    RadioGroup1->SetItemIndex(SameFolder);
    DriveComboBox2 = placed(new DriveComboBox(Resamplovat), {12, 164, 297, 21});
    Button1 = placed(new QPushButton(Text::Documents, Resamplovat), {317, 162, 106, 25});
    DirectoryListBox2 = placed(new DirectoryListBox(Resamplovat), {12, 192, 411, 164});
    PopupMenu1 = new QMenu(this);

    Label2 = placed(new QLabel(this), {232, 410, 320, 16});
    ProgressBar1 = placed(new QProgressBar(this), {232, 430, 320, 20});
    Label2->hide();
    ProgressBar1->hide();
    BitBtn1 = placed(new QPushButton(runGlyph(), Text::Run, this), {560, 412, 119, 41});
    // Enter stays with the control that has the focus; neither button is the default one.
    BitBtn1->setAutoDefault(false);
    Button1->setAutoDefault(false);
}

QIcon Tspecial::runGlyph() const
{
    // Styles without a glyph of their own for "all" get the plain confirming tick.
    const QIcon all = style()->standardIcon(QStyle::SP_DialogYesToAllButton);
    return all.isNull() ? style()->standardIcon(QStyle::SP_DialogYesButton) : all;
}

void Tspecial::connectHandlers()
{
    connect(DriveComboBox1, &DriveComboBox::driveChosen, this,
            [this](const QString& drive) { RunGuarded([&] { DriveComboBox1Change(drive); }); });
    connect(DriveComboBox2, &DriveComboBox::driveChosen, this,
            [this](const QString& drive) { RunGuarded([&] { DriveComboBox2Change(drive); }); });
    connect(DirectoryListBox1, &DirectoryListBox::directoryChanged, this,
            Guarded([this] { DirectoryListBox1Change(); }));
    connect(TrackBar1, &QSlider::valueChanged, this, Guarded([this] { TrackBar1Change(); }));
    connect(RadioGroup1, &RadioGroup::clicked, this,
            [this](int index) { RunGuarded([&] { RadioGroup1Click(index); }); });
    connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
    connect(PopupMenu1->addAction(Text::NewFolderItem), &QAction::triggered, this,
            Guarded([this] { Vytvoitnovousloku1Click(); }));
    // A button of the All kind ends the modal display once its handler has run, whatever it did.
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        RunGuarded([this] { BitBtn1Click(); });
        done(QDialog::Accepted);
    });

    DirectoryListBox2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DirectoryListBox2, &QWidget::customContextMenuRequested, PopupMenu1,
            [this](const QPoint& at) { PopupMenu1->popup(DirectoryListBox2->viewport()->mapToGlobal(at)); });
    procent->installEventFilter(this);
}

void Tspecial::FormCreate()
{
    SetBackground(this, windows_.nastaveni->nast.nastaveni);
}

void Tspecial::showEvent(QShowEvent* event)
{
    ButtonlessDialog::showEvent(event);
    if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

void Tspecial::FormShow()
{
    const Tnastaveni& folders = *windows_.nastaveni;
    DirectoryListBox1->SetDirectory(folders.DirectoryListBox1->Directory());
    DirectoryListBox2->SetDirectory(folders.DirectoryListBox2->Directory());
    DirectoryListBox1->Update();
    DirectoryListBox2->Update();
    FileListBox1->Update();
    // The newer formats are not resampled; their pictures are not listed.
    FileListBox1->SetMask(FileTypes::WithoutNewerFormats(folders.FileListBox1->Mask()));
}

void Tspecial::closeEvent(QCloseEvent* event)
{
    // The run ends the window's display itself; closing it half-way would hide how far it got.
    if (running_) {
        event->ignore();
        return;
    }
    ButtonlessDialog::closeEvent(event);
}

bool Tspecial::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == procent && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const std::optional<QChar> character = enter ? QChar(u'\r') : TypedCharacter(*key);
        // Keys that type nothing (arrows, Delete, Tab) keep their editing and focus meaning.
        if (!character) return false;
        // A key whose handler failed goes no further.
        bool swallowed = true;
        RunGuarded([&] { swallowed = procentKeyPress(*character); });
        return swallowed;
    }
    return ButtonlessDialog::eventFilter(watched, event);
}

void Tspecial::DriveComboBox1Change(const QString& drive)
{
    // A drive that cannot be read keeps the tree where it was, and the chooser with it.
    if (!DirectoryListBox1->SetDirectory(drive))
        DriveComboBox1->SetDrive(DriveComboBox::DriveOf(DirectoryListBox1->Directory()));
}

void Tspecial::DriveComboBox2Change(const QString& drive)
{
    if (!DirectoryListBox2->SetDirectory(drive))
        DriveComboBox2->SetDrive(DriveComboBox::DriveOf(DirectoryListBox2->Directory()));
}

void Tspecial::DirectoryListBox1Change()
{
    FileListBox1->SetDirectory(DirectoryListBox1->Directory());
}

void Tspecial::TrackBar1Change()
{
    procent->setText(QString::number(TrackBar1->value()));
}

bool Tspecial::procentKeyPress(QChar character)
{
    if (character == u'\r') {
        // The track bar keeps its range, so a larger number sets its maximum.
        TrackBar1->setValue(StrToInt(procent->text()));
        return true;
    }
    if (character >= u'0' && character <= u'9') return false;
    QApplication::beep();
    return true;
}

void Tspecial::RadioGroup1Click(int index)
{
    const bool elsewhere = index != SameFolder;
    DriveComboBox2->setEnabled(elsewhere);
    DirectoryListBox2->setEnabled(elsewhere);
    Button1->setEnabled(elsewhere);
}

void Tspecial::Button1Click()
{
    DirectoryListBox2->SetDirectory(SystemInfo::DocumentsFolder());
}

void Tspecial::Vytvoitnovousloku1Click()
{
    AskAndMakeFolder(DirectoryListBox2->Directory());
    DirectoryListBox1->Update();
    DirectoryListBox2->Update();
}

void Tspecial::BitBtn1Click()
{
    if (!Dialogs().AskYesNo(Text::RunQuestion, Text::RunCaption)) return;
    const double factor = TrackBar1->value() / 100.0;
    const QList<ResampleJob> jobs = picturesToDo();
    try {
        run(jobs, factor);
    } catch (const EmptyResultError& error) {
        const QString rest = jobs.size() > 1 ? Text::LaterUntouched : QString();
        Dialogs().ShowMessageKind(error.message() + rest, Text::RunCaption, DialogService::Warning);
    }
}

QList<ResampleJob> Tspecial::picturesToDo() const
{
    QList<int> entries;
    if (RadioGroup2->ItemIndex() == WholeFolder) {
        for (int i = 0; i < FileListBox1->Count(); ++i)
            entries << i;
    } else if (FileListBox1->ItemIndex() >= 0) {
        entries << FileListBox1->ItemIndex();
    }
    const bool inPlace = RadioGroup1->ItemIndex() == SameFolder;
    QList<ResampleJob> jobs;
    for (const int entry : entries) {
        const QString name = FileListBox1->Item(entry);
        const QString source = JoinFolderAndName(FileListBox1->Directory(), name);
        jobs.append({source, inPlace ? source : JoinFolderAndName(DirectoryListBox2->Directory(), name)});
    }
    return jobs;
}

void Tspecial::run(const QList<ResampleJob>& jobs, double factor)
{
    AppCursor::SetBusy();
    setEnabled(false);
    running_ = true;
    ProgressBar1->setRange(0, int(jobs.size()));
    Label2->show();
    ProgressBar1->show();
    const auto restore = qScopeGuard([this] {
        Label2->hide();
        ProgressBar1->hide();
        running_ = false;
        setEnabled(true);
        AppCursor::SetNormal();
    });
    // Written the way up the viewers show them, and in the colours they show.
    const PictureTurn turn = windows_.nastaveni->nast.otacet ? PictureTurn::Upright : PictureTurn::AsStored;
    const ProfileKeeping profile =
        windows_.nastaveni->nast.barvy ? ProfileKeeping::Kept : ProfileKeeping::Dropped;
    ResampleBatch(jobs, factor, 0, turn, profile).Run([&](int done) { showProgress(jobs, done); });
}

void Tspecial::showProgress(const QList<ResampleJob>& jobs, int done)
{
    if (done < jobs.size())
        Label2->setText(
            Text::Working.arg(done + 1).arg(jobs.size()).arg(QFileInfo(jobs[done].source).fileName()));
    ProgressBar1->setValue(done);
}
