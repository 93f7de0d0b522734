#include "slideshow/pixly_slide.h"

#include "controls/filelistbox.h"
#include "controls/radiogroup.h"
#include "controls/typedcharacter.h"
#include "folders/nast_pixly.h"
#include "platform/appcursor.h"
#include "platform/dialogservice.h"
#include "platform/handlerguard.h"
#include "shell/windows.h"
#include "slideshow/m3uplaylist.h"
#include "slideshow/musicfiles.h"
#include "slideshow/musicfolderscan.h"
#include "slideshow/qtaudiobackend.h"
#include "slideshow/slideinterval.h"
#include "sorting/photolist.h"
#include "viewer/fotka_velka.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>

namespace {
namespace Text {
const QString Caption = QStringLiteral("Slideshow - nastavení");
const QString Interval = QStringLiteral("Interval:");
const QString Seconds = QStringLiteral("vteřin");
const QString Minutes = QStringLiteral("minut");
const QString Begin = QStringLiteral("Začít:");
const QString FromCurrent = QStringLiteral("od aktuálního obrázku");
const QString FromFirst = QStringLiteral("od prvního obrázku");
const QString Start = QStringLiteral("Spusť!");
const QString Stop = QStringLiteral(" ");
const QString Music = QStringLiteral("Doprovodná hudba");
const QString Note1 = QStringLiteral("Pozn.: Slideshow pozastavíte mezerníkem,");
const QString Note2 = QStringLiteral("nastavení zobrazíte jakoukoli jinou klávesou.");
const QString Add = QStringLiteral("Přidat");
const QString AddFolder = QStringLiteral("Přidat složku");
const QString MenuAdd = QStringLiteral("Přidat písničku nebo playlist");
const QString MenuDelete = QStringLiteral("Vymazat označenou položku");
const QString NoInterval = QStringLiteral("Musíte zadat interval střídání!");
const QString SlideshowCaption = QStringLiteral("Slideshow");
const QString OpenFilter =
    QStringLiteral("Hudební soubory a playlisty|*.mp3;*.wav;*.mid;*.midi;*.wma;*.m3u|"
                   "MP3|*.mp3|WAV|*.wav|MIDI|*.mid;*.midi|WMA|*.wma|Playlist M3U|*.m3u");
const QString ChooseFolder = QStringLiteral("Vyberte adresář:");
const QString InternalError = QStringLiteral("Vnitřní chyba programu!");
const QString DeleteQuestion = QStringLiteral("Opravdu chcete vymazat označenou položku?");
const QString DeleteCaption = QStringLiteral("Smazání písničky");
const QString HelpCaption = QStringLiteral("Help");
const QString Help =
    QStringLiteral("Zde můžete nastavit promítání obrázků (slideshow).\rPo Vámi zvoleném intervalu "
                   "se budou obrázky samy měnit.\rK promítání je též možné zvolit hudbu.");
} // namespace Text

constexpr int Width = 444;
constexpr int CompactHeight = 220;
constexpr int TallHeight = 460;

// Keys the dialog itself handles (its default and cancel buttons) never
// reach a field's character filter.
bool IsDialogKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

void WarnNoInterval()
{
    Dialogs().ShowMessageKind(Text::NoInterval, Text::SlideshowCaption, DialogService::Warning);
}

// The unit box's item by its text; typed text that is no item keeps the interval.
SlideInterval::Unit UnitOf(const QComboBox& box)
{
    switch (box.findText(box.currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive)) {
    case 0: return SlideInterval::Unit::Seconds;
    case 1: return SlideInterval::Unit::Minutes;
    default: return SlideInterval::Unit::Unchanged;
    }
}

template <typename Control> Control* placed(Control* control, const QRect& place)
{
    control->setGeometry(place);
    return control;
}

} // namespace

Tslideshow::Tslideshow(Windows& windows)
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      player(std::make_unique<TMasPlayer>(std::make_unique<QtAudioBackend>())), windows_(windows),
      music_(*this, *player, [this](bool on) { on ? playcas->start() : playcas->stop(); })
{
    setWindowTitle(Text::Caption);
    move(0, 0);
    createControls();
    createPlaylist();
    FormCreate();
}

Tslideshow::~Tslideshow() = default;

