#include "viewer/hlavni_pixly.h"

#include "controls/zoompicturebox.h"
#include "platform/colorref.h"
#include "platform/dialogservice.h"
#include "platform/handlerguard.h"
#include "platform/pixlyapplication.h"
#include "platform/settingsstore.h"
#include "settings/nast_pixly_prog.h"
#include "settings/pixly_about.h"
#include "settings/pixly_help.h"
#include "shell/makerweb.h"
#include "shell/storedsettings.h"
#include "shell/windows.h"
#include "slideshow/pixly_slide.h"
#include "sorting/photofiles.h"
#include "sorting/photolist.h"
#include "viewer/fotka_velka.h"
#include "viewer/picturerequests.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QResizeEvent>

namespace {
namespace Text {
const QString Pixly = QStringLiteral("Pixly");
const QString CaptionPrefix = QStringLiteral("Vendrax ");
const QString FileNameTitle = QStringLiteral("Název souboru:");
const QString FileNameHint = QStringLiteral("Název souboru");
const QString NoPicture = QStringLiteral("Nevybral jste žádný obrázek!");
const QString QuitQuestion = QStringLiteral("Opravdu chcete ukončit program Pixly?");
const QString MenuProgram = QStringLiteral("Program");
const QString MenuFullScreen = QStringLiteral("Celá obrazovka");
const QString MenuQuit = QStringLiteral("&Konec");
const QString MenuSettings = QStringLiteral("Nastavení");
const QString MenuFolders = QStringLiteral("Nastavení složek");
const QString MenuProgramSettings = QStringLiteral("Nastavení programu");
const QString MenuAboutGroup = QStringLiteral("O programu");
const QString MenuHelp = QStringLiteral("Nápověda");
const QString MenuAbout = QStringLiteral("O programu");
const QString MenuWeb = QStringLiteral("Web");
// The path, and the zoom while zoomed.
const QString ZoomedPath = QStringLiteral("%1 – %2 %");
const PhotoActionTexts Actions{QStringLiteral("Zadej název pro nový soubor:"),
                               QStringLiteral("Zadej nový název pro soubor:")};
} // namespace Text
} // namespace

Thlavni::Thlavni(Windows& windows)
    : QWidget(nullptr), windows_(windows), photos_(std::make_unique<PhotoList>(windows.PhotoListBox())),
      actions_(*this, Text::Actions)
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFocusPolicy(Qt::StrongFocus);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    resize(1025, 700);

    createMenu();
    const int top = MainMenu1->sizeHint().height();
    Image1 = new ZoomPictureBox(this);
    Image1->setGeometry(8, top + 8, 1009, 649);
    pictures_ = std::make_unique<PictureRequests>(
        Image1->size(),
        [this](const ShownPicture& shown) {
            Image1->SetPicture(shown.fitted, shown.uprightSize, shown.picture.path);
            drawnPath_ = shown.picture.path;
        },
        [this] { SetPathLabel(drawnPath_); }, [&windows] { return windows.Display().otacet; },
        [&windows] { return windows.Display().barvy; });
    pictures_->FollowZoom(*Image1);

    Label1 = new QLabel(this);
    QFont titleFont(QStringLiteral("Arial Black"));
    titleFont.setPixelSize(11);
    titleFont.setWeight(QFont::Black);
    Label1->setFont(titleFont);
    Label1->setToolTip(Text::FileNameHint);
    Label1->move(8, top + 670);

    Label2 = new QLabel(this);
    // A file name is shown as it is, never read as markup.
    Label2->setTextFormat(Qt::PlainText);
    QFont pathFont(QStringLiteral("Arial"));
    pathFont.setPixelSize(13);
    Label2->setFont(pathFont);
    Label2->setAutoFillBackground(true);
    QPalette pathPalette = Label2->palette();
    pathPalette.setColor(QPalette::Window,
                         palette().color(QPalette::Inactive, QPalette::Highlight).lighter(150));
    Label2->setPalette(pathPalette);
    Label2->setGeometry(104, top + 668, 913, 18);

    connect(Image1, &PictureBox::doubleClicked, this, Guarded([this] { OpenFullScreen(false); }));
    connect(Image1, &ZoomPictureBox::zoomChanged, this, [this] { SetPathLabel(labelPath_); });
    FormCreate();
}

