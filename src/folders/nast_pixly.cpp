#include "folders/nast_pixly.h"

#include "controls/directorylistbox.h"
#include "controls/drivecombobox.h"
#include "controls/filelistbox.h"
#include "controls/picturebox.h"
#include "controls/radiogroup.h"
#include "folders/builtinpreview.h"
#include "folders/favouritesview.h"
#include "folders/filetypes.h"
#include "folders/folderdragdrop.h"
#include "folders/folderfavourites.h"
#include "folders/folderfileoperations.h"
#include "folders/folderpreview.h"
#include "platform/appcursor.h"
#include "platform/colorref.h"
#include "platform/dialogservice.h"
#include "platform/handlerguard.h"
#include "platform/pixlyapplication.h"
#include "platform/settingsstore.h"
#include "platform/systeminfo.h"
#include "resample/pixly_spec.h"
#include "settings/nast_pixly_prog.h"
#include "shell/pixly_flash.h"
#include "shell/storedsettings.h"
#include "shell/windows.h"
#include "slideshow/pixly_slide.h"
#include "sorting/photofiles.h"
#include "sorting/photolist.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <optional>

namespace {

namespace Text {
const QString Caption = QStringLiteral("Nastavení");
const QString SourceTitle = QStringLiteral("Odkud brát soubory:");
const QString DestinationTitle = QStringLiteral("Kam dávat soubory:");
const QString CurrentPath = QStringLiteral("Aktuální cesta:");
const QString Preview = QStringLiteral("Náhled:");
const QString SourceDriveHint = QStringLiteral("Vyber zdrojovou diskovou jednotku");
const QString SourcePathHint = QStringLiteral("Zadej cestu k zdrojové složce");
const QString DestinationDriveHint = QStringLiteral("Vyber cílovou diskovou jednotku");
const QString DestinationPathHint = QStringLiteral("Zadej cestu k cílové složce");
const QString ActionCaption = QStringLiteral("Soubory:");
const QString ActionHint = QStringLiteral("Vyber, co se má se soubory dělat");
const QStringList ActionItems{QStringLiteral("kopírovat"), QStringLiteral("přejmenovávat")};
const QString Swap = QStringLiteral("Prohodit");
const QString SwapHint = QStringLiteral("Prohodit cesty ke složkám");
const QString TypeCaption = QStringLiteral("Typ souborů");
const QString TypeHint = QStringLiteral("Vyber typ zobrazovaných souborů");
const QString PreviewHint = QStringLiteral("Náhled obrázku - poklikáním otevři");
const QString NewFolder = QStringLiteral("Nová složka");
const QString NewFolderHint = QStringLiteral("Vytvoří novou složku v aktuálně vybrané");
const QString OpenHint = QStringLiteral("Přepne do hlavního okna programu");
const QString Resample = QStringLiteral("Resample");
const QString ResampleHint = QStringLiteral("Zobrazí okno pro práci s velikostí obrázků");
const QString HelpButton = QStringLiteral("F1 - Nápověda");
const QString MenuOpen = QStringLiteral("Otevřít");
const QString MenuOpenLarge = QStringLiteral("Otevřít velkou");
const QString MenuSlideshow = QStringLiteral("Slideshow");
const QString MenuDelete = QStringLiteral("Smazat");
const QString Pixly = QStringLiteral("Pixly");
const QString NoPicture = QStringLiteral("Nevybral jste žádný obrázek!");
const QString QuitQuestion = QStringLiteral("Opravdu chcete ukončit program Pixly?");
const QString DriveUnavailable = QStringLiteral("Jednotka %1 je nedostupná!");
const QString DriveUnavailableCaption = QStringLiteral("Disk nedostupný!");
const QString HelpCaption = QStringLiteral("Help");
const QString HelpText = QStringLiteral(
    "Zde můžete nastavit složky, se kterými se bude pracovat.\rZe složky nalevo bude program brát obrázky na "
    "prohlížení,\rk případnému kopírování či přesouvání slouží pravá složka.\rPoklepáním na vybraný obrázek "
    "se "
    "obrázek otevře.\rPoužít lze také menu (klik pravým tlačítkem na obrázek).");
} // namespace Text

constexpr int EntryColour = 13739901;

QFont arial(int points)
{
    return QFont(QStringLiteral("Arial"), points);
}

// Puts a control at its place, with its hint when it has one.
template <typename Control> Control* placed(Control* control, const QRect& place, const QString& hint = {})
{
    control->setGeometry(place);
    if (!hint.isEmpty()) control->setToolTip(hint);
    return control;
}

QLabel* label(const QString& text, const QPoint& at, QWidget* parent, const std::optional<QFont>& font = {})
{
    auto* control = new QLabel(text, parent);
    if (font) control->setFont(*font);
    control->move(at);
    control->adjustSize();
    return control;
}

// The path fields only show their side's folder and are not reached with Tab.
QLineEdit* pathField(QLineEdit* field)
{
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
    return field;
}

void setEntryColour(QWidget* control)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, ColorFromRef(EntryColour));
    control->setPalette(palette);
}

