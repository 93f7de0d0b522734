#include "viewer/fotka_velka.h"

#include "controls/zoompicturebox.h"
#include "exif/pixly_exif.h"
#include "platform/colorref.h"
#include "platform/dialogservice.h"
#include "platform/handlerguard.h"
#include "platform/pixlyapplication.h"
#include "platform/settingsstore.h"
#include "settings/pixly_help.h"
#include "shell/storedsettings.h"
#include "shell/windows.h"
#include "slideshow/pixly_slide.h"
#include "sorting/photolist.h"
#include "viewer/hlavni_pixly.h"
#include "viewer/picturerequests.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {
namespace Text {
const QString Pixly = QStringLiteral("Pixly");
const QString Return = QStringLiteral("<<");
const QString ReturnHint = QStringLiteral("Návrat do hlavního okna");
const QString Slideshow = QStringLiteral("Slideshow ");
const QString SlideshowHint = QStringLiteral("Nastavení slideshow");
const QString MenuExif = QStringLiteral("EXIF informace");
const QString MenuNext = QStringLiteral("Další obrázek");
const QString MenuPrevious = QStringLiteral("Předchozí");
const QString MenuSlideshow = QStringLiteral("Slideshow");
const QString MenuReturn = QStringLiteral("Návrat do hlavního okna");
const QString MenuFolders = QStringLiteral("Návrat do nastavení programu");
const QString MenuHelp = QStringLiteral("Nápověda");
const QString MenuQuit = QStringLiteral("Konec programu");
const QString QuitQuestion = QStringLiteral("Opravdu chcete ukončit program Pixly?");
const QString Paused =
    QStringLiteral("Promítání bylo zastaveno.\rPotvrďte tuto zprávu a pro pokračování stiskněte mezerník.");
const QString SlideshowCaption = QStringLiteral("Slideshow");
const QString CurrentPicture = QStringLiteral("Aktuální obrázek:\r");
const PhotoActionTexts Actions{QStringLiteral("Zadejte název pro nový soubor:"),
                               QStringLiteral("Zadejte nový název pro soubor:")};
} // namespace Text

// Until the monitor resolution is applied the picture area keeps its designed size.
const QSize DesignedArea(1024, 768);
} // namespace

Tvelka_fotka::Tvelka_fotka(Windows& windows)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), windows_(windows),
      photos_(std::make_unique<PhotoList>(windows.PhotoListBox())), actions_(*this, Text::Actions)
{
    setFocusPolicy(Qt::StrongFocus);
    Image1 = new ZoomPictureBox(this);
    Image1->SetZoomAllowed([this] { return !windows_.slideshow->SlideshowRunning; });
    Image1->setGeometry(QRect(QPoint(0, 0), DesignedArea));
    pictures_ = std::make_unique<PictureRequests>(
        Image1->size(),
        [this](const ShownPicture& shown) {
            Image1->SetPicture(shown.fitted, shown.uprightSize, shown.picture.path);
            shown_ = shown.picture;
        },
        PictureRequests::Failed(), [&windows] { return windows.Display().otacet; },
        [&windows] { return windows.Display().barvy; });
    pictures_->FollowZoom(*Image1);
    connect(Image1, &PictureBox::doubleClicked, this, Guarded([this] { ReturnToMainWindow(); }));

    cas = new QTimer(this);
    cas->setInterval(1000);
    connect(cas, &QTimer::timeout, this, Guarded([this] { casTimer(); }));

    createButtons();
    createMenu();
    FormCreate();
}

Tvelka_fotka::~Tvelka_fotka() = default;

void Tvelka_fotka::createButtons()
{
    Button1 = new QPushButton(Text::Return, this);
    QFont returnFont(QStringLiteral("Bookman Old Style"));
    returnFont.setPixelSize(12);
    returnFont.setBold(true);
    Button1->setFont(returnFont);
    Button1->setToolTip(Text::ReturnHint);
    Button2 = new QPushButton(Text::Slideshow, this);
    QFont slideshowFont(QStringLiteral("Arial"));
    slideshowFont.setPixelSize(12);
    Button2->setFont(slideshowFont);
    Button2->setToolTip(Text::SlideshowHint);
    for (QPushButton* button : {Button1, Button2}) {
        button->setCursor(Qt::PointingHandCursor);
        // Keys go to the window's own maps whatever was clicked last.
        button->setFocusPolicy(Qt::NoFocus);
        button->installEventFilter(this);
    }
    connect(Button1, &QPushButton::clicked, this, Guarded([this] { ReturnToMainWindow(); }));
}