Thlavni::~Thlavni() = default;

void Thlavni::createMenu()
{
    MainMenu1 = new QMenuBar(this);
    QMenu* program = MainMenu1->addMenu(Text::MenuProgram);
    Celobrazovka1 = program->addAction(Text::MenuFullScreen);
    Celobrazovka1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    Konec1 = program->addAction(Text::MenuQuit);
    Konec1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu* settings = MainMenu1->addMenu(Text::MenuSettings);
    Nastavensloek1 = settings->addAction(Text::MenuFolders);
    Nastavensloek1->setShortcut(QKeySequence(Qt::Key_F5));
    Nastavenprogramu1 = settings->addAction(Text::MenuProgramSettings);
    Nastavenprogramu1->setShortcut(QKeySequence(Qt::Key_F6));
    QMenu* about = MainMenu1->addMenu(Text::MenuAboutGroup);
    Npovda1 = about->addAction(Text::MenuHelp);
    rogramu1 = about->addAction(Text::MenuAbout);
    Web1 = about->addAction(Text::MenuWeb);
    Web1->setVisible(MakerWeb::Available());
    // The menu bar's actions act as window shortcuts whatever has the focus.
    for (QAction* action : {Celobrazovka1, Konec1, Nastavensloek1, Nastavenprogramu1})
        addAction(action);

    connect(Celobrazovka1, &QAction::triggered, this, Guarded([this] { OpenFullScreen(false); }));
    connect(Konec1, &QAction::triggered, this, Guarded([this] { windows_.FolderWindow().close(); }));
    connect(Nastavensloek1, &QAction::triggered, this, Guarded([this] { backToFolderWindow(); }));
    connect(Nastavenprogramu1, &QAction::triggered, this, Guarded([this] { windows_.Form6->exec(); }));
    connect(Npovda1, &QAction::triggered, this, Guarded([this] { windows_.help->exec(); }));
    connect(rogramu1, &QAction::triggered, this, Guarded([this] { windows_.about->exec(); }));
    connect(Web1, &QAction::triggered, this, Guarded([] { MakerWeb::Open(QStringLiteral("/")); }));
}

void Thlavni::FormCreate()
{
    Label1->setText(Text::FileNameTitle);
    Label1->adjustSize();
    SetPathLabel(photos_->CurrentPath());
}

void Thlavni::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    // The controls keep their fixed places; the window always opens filling the screen.
    showMaximized();
    RunGuarded([this] { FormShow(); });
}

void Thlavni::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Pictures read ahead are of no use while another window shows them.
    pictures_->Forget();
}

void Thlavni::FormShow()
{
    SetBackground(this, windows_.Display().hlavni);
    setWindowTitle(Text::CaptionPrefix + windows_.Version());
    Label1->setText(Text::FileNameTitle);
    SetPathLabel(photos_->CurrentPath());
    // A first picture that cannot be shown leaves its own path in the label.
    drawnPath_ = photos_->CurrentPath();
    if (!photos_->CurrentPath().isEmpty()) {
        ShowCurrentPicture();
    } else {
        Dialogs().ShowMessageKind(Text::NoPicture, Text::Pixly, DialogService::Error);
        backToFolderWindow();
    }
}

void Thlavni::backToFolderWindow()
{
    hide();
    windows_.FolderWindow().show();
}

void Thlavni::LoadPicture(const QString& path)
{
    const ShownPicture shown = pictures_->LoadNow(path);
    Image1->SetPicture(shown.fitted, shown.uprightSize, path);
    drawnPath_ = path;
}

void Thlavni::LoadPictureFrom(const QString& path)
{
    LoadPicture(path);
}

void Thlavni::PresentCurrentPicture()
{
    pictures_->Present(photos_->CurrentPath(), [this](const QString& unreadable) {
        // The label names the picture the key acts on; the box shows no other one.
        Image1->SetPicture(QImage(), QSize(), unreadable);
        drawnPath_ = unreadable;
        SetPathLabel(unreadable);
    });
}

void Thlavni::SetPathLabel(const QString& path)
{
    labelPath_ = path;
    const QString photo = PhotoLabel(photos_->FilesOf(path));
    Label2->setText(Image1->Zoomed() ? Text::ZoomedPath.arg(photo, QString::number(Image1->ZoomPercent()))
                                     : photo);
}