bool folderExists(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

// No stored folder starts at the user's pictures; a stored one that has
// gone at the root.
QString startingFolder(const QString& stored)
{
    if (stored.isEmpty()) return SystemInfo::DefaultPicturesFolder();
    return folderExists(stored) ? stored : SystemInfo::SystemRoot();
}

} // namespace

Tnastaveni::Tnastaveni(Windows& windows)
    : QWidget(nullptr), favourites(*this), fileOperations(*this), preview(*this), windows_(windows)
{
    setWindowTitle(Text::Caption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // A click beside the controls gives the window its own keys (F1, F5);
    // Tab never stops on the window itself.
    setFocusPolicy(Qt::ClickFocus);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(1017, 697);
    createControls();
    createMenus();
    connectHandlers();
    FormCreate();
    // The radio buttons exist only once FormCreate has given the groups their items.
    setTabOrderOfControls();
}

void Tnastaveni::createControls()
{
    QFont titleFont(QStringLiteral("Bookman Old Style"), 14);
    titleFont.setBold(true);

    Label3 = label(Text::SourceTitle, {16, 8}, this, titleFont);
    DriveComboBox1 = placed(new DriveComboBox(this), {16, 48, 217, 21}, Text::SourceDriveHint);
    DirectoryListBox1 = placed(new DirectoryListBox(this), {16, 72, 217, 257});
    Label1 = label(Text::CurrentPath, {16, 336}, this);
    Edit1 = pathField(placed(new QLineEdit(this), {16, 352, 449, 22}, Text::SourcePathHint));
    FileListBox1 = placed(new FileListBox(this), {16, 392, 217, 305});
    favourites.CreatePanel();
    RadioGroup1 = placed(new RadioGroup(Text::ActionCaption, this), {240, 232, 209, 113}, Text::ActionHint);

    BitBtn2 = placed(new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), Text::Swap, this),
                     {469, 351, 79, 24}, Text::SwapHint);
    RadioGroup2 = placed(new RadioGroup(Text::TypeCaption, this), {239, 385, 209, 89}, Text::TypeHint);
    Label5 = label(Text::Preview, {239, 482}, this);
    Image1 = placed(new PictureBox(PictureBox::Placement::EnlargeTopLeft, this), {240, 504, 193, 193},
                    Text::PreviewHint);
    Image1->setCursor(Qt::PointingHandCursor);

    Label4 = label(Text::DestinationTitle, {552, 8}, this, titleFont);
    DriveComboBox2 = placed(new DriveComboBox(this), {552, 48, 225, 21}, Text::DestinationDriveHint);
    DirectoryListBox2 = placed(new DirectoryListBox(this), {552, 72, 225, 257});
    Button2 = placed(new QPushButton(Text::NewFolder, this), {784, 72, 89, 25}, Text::NewFolderHint);
    Button2->setFocusPolicy(Qt::ClickFocus);
    Label2 = label(Text::CurrentPath, {552, 336}, this);
    Edit2 = pathField(placed(new QLineEdit(this), {552, 352, 457, 22}, Text::DestinationPathHint));
    FileListBox2 = placed(new FileListBox(this), {552, 392, 233, 249});

    BitBtn1 =
        placed(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this),
               {456, 647, 137, 41}, Text::OpenHint);
    Button1 = placed(new QPushButton(Text::Resample, this), {656, 648, 89, 41}, Text::ResampleHint);
    BitBtn3 =
        placed(new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), Text::HelpButton, this),
               {890, 0, 130, 33});
    BitBtn3->setFocusPolicy(Qt::ClickFocus);

    const std::initializer_list<QWidget*> lists{DriveComboBox1, DirectoryListBox1, FileListBox1,
                                                DriveComboBox2, DirectoryListBox2, FileListBox2};
    const std::initializer_list<QWidget*> fields{Edit1, Edit2, ListView1};
    for (QWidget* list : lists) {
        list->setFont(arial(9));
        setEntryColour(list);
    }
    for (QWidget* field : fields) {
        field->setFont(arial(8));
        setEntryColour(field);
    }
}