void Tvelka_fotka::createMenu()
{
    PopupMenu1 = new QMenu(this);
    const auto item = [this](const QString& caption, const QKeySequence& shortcut, auto handler) {
        QAction* action = PopupMenu1->addAction(caption);
        // Shown beside the item only; the window's key maps do the work.
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, Guarded(handler));
        return action;
    };
    Cestakobrzku1 =
        item(Text::MenuExif, QKeySequence(Qt::CTRL | Qt::Key_I), [this] { windows_.exifdata->exec(); });
    Dalobrzek1 = item(Text::MenuNext, QKeySequence(Qt::Key_Insert), [this] { NextPicture(); });
    Pedchoz1 = item(Text::MenuPrevious, QKeySequence(Qt::Key_Delete), [this] { PreviousPicture(); });
    Editorpixly1 = item(Text::MenuSlideshow, QKeySequence(Qt::Key_F2), [this] { ShowSlideshowSettings(); });
    Nvratdohlavnhookna1 =
        item(Text::MenuReturn, QKeySequence(Qt::CTRL | Qt::Key_F), [this] { ReturnToMainWindow(); });
    Nvratdonastavenprogramu1 = item(Text::MenuFolders, QKeySequence(Qt::Key_F5), [this] {
        windows_.FolderWindow().show();
        hide();
    });
    Npovda1 = item(Text::MenuHelp, QKeySequence(), [this] { windows_.help->exec(); });
    Konecprogramu1 = item(Text::MenuQuit, QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { QuitQuestion(); });

    // The menu belongs to the picture area: clicks beside the picture box do nothing.
    Image1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Image1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(Image1->mapToGlobal(at)); });
}

void Tvelka_fotka::FormCreate()
{
    setButtonSizes(false, false);
}

void Tvelka_fotka::setButtonSizes(bool button1Large, bool button2Large)
{
    const int areaWidth = Image1->width();
    if (button1Large)
        Button1->setGeometry(areaWidth - 25, 0, 25, 25);
    else
        Button1->setGeometry(areaWidth - 5, 0, 5, 5);
    Button2->setGeometry(0, 0, button2Large ? 73 : 5, button2Large ? 33 : 5);
}

void Tvelka_fotka::SetPictureAreaSize(const QSize& size)
{
    Image1->resize(size);
    pictures_->SetBoxSize(size);
}