void Tslideshow::createControls()
{
    Label2 = placed(new QLabel(Text::Interval, this), {16, 14, 90, 16});
    Edit1 = placed(new QLineEdit(this), {16, 34, 90, 23});
    Edit1->installEventFilter(this);
    ComboBox1 = placed(new QComboBox(this), {112, 34, 100, 23});
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({Text::Seconds, Text::Minutes});
    ComboBox1->setCurrentIndex(0);

    RadioGroup1 = placed(new RadioGroup(Text::Begin, this), {232, 8, 196, 76});
    RadioGroup1->SetItems({Text::FromCurrent, Text::FromFirst});
    RadioGroup1->SetItemIndex(0);

    BitBtn1 = placed(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), Text::Start, this),
                     {16, 68, 196, 30});
    BitBtn1->setDefault(true);
    BitBtn1->setFocusPolicy(Qt::ClickFocus);
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        RunGuarded([this] { BitBtn1Click(); });
        accept();
    });
    BitBtn3 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), Text::Stop, this);
    BitBtn3->setAutoDefault(false);
    connect(BitBtn3, &QPushButton::clicked, this, [this] {
        RunGuarded([this] { BitBtn3Click(); });
        reject();
    });

    CheckBox1 = placed(new QCheckBox(Text::Music, this), {16, 112, 200, 20});
    connect(CheckBox1, &QCheckBox::toggled, this, Guarded([this] { CheckBox1Click(); }));
    Label1 = new QLabel(Text::Note1, this);
    Label4 = new QLabel(Text::Note2, this);
}

void Tslideshow::createPlaylist()
{
    Button1 = placed(new QPushButton(Text::Add, this), {232, 108, 90, 26});
    Button2 = placed(new QPushButton(Text::AddFolder, this), {328, 108, 100, 26});
    for (QPushButton* button : {Button1, Button2})
        button->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, Guarded([this] { Button2Click(); }));

    playlist = placed(new QListWidget(this), {16, 140, 412, 245});
    playlist->setSelectionMode(QAbstractItemView::ExtendedSelection);
    playlist->installEventFilter(this);
    PopupMenu1 = new QMenu(this);
    Pidatpsnikuneboplaylist1 = PopupMenu1->addAction(Text::MenuAdd);
    connect(Pidatpsnikuneboplaylist1, &QAction::triggered, Button1, &QPushButton::click);
    Vymazatoznaenoupoloku1 = PopupMenu1->addAction(Text::MenuDelete);
    connect(Vymazatoznaenoupoloku1, &QAction::triggered, this,
            Guarded([this] { Vymazatoznaenoupoloku1Click(); }));
    playlist->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(playlist, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(playlist->viewport()->mapToGlobal(at)); });

    playcas = new QTimer(this);
    playcas->setInterval(SongSequencer::TickMs);
    connect(playcas, &QTimer::timeout, this, Guarded([this] { playcasTimer(); }));
}

void Tslideshow::FormCreate()
{
    setTallLayout(false);
    PlaylistFromStart = true;
}

void Tslideshow::setTallLayout(bool tall)
{
    Button1->setEnabled(tall);
    Button2->setEnabled(tall);
    setFixedSize(Width, tall ? TallHeight : CompactHeight);
    playlist->setVisible(tall);
    const int noteTop = tall ? 400 : 160;
    Label1->setGeometry(16, noteTop, 360, 15);
    Label4->setGeometry(16, noteTop + 15, 360, 15);
    BitBtn3->setGeometry(388, noteTop - 5, 40, 30);
}

void Tslideshow::CheckBox1Click()
{
    setTallLayout(CheckBox1->isChecked());
}

void Tslideshow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

void Tslideshow::FormShow()
{
    windows_.velka_fotka->cas->stop();
    playcas->stop();
    // Only a playing song: the pause toggle would wake one that an earlier
    // showing paused.
    if (player->Mode() == PlayerMode::Playing) player->Pause();
    // A start whose first music tick never came leaves no busy cursor behind.
    AppCursor::SetNormal();
}

bool Tslideshow::Edit1KeyPress(QChar character)
{
    if (character == u'\b' || (character >= u'0' && character <= u'9')) return true;
    QApplication::beep();
    return false;
}