void Tnastaveni::createMenus()
{
    menu_image = new QMenu(this);
    connect(menu_image->addAction(Text::MenuOpen), &QAction::triggered, this,
            Guarded([this] { OpenMainViewer(); }));
    connect(menu_image->addAction(Text::MenuOpenLarge), &QAction::triggered, this,
            Guarded([this] { OpenFullScreen(); }));
    connect(menu_image->addAction(Text::MenuSlideshow), &QAction::triggered, this,
            Guarded([this] { OpenSlideshow(); }));
    connect(menu_image->addAction(Text::MenuDelete), &QAction::triggered, this,
            Guarded([this] { Smazat1Click(); }));

    dir2list = new QMenu(this);
    connect(dir2list->addAction(Text::NewFolder), &QAction::triggered, Button2, &QPushButton::click);

    const auto attach = [](QWidget* control, QMenu* menu) {
        // Lists report the place of the request in their viewport.
        const auto* list = qobject_cast<QAbstractScrollArea*>(control);
        QWidget* area = list ? list->viewport() : control;
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(control, &QWidget::customContextMenuRequested, menu,
                         [area, menu](const QPoint& at) { menu->popup(area->mapToGlobal(at)); });
    };
    attach(Image1, menu_image);
    attach(FileListBox1, menu_image);
    attach(DirectoryListBox2, dir2list);
}