void Thlavni::ShowCurrentPicture()
{
    const QString path = photos_->CurrentPath();
    if (path.isEmpty()) {
        // The folder has no picture left to show.
        if (isVisible()) {
            Dialogs().ShowMessageKind(Text::NoPicture, Text::Pixly, DialogService::Error);
            backToFolderWindow();
        }
        return;
    }
    // The label moves at once; the picture shown stays until the new one is ready.
    SetPathLabel(path);
    pictures_->Show(path, photos_->Nearby(2));
}

void Thlavni::NextPicture()
{
    Navigation::StepNext(*photos_);
    ShowCurrentPicture();
}

void Thlavni::PreviousPicture()
{
    Navigation::StepPrevious(*photos_);
    ShowCurrentPicture();
}

void Thlavni::OpenFullScreen(bool stayWithoutPicture)
{
    if (!photos_->CurrentPath().isEmpty()) {
        hide();
        windows_.FullScreenWindow().show();
        return;
    }
    Dialogs().ShowMessageKind(Text::NoPicture, Text::Pixly, DialogService::Error);
    if (!stayWithoutPicture) backToFolderWindow();
}

void Thlavni::FormKeyDown(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_PageUp:
    case Qt::Key_Left: PreviousPicture(); break;
    case Qt::Key_Space:
    case Qt::Key_PageDown:
    case Qt::Key_Right: NextPicture(); break;
    case Qt::Key_Delete: actions_.Delete(windows_.ActionContextFor(*photos_)); break;
    case Qt::Key_F1: windows_.help->exec(); break;
    case Qt::Key_F2:
        hide();
        windows_.FullScreenWindow().show();
        windows_.slideshow->exec();
        break;
    default: break;
    }
}

void Thlavni::FormKeyPress(QChar character)
{
    switch (character.unicode()) {
    case 13: OpenFullScreen(true); break;
    case 27:
        // Esc leaves the zoom first.
        if (!Image1->LeaveZoom() && Dialogs().AskYesNo(Text::QuitQuestion, Text::Pixly)) RequestTermination();
        break;
    case 'Z':
    case 'z': Image1->ToggleZoom(); break;
    case '+': NextPicture(); break;
    case '-': PreviousPicture(); break;
    default: actions_.CharacterKey(character, windows_.ActionContextFor(*photos_)); break;
    }
}

void Thlavni::keyPressEvent(QKeyEvent* event)
{
    if (IsUndoKey(event->key(), event->modifiers())) {
        RunGuarded([this] { actions_.Undo(windows_.ActionContextFor(*photos_)); });
        event->accept();
        return;
    }
    // Key codes first, then the character the key gives; no key is in both maps.
    RunGuarded([&] { FormKeyDown(event->key()); });
    if (!event->text().isEmpty()) RunGuarded([&] { FormKeyPress(event->text().at(0)); });
    event->accept();
}

void Thlavni::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    // Labels pass their clicks on to the window; only the bare background acts.
    if (event->button() != Qt::LeftButton || childAt(event->position().toPoint())) return;
    RunGuarded([this] { OpenFullScreen(false); });
}

void Thlavni::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A menu bar outside a layout keeps the width of its items; it spans the window.
    MainMenu1->setGeometry(0, 0, width(), MainMenu1->sizeHint().height());
}

bool Thlavni::FormCloseQuery()
{
    return Dialogs().AskYesNo(Text::QuitQuestion, Text::Pixly);
}

void Thlavni::FormClose()
{
    RequestTermination();
    SettingsStore store(SettingsStore::Access::Write);
    StoredSettings::WriteBounds(store, frameGeometry());
    StoredSettings::WriteFolders(store, windows_.CurrentFolders());
}

void Thlavni::CloseWithoutAsking()
{
    quitConfirmed_ = true;
    close();
}

void Thlavni::closeEvent(QCloseEvent* event)
{
    bool accepted = quitConfirmed_;
    if (!accepted) RunGuarded([&] { accepted = FormCloseQuery(); });
    if (!accepted) {
        event->ignore();
        return;
    }
    RunGuarded([this] { FormClose(); });
    event->accept();
}