bool Tvelka_fotka::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Button1 || watched == Button2) {
        if (event->type() == QEvent::Enter) setButtonSizes(watched == Button1, watched == Button2);
        if (event->type() == QEvent::Leave) setButtonSizes(false, false);
        if (watched == Button2 && event->type() == QEvent::MouseButtonPress) {
            RunGuarded([this] { ShowSlideshowSettings(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Tvelka_fotka::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    showMaximized();
    RunGuarded([this] { FormShow(); });
}

void Tvelka_fotka::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous()) RunGuarded([this] { FormHide(); });
}

void Tvelka_fotka::FormShow()
{
    SetBackground(this, windows_.Display().velka);
    ShowCurrentPicture();
}

void Tvelka_fotka::FormHide()
{
    // Leaving ends a slideshow as its stop button does: the advance would go
    // on moving the list under the other windows, and a show still marked
    // running would take every key of the next visit for itself.
    windows_.slideshow->BitBtn3Click();
    pictures_->Forget();
    windows_.slideshow->PlaylistFromStart = true;
    const QString current = photos_->CurrentPath();
    if (!current.isEmpty()) windows_.hlavni->LoadPicture(current);
}

void Tvelka_fotka::LoadPicture(const QString& path)
{
    ShownPicture picture = pictures_->LoadNow(path);
    Image1->SetPicture(picture.fitted, picture.uprightSize, path);
    shown_ = std::move(picture.picture);
}

void Tvelka_fotka::PresentCurrentPicture()
{
    pictures_->Present(photos_->CurrentPath(), [this](const QString& unreadable) {
        // No label names the picture here: the box shows none rather than another one.
        Image1->SetPicture(QImage(), QSize(), unreadable);
        shown_ = LoadedPicture();
    });
}

void Tvelka_fotka::LoadPictureFrom(const QString& path)
{
    LoadPicture(path);
}

void Tvelka_fotka::ShowCurrentPicture()
{
    const QString path = photos_->CurrentPath();
    if (path.isEmpty()) {
        // Nothing left to show (the last picture was deleted): back to the folders.
        if (isVisible()) {
            Dialogs().ShowMessageKind(QStringLiteral("Nevybral jste žádný obrázek!"), Text::Pixly,
                                      DialogService::Error);
            windows_.FolderWindow().show();
            hide();
        }
        return;
    }
    pictures_->Show(path, photos_->Nearby(2));
}

void Tvelka_fotka::NextPicture()
{
    Navigation::StepNext(*photos_);
    ShowCurrentPicture();
}

void Tvelka_fotka::PreviousPicture()
{
    Navigation::StepPrevious(*photos_);
    ShowCurrentPicture();
}

void Tvelka_fotka::ReturnToMainWindow()
{
    windows_.hlavni->show();
    hide();
}

void Tvelka_fotka::ShowSlideshowSettings()
{
    windows_.slideshow->exec();
    // A slideshow shows its pictures fitted.
    if (windows_.slideshow->SlideshowRunning) Image1->LeaveZoom();
}

void Tvelka_fotka::QuitQuestion()
{
    if (!Dialogs().AskYesNo(Text::QuitQuestion, Text::Pixly)) return;
    close();
    // The main viewer closes too, without asking again, so its bounds are the ones stored last.
    windows_.hlavni->CloseWithoutAsking();
}

void Tvelka_fotka::casTimer()
{
    if (photos_->Position() != photos_->Count() - 1) {
        photos_->SetPosition(photos_->Position() + 1);
        ShowCurrentPicture();
        return;
    }
    // No further advances stack up behind the question.
    cas->stop();
    if (Navigation::AskStartAgain()) {
        photos_->SetPosition(0);
        cas->start();
        ShowCurrentPicture();
    } else {
        ShowSlideshowSettings();
    }
}

void Tvelka_fotka::resumeSlideshow()
{
    // At the last picture resuming asks as the timer would, so the list
    // never ends up without a current picture.
    if (photos_->Position() < photos_->Count() - 1) {
        photos_->SetPosition(photos_->Position() + 1);
    } else if (Navigation::AskStartAgain()) {
        photos_->SetPosition(0);
    } else {
        ShowSlideshowSettings();
        return;
    }
    ShowCurrentPicture();
    cas->start();
}

bool Tvelka_fotka::slideshowKey(int key)
{
    if (!windows_.slideshow->SlideshowRunning) return false;
    if (key == Qt::Key_Space && cas->isActive()) {
        cas->stop();
        Dialogs().ShowMessageKind(Text::Paused, Text::SlideshowCaption, DialogService::Information);
    } else if (key == Qt::Key_Space) {
        resumeSlideshow();
    } else {
        ShowSlideshowSettings();
    }
    return true;
}

void Tvelka_fotka::controlKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (ctrl && key == Qt::Key_F) {
        windows_.hlavni->show();
        hide();
    }
    if (key == Qt::Key_F2) ShowSlideshowSettings();
    if (ctrl && key == Qt::Key_Q) QuitQuestion();
    if (ctrl && (key == Qt::Key_I || key == Qt::Key_S)) PresentCurrentPicture();
    if (ctrl && key == Qt::Key_I) windows_.exifdata->exec();
    if (ctrl && key == Qt::Key_S) actions_.SaveToNewFile(shown_, windows_.ActionContextFor(*photos_));
    if (IsUndoKey(key, modifiers)) actions_.Undo(windows_.ActionContextFor(*photos_));
}

void Tvelka_fotka::plainKey(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_PageUp:
    case Qt::Key_Left: PreviousPicture(); break;
    case Qt::Key_Pause: ShowSlideshowSettings(); break;
    case Qt::Key_Space:
    case Qt::Key_PageDown:
    case Qt::Key_Right: NextPicture(); break;
    case Qt::Key_Delete: actions_.Delete(windows_.ActionContextFor(*photos_)); break;
    case Qt::Key_F1: windows_.help->exec(); break;
    case Qt::Key_F5:
        windows_.FolderWindow().show();
        hide();
        break;
    default: break;
    }
}

void Tvelka_fotka::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (slideshowKey(key)) return;
    controlKey(key, modifiers);
    plainKey(key);
}

void Tvelka_fotka::FormKeyPress(QChar character)
{
    switch (character.unicode()) {
    case 13: ReturnToMainWindow(); break;
    case 27:
        // Esc leaves the zoom first.
        if (!Image1->LeaveZoom()) QuitQuestion();
        break;
    case 'Z':
    case 'z': Image1->ToggleZoom(); break;
    case '+': NextPicture(); break;
    case '-': PreviousPicture(); break;
    case 'I':
    case 'i':
        PresentCurrentPicture();
        Dialogs().ShowMessageKind(Text::CurrentPicture + QFileInfo(photos_->CurrentPath()).fileName(),
                                  Text::Pixly, DialogService::Information);
        break;
    default: actions_.CharacterKey(character, windows_.ActionContextFor(*photos_)); break;
    }
}

void Tvelka_fotka::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    // A key that the running slideshow takes gives no character as well.
    const bool slideshowTakesKeys = windows_.slideshow->SlideshowRunning;
    RunGuarded([&] { FormKeyDown(event->key(), event->modifiers()); });
    if (!slideshowTakesKeys && !event->text().isEmpty())
        RunGuarded([&] { FormKeyPress(event->text().at(0)); });
}

void Tvelka_fotka::FormClose()
{
    RequestTermination();
    SettingsStore store(SettingsStore::Access::Write);
    StoredSettings::WriteBounds(store, frameGeometry());
    StoredSettings::WriteFolders(store, windows_.CurrentFolders());
}

void Tvelka_fotka::closeEvent(QCloseEvent* event)
{
    RunGuarded([this] { FormClose(); });
    event->accept();
}