void Tnastaveni::setTabOrderOfControls()
{
    // Each radio group is chained in by its buttons; Qt then enters an
    // exclusive group at its checked button.
    QList<QWidget*> order{DriveComboBox1, DirectoryListBox1, FileListBox1, ListView1, pridat, zmenit, smazat};
    for (RadioGroup* group : {RadioGroup1, RadioGroup2})
        for (QAbstractButton* button : group->Buttons())
            order.append(button);
    order.append({DriveComboBox2, DirectoryListBox2, FileListBox2, BitBtn1, Button1, BitBtn2});
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void Tnastaveni::connectHandlers()
{
    // Ctrl+Z takes back the last sorting step whatever control has the focus; a path field keeps
    // it for its own text.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this), &QShortcut::activated, this,
            Guarded([this] {
                if (auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
                    field->undo();
                else
                    fileOperations.UndoLastStep();
            }));
    connect(DriveComboBox1, &DriveComboBox::driveChosen, this,
            [this](const QString& drive) { RunGuarded([&] { DriveComboBox1Change(drive); }); });
    connect(DriveComboBox2, &DriveComboBox::driveChosen, this,
            [this](const QString& drive) { RunGuarded([&] { DriveComboBox2Change(drive); }); });
    connect(DirectoryListBox1, &DirectoryListBox::directoryChanged, this,
            Guarded([this] { DirectoryListBox1Change(); }));
    connect(DirectoryListBox2, &DirectoryListBox::directoryChanged, this,
            Guarded([this] { DirectoryListBox2Change(); }));
    connect(Edit1, &QLineEdit::returnPressed, this, Guarded([this] { Edit1KeyEnter(); }));
    connect(Edit2, &QLineEdit::returnPressed, this, Guarded([this] { Edit2KeyEnter(); }));
    connect(Edit2, &QLineEdit::textChanged, Edit2, &QLineEdit::selectAll);
    connect(RadioGroup2, &RadioGroup::clicked, this, Guarded([this] { RadioGroup2Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    connect(Button2, &QPushButton::clicked, this, Guarded([this] { Button2Click(); }));
    connect(BitBtn3, &QPushButton::clicked, this, Guarded([this] { BitBtn3Click(); }));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { OpenMainViewer(); }));
    connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
    connect(Image1, &PictureBox::doubleClicked, this, Guarded([this] { OpenMainViewer(); }));
    connect(FileListBox1, &FileListBox::mousePressed, this, Guarded([this] { FileListBox1MouseDown(); }));
    connect(ListView1, &FavouritesView::listDoubleClicked, this, Guarded([this] { ListView1DblClick(); }));

    drops = fileOperations.AcceptDrops();

    // Labels select the text of their path fields when clicked.
    Label1->installEventFilter(this);
    Label2->installEventFilter(this);
    Edit1->installEventFilter(this);
    // A double-click anywhere in the source list opens, on a file or beside the files.
    FileListBox1->viewport()->installEventFilter(this);
    for (QWidget* control : std::initializer_list<QWidget*>{
             DriveComboBox1, DirectoryListBox1, FileListBox1, ListView1, pridat, zmenit, smazat,
             DriveComboBox2, DirectoryListBox2, Button2, BitBtn1, Button1, BitBtn3, FileListBox2, BitBtn2})
        control->installEventFilter(this);
}

void Tnastaveni::FormCreate()
{
    startDir = QDir::toNativeSeparators(QDir::currentPath());
    hide();
    verze = windows_.Form7->verze;

    const DisplaySettings defaults =
        StoredSettings::DefaultDisplay(SystemInfo::PrimaryScreenSize(), startDir);
    {
        SettingsStore store(SettingsStore::Access::Read);
        if (const auto bounds = StoredSettings::ReadBounds(store, geometry())) setGeometry(*bounds);
        if (const auto folders = StoredSettings::ReadFolders(store)) {
            storedDirectory1_ = folders->directory1;
            storedDirectory2_ = folders->directory2;
        }
        applyStoredFolders(storedDirectory1_, storedDirectory2_);
        nast = StoredSettings::ReadDisplay(store, defaults).value_or(defaults);
    }

    SetBackground(this, nast.nastaveni);
    ListView1->clearSelection();
    Edit1->setText(DirectoryListBox1->Directory());
    Edit2->setText(DirectoryListBox2->Directory());

    RadioGroup1->SetItems(Text::ActionItems);
    RadioGroup1->SetItemIndex(0);
    FileTypes(nast.formaty).ShowIn(*RadioGroup2);
    ApplyGrouping();

    QDir::setCurrent(startDir);
    nast.orig = StoredSettings::CompleteDefaultPicture(nast.orig, startDir);
    Image1->SetPicture(BuiltInPreview());
    preview.LoadQuietly(nast.orig);
    defaultPicture = nast.orig;

    favourites.Load();
    showMaximized();
    applyStoredFolders(storedDirectory1_, storedDirectory2_);
}

void Tnastaveni::applyStoredFolders(const QString& directory1, const QString& directory2)
{
    SetDestinationFolder(startingFolder(directory2));
    SetSourceFolder(startingFolder(directory1));
}

void Tnastaveni::SetSourceFolder(const QString& folder)
{
    if (!DirectoryListBox1->SetDirectory(folder)) DirectoryListBox1->SetDirectory(SystemInfo::SystemRoot());
}

void Tnastaveni::SetDestinationFolder(const QString& folder)
{
    if (!DirectoryListBox2->SetDirectory(folder)) DirectoryListBox2->SetDirectory(SystemInfo::SystemRoot());
}

void Tnastaveni::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

void Tnastaveni::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous()) RunGuarded([this] { FormHide(); });
}