bool Tslideshow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == Edit1 && !IsDialogKey(key->key())) {
            if (const std::optional<QChar> character = TypedCharacter(*key))
                return !Edit1KeyPress(*character);
        }
        if (watched == playlist && (key->key() == Qt::Key_Delete || key->key() == Qt::Key_F1)) {
            RunGuarded([&] { playlistKeyDown(key->key()); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tslideshow::keyPressEvent(QKeyEvent* event)
{
    // Esc is the stop button's key, not a plain close.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        BitBtn3->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tslideshow::BitBtn1Click()
{
    if (Edit1->text().isEmpty()) {
        WarnNoInterval();
        return;
    }
    QTimer* cas = windows_.velka_fotka->cas;
    const std::optional<int> interval =
        SlideInterval::Milliseconds(Edit1->text(), UnitOf(*ComboBox1), cas->interval());
    if (!interval) {
        WarnNoInterval();
        return;
    }

    AppCursor::SetBusy();
    // With music the first tick of the music timer ends the busy cursor;
    // every other way out of here ends it now.
    bool musicPlays = false;
    const auto restoreCursor = qScopeGuard([&] {
        if (!musicPlays) AppCursor::SetNormal();
    });
    cas->setInterval(*interval);
    if (RadioGroup1->ItemIndex() == 1) startFromFirstPicture();
    if (CheckBox1->isChecked()) musicPlays = music_.StartMusic(playlistEntries());
    cursorAwaitsMusicTick_ = musicPlays;
    cas->start();
    hide();
    SlideshowRunning = true;
}

void Tslideshow::startFromFirstPicture()
{
    PhotoList photos(*windows_.nastaveni->FileListBox1);
    photos.SetPosition(0);
    const QString first = photos.CurrentPath();
    if (!first.isEmpty()) windows_.velka_fotka->LoadPicture(first);
}

QStringList Tslideshow::playlistEntries() const
{
    QStringList entries;
    for (int row = 0; row < playlist->count(); ++row)
        entries.append(playlist->item(row)->text());
    return entries;
}

void Tslideshow::BitBtn3Click()
{
    SlideshowRunning = false;
    windows_.velka_fotka->cas->stop();
    StopMusic();
}

void Tslideshow::StopMusic()
{
    playcas->stop();
    player->Stop();
}

void Tslideshow::Button1Click()
{
    const auto restoreCursor = qScopeGuard([] { AppCursor::SetNormal(); });
    const std::optional<QString> chosen = Dialogs().ChooseOpenFile(Text::OpenFilter, QString());
    if (!chosen) return;
    if (!MusicFiles::IsM3uPlaylist(*chosen)) {
        playlist->addItem(*chosen);
        return;
    }
    AppCursor::SetBusy();
    M3uPlaylist::ReadSongs(*chosen, [this](const QString& song) { playlist->addItem(song); });
}

void Tslideshow::Button2Click()
{
    const std::optional<QString> folder = Dialogs().ChooseFolder(Text::ChooseFolder);
    if (folder) AddMusicFolder(*folder);
}

void Tslideshow::AddMusicFolder(const QString& path)
{
    ::AddMusicFolder(path, {[this](const QString& song) { playlist->addItem(song); },
                            [](const QString&) { Dialogs().ShowWarningDialog(Text::InternalError); },
                            [] { QCoreApplication::processEvents(); }});
}

void Tslideshow::Vymazatoznaenoupoloku1Click()
{
    if (!Dialogs().AskYesNo(Text::DeleteQuestion, Text::DeleteCaption)) return;
    if (playlist->currentRow() == 0) PlaylistFromStart = true;
    qDeleteAll(playlist->selectedItems());
}

void Tslideshow::playlistKeyDown(int key)
{
    if (key == Qt::Key_Delete) Vymazatoznaenoupoloku1Click();
    if (key == Qt::Key_F1)
        Dialogs().ShowMessageKind(Text::Help, Text::HelpCaption, DialogService::Information);
}

void Tslideshow::playcasTimer()
{
    // The first tick ends the start's busy cursor also when it already finishes the first song
    // (a song shorter than a tick, or an ended one resumed).
    const bool onFirstSong = music_.Tick();
    if (onFirstSong || cursorAwaitsMusicTick_) AppCursor::SetNormal();
    cursorAwaitsMusicTick_ = false;
}