void Tnastaveni::FormShow()
{
    SetBackground(this, nast.nastaveni);
    const QString rememberedPath = FileListBox1->FileName();
    QDir::setCurrent(startDir);
    DriveComboBox2->Refresh();
    DirectoryListBox1->Update();
    DirectoryListBox2->Update();
    const int rememberedIndex = FileListBox1->ItemIndex();
    FileListBox1->Update();
    FileListBox2->Update();
    if (!rememberedPath.isEmpty()) preview.LoadQuietly(rememberedPath);
    if (rememberedIndex >= 0) FileListBox1->SetItemIndex(rememberedIndex);
    DriveComboBox1->Refresh();
}

void Tnastaveni::FormHide()
{
    favourites.Save();
}

bool Tnastaveni::FormCloseQuery()
{
    return Dialogs().AskYesNo(Text::QuitQuestion, Text::Pixly);
}

void Tnastaveni::FormClose()
{
    RequestTermination();
    {
        SettingsStore store(SettingsStore::Access::Write);
        if (windows_.hlavni) StoredSettings::WriteBounds(store, windows_.MainViewer().frameGeometry());
        StoredSettings::WriteFolders(store, CurrentFolders());
        StoredSettings::WriteDisplay(store, nast);
        const bool automaticCheck =
            windows_.Form6 ? windows_.Form6->CheckBox2->isChecked() : windows_.Form7->aktual;
        StoredSettings::WriteAutomaticCheck(store, automaticCheck);
    }
    favourites.Save();
}

void Tnastaveni::closeEvent(QCloseEvent* event)
{
    bool accepted = false;
    RunGuarded([&] { accepted = FormCloseQuery(); });
    if (!accepted) {
        event->ignore();
        return;
    }
    RunGuarded([this] { FormClose(); });
    event->accept();
}

void Tnastaveni::DriveComboBox1Change(const QString& drive)
{
    const QDir root(drive);
    if (!root.exists() || !root.isReadable()) {
        Dialogs().ShowMessageKind(Text::DriveUnavailable.arg(DriveComboBox::MessageName(drive)),
                                  Text::DriveUnavailableCaption, DialogService::Error);
        DriveComboBox1->SetDrive(DriveComboBox::DriveOf(FileListBox1->Directory()));
        SetSourceFolder(FileListBox1->Directory());
        return;
    }
    SetSourceFolder(drive);
}

void Tnastaveni::DriveComboBox2Change(const QString& drive)
{
    // An unreadable destination drive keeps the destination side where it was.
    const QDir root(drive);
    if (!root.exists() || !root.isReadable()) {
        Dialogs().ShowMessageKind(Text::DriveUnavailable.arg(DriveComboBox::MessageName(drive)),
                                  Text::DriveUnavailableCaption, DialogService::Error);
        DriveComboBox2->SetDrive(DriveComboBox::DriveOf(DirectoryListBox2->Directory()));
        return;
    }
    SetDestinationFolder(drive);
}

void Tnastaveni::DirectoryListBox1Change()
{
    const QString folder = DirectoryListBox1->Directory();
    DriveComboBox1->SetDrive(DriveComboBox::DriveOf(folder));
    FileListBox1->SetDirectory(folder);
    Edit1->setText(folder);
    if (sourceChangeCount < 3)
        ++sourceChangeCount;
    else
        preview.LoadQuietly(defaultPicture);
}

void Tnastaveni::DirectoryListBox2Change()
{
    const QString folder = DirectoryListBox2->Directory();
    DriveComboBox2->SetDrive(DriveComboBox::DriveOf(folder));
    Edit2->setText(folder);
    FileListBox2->SetDirectory(folder);
}

void Tnastaveni::Edit1KeyEnter()
{
    DirectoryListBox1->SetDirectory(Edit1->text());
}

void Tnastaveni::Edit2KeyEnter()
{
    DirectoryListBox2->SetDirectory(Edit2->text());
}

void Tnastaveni::RadioGroup2Click()
{
    const QString mask = FileTypes(nast.formaty).Mask(RadioGroup2->ItemIndex());
    if (mask.isEmpty()) return;
    FileListBox1->SetMask(mask);
    FileListBox2->SetMask(mask);
}

void Tnastaveni::BitBtn3Click()
{
    Dialogs().ShowMessageKind(Text::HelpText, Text::HelpCaption, DialogService::Information);
}

StoredFolders Tnastaveni::CurrentFolders() const
{
    return {DirectoryListBox1->Directory(), DirectoryListBox2->Directory()};
}

void Tnastaveni::Refresh()
{
    AppCursor::SetBusy();
    DriveComboBox1->Refresh();
    DriveComboBox2->Refresh();
    DirectoryListBox1->Update();
    DirectoryListBox2->Update();
    FileListBox1->Update();
    FileListBox2->Update();
    AppCursor::SetNormal();
}

void Tnastaveni::ApplyGrouping()
{
    const QString selected = FileListBox1->FileName();
    FileListBox1->SetGrouping(nast.dvojice ? PhotoGroups::KindOf(&GroupingKindOf) : PhotoGroups::KindOf());
    if (!selected.isEmpty()) PhotoList(*FileListBox1).SelectByPath(selected);
}

bool Tnastaveni::SelectedPictureOrComplain()
{
    if (!FileListBox1->FileName().isEmpty()) return true;
    Dialogs().ShowMessageKind(Text::NoPicture, Text::Pixly, DialogService::Error);
    return false;
}

void Tnastaveni::OpenMainViewer()
{
    if (!SelectedPictureOrComplain()) return;
    hide();
    windows_.MainViewer().show();
}

void Tnastaveni::OpenFullScreen()
{
    if (!SelectedPictureOrComplain()) return;
    hide();
    windows_.FullScreenWindow().show();
}

void Tnastaveni::OpenSlideshow()
{
    if (!SelectedPictureOrComplain()) return;
    hide();
    windows_.FullScreenWindow().show();
    windows_.slideshow->exec();
}

void Tnastaveni::Button1Click()
{
    windows_.special->exec();
}

void Tnastaveni::keyPressEvent(QKeyEvent* event)
{
    // Keys that the focused control did not use reach the window too; the
    // window's own map applies only while no control has the focus.
    if (QApplication::focusWidget() != this) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_F1)
        RunGuarded([this] { BitBtn3Click(); });
    else if (event->key() == Qt::Key_F5)
        RunGuarded([this] { Refresh(); });
    else
        QWidget::keyPressEvent(event);
}

bool Tnastaveni::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == Label1) Edit1->selectAll();
    if (event->type() == QEvent::MouseButtonPress && watched == Label2) Edit2->selectAll();
    if (event->type() == QEvent::MouseButtonDblClick && watched == Edit1) {
        Edit1->selectAll();
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick && watched == FileListBox1->viewport() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        RunGuarded([this] { OpenMainViewer(); });
        return true;
    }
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);

    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool secondHandler = watched == FileListBox2 || watched == BitBtn2;
    if (key == Qt::Key_F1 && watched != Edit1 && watched != Edit2) {
        RunGuarded([this] { BitBtn3Click(); });
        return true;
    }
    if (key == Qt::Key_Delete && !secondHandler && watched != Edit1 && watched != Label1 &&
        watched != Label2) {
        smazat->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
