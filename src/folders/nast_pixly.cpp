#include "folders/nast_pixly.h"

#include "controls/directorylistbox.h"
#include "controls/drivecombobox.h"
#include "controls/filelistbox.h"
#include "controls/picturebox.h"
#include "controls/radiogroup.h"
#include "platform/appcursor.h"
#include "platform/colorref.h"
#include "platform/dialogservice.h"
#include "platform/handlerguard.h"
#include "platform/picturefile.h"
#include "platform/settingsstore.h"
#include "platform/systeminfo.h"
#include "resample/pixly_spec.h"
#include "settings/nast_pixly_prog.h"
#include "shell/pixly_flash.h"
#include "shell/storedsettings.h"
#include "shell/windows.h"
#include "slideshow/pixly_slide.h"
#include "viewer/fotka_velka.h"
#include "viewer/hlavni_pixly.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

namespace {

namespace Text {
const QString Caption = QStringLiteral("Nastavení");
const QString SourceTitle = QStringLiteral("Odkud brát soubory:");
const QString DestinationTitle = QStringLiteral("Kam dávat soubory:");
const QString CurrentPath = QStringLiteral("Aktuální cesta:");
const QString Favourites = QStringLiteral("Oblíbené složky:");
const QString Preview = QStringLiteral("Náhled:");
const QString SourceDriveHint = QStringLiteral("Vyber zdrojovou diskovou jednotku");
const QString SourcePathHint = QStringLiteral("Zadej cestu k zdrojové složce");
const QString DestinationDriveHint = QStringLiteral("Vyber cílovou diskovou jednotku");
const QString DestinationPathHint = QStringLiteral("Zadej cestu k cílové složce");
const QString ColumnDescription = QStringLiteral("Popis");
const QString ColumnPath = QStringLiteral("Cesta");
const QString ActionCaption = QStringLiteral("Soubory:");
const QString ActionHint = QStringLiteral("Vyber, co se má se soubory dělat");
const QStringList ActionItems{QStringLiteral("kopírovat"), QStringLiteral("přejmenovávat")};
const QString FavouritesFrame = QStringLiteral("Oblíbené");
const QString Add = QStringLiteral("Přidat");
const QString AddHint = QStringLiteral("Přidá aktuálně otevřenou složku");
const QString Change = QStringLiteral("Změnit");
const QString ChangeHint = QStringLiteral("Změní aktuálně vybranou položku");
const QString Remove = QStringLiteral("Smazat");
const QString RemoveHint = QStringLiteral("Smaže aktuálně vybranou položku");
const QString Swap = QStringLiteral("Prohodit");
const QString SwapHint = QStringLiteral("Prohodit cesty ke složkám");
const QString TypeCaption = QStringLiteral("Typ souborů");
const QString TypeHint = QStringLiteral("Vyber typ zobrazovaných souborů");
const QStringList TypeItems{QStringLiteral("Vše"), QStringLiteral("JPG, JPEG"), QStringLiteral("BMP"),
                            QStringLiteral("WMF")};
const QStringList TypeMasks{QStringLiteral("*.jpg;*.jpeg;*.bmp;*.wmf"), QStringLiteral("*.jpg;*.jpeg"),
                            QStringLiteral("*.bmp"), QStringLiteral("*.wmf")};
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
const QString SwapQuestion = QStringLiteral("Přejete si prohodit cesty ke složkám?");
const QString SwapCaption = QStringLiteral("Změna adresáře");
const QString NewFolderCaption = QStringLiteral("Vytvoření nové složky");
const QString NewFolderPrompt = QStringLiteral("Zadejte název nové složky:");
const QString FolderExists = QStringLiteral("Zadaný adresář již existuje!");
const QString FolderCreated = QStringLiteral("Složka \"%1\" byla vytvořena a nastavena jako aktuální.");
const QString FolderNotCreated = QStringLiteral("Složku \"%1\" nelze vytvořit.");
const QString IncompleteJpeg = QStringLiteral("Incomplete JPEG");
const QString ApplicationTitle = QStringLiteral("Vendrax");
const QString HelpCaption = QStringLiteral("Help");
const QString HelpText = QStringLiteral(
    "Zde můžete nastavit složky, se kterými se bude pracovat.\rZe složky nalevo bude program brát obrázky na "
    "prohlížení,\rk případnému kopírování či přesouvání slouží pravá složka.\rPoklepáním na vybraný obrázek "
    "se "
    "obrázek otevře.\rPoužít lze také menu (klik pravým tlačítkem na obrázek).");
} // namespace Text

constexpr int EntryColour = 13739901;
constexpr int EmptyJpegError = 42;

// The picture the preview shows until the default picture has loaded: the
// program's title on a plain blue background.
QImage builtInPreview()
{
    QImage picture(962, 613, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 170));
    QPainter painter(&picture);
    QFont font(QStringLiteral("Bookman Old Style"));
    font.setPixelSize(160);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Pixly"));
    return picture;
}

QFont arial(int points)
{
    return QFont(QStringLiteral("Arial"), points);
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

} // namespace

Tnastaveni::Tnastaveni(Windows& windows) : QWidget(nullptr), windows_(windows)
{
    setWindowTitle(Text::Caption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFocusPolicy(Qt::StrongFocus);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(1017, 697);
    createControls();
    createMenus();
    setTabOrderOfControls();
    connectHandlers();
    FormCreate();
}

void Tnastaveni::createControls()
{
    QFont titleFont(QStringLiteral("Bookman Old Style"), 14);
    titleFont.setBold(true);

    Label3 = new QLabel(Text::SourceTitle, this);
    Label3->setFont(titleFont);
    Label3->move(16, 8);
    Label3->adjustSize();

    DriveComboBox1 = new DriveComboBox(this);
    DriveComboBox1->setGeometry(16, 48, 217, 21);
    DriveComboBox1->setToolTip(Text::SourceDriveHint);

    DirectoryListBox1 = new DirectoryListBox(this);
    DirectoryListBox1->setGeometry(16, 72, 217, 257);

    Label1 = new QLabel(Text::CurrentPath, this);
    Label1->move(16, 336);
    Label1->adjustSize();

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(16, 352, 449, 22);
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::ClickFocus);
    Edit1->setToolTip(Text::SourcePathHint);

    FileListBox1 = new FileListBox(this);
    FileListBox1->setGeometry(16, 392, 217, 305);

    Label6 = new QLabel(Text::Favourites, this);
    Label6->move(240, 40);
    Label6->adjustSize();

    ListView1 = new QTreeWidget(this);
    ListView1->setGeometry(240, 53, 284, 179);
    ListView1->setHeaderLabels({Text::ColumnDescription, Text::ColumnPath});
    ListView1->setColumnWidth(0, 100);
    ListView1->setColumnWidth(1, 180);
    ListView1->setRootIsDecorated(false);
    ListView1->header()->setSectionsClickable(false);

    RadioGroup1 = new RadioGroup(Text::ActionCaption, this);
    RadioGroup1->setGeometry(240, 232, 209, 113);
    RadioGroup1->setToolTip(Text::ActionHint);

    RadioGroup3 = new QGroupBox(Text::FavouritesFrame, this);
    RadioGroup3->setGeometry(456, 232, 89, 113);
    pridat = new QPushButton(Text::Add, RadioGroup3);
    pridat->setGeometry(8, 18, 73, 25);
    pridat->setToolTip(Text::AddHint);
    zmenit = new QPushButton(Text::Change, RadioGroup3);
    zmenit->setGeometry(8, 48, 73, 25);
    zmenit->setToolTip(Text::ChangeHint);
    smazat = new QPushButton(Text::Remove, RadioGroup3);
    smazat->setGeometry(8, 78, 73, 25);
    smazat->setToolTip(Text::RemoveHint);

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), Text::Swap, this);
    BitBtn2->setGeometry(469, 351, 79, 24);
    BitBtn2->setToolTip(Text::SwapHint);

    RadioGroup2 = new RadioGroup(Text::TypeCaption, this);
    RadioGroup2->setGeometry(239, 385, 209, 89);
    RadioGroup2->setToolTip(Text::TypeHint);

    Label5 = new QLabel(Text::Preview, this);
    Label5->move(239, 482);
    Label5->adjustSize();

    Image1 = new PictureBox(PictureBox::Placement::EnlargeTopLeft, this);
    Image1->setGeometry(240, 504, 193, 193);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(Text::PreviewHint);

    Label4 = new QLabel(Text::DestinationTitle, this);
    Label4->setFont(titleFont);
    Label4->move(552, 8);
    Label4->adjustSize();

    DriveComboBox2 = new DriveComboBox(this);
    DriveComboBox2->setGeometry(552, 48, 225, 21);
    DriveComboBox2->setToolTip(Text::DestinationDriveHint);

    DirectoryListBox2 = new DirectoryListBox(this);
    DirectoryListBox2->setGeometry(552, 72, 225, 257);

    Button2 = new QPushButton(Text::NewFolder, this);
    Button2->setGeometry(784, 72, 89, 25);
    Button2->setFocusPolicy(Qt::ClickFocus);
    Button2->setToolTip(Text::NewFolderHint);

    Label2 = new QLabel(Text::CurrentPath, this);
    Label2->move(552, 336);
    Label2->adjustSize();

    Edit2 = new QLineEdit(this);
    Edit2->setGeometry(552, 352, 457, 22);
    Edit2->setReadOnly(true);
    Edit2->setFocusPolicy(Qt::ClickFocus);
    Edit2->setToolTip(Text::DestinationPathHint);

    FileListBox2 = new FileListBox(this);
    FileListBox2->setGeometry(552, 392, 233, 249);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtn1->setGeometry(456, 647, 137, 41);
    BitBtn1->setToolTip(Text::OpenHint);

    Button1 = new QPushButton(Text::Resample, this);
    Button1->setGeometry(656, 648, 89, 41);
    Button1->setToolTip(Text::ResampleHint);

    BitBtn3 = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), Text::HelpButton, this);
    BitBtn3->setGeometry(890, 0, 130, 33);
    BitBtn3->setFocusPolicy(Qt::ClickFocus);

    for (QWidget* list : {static_cast<QWidget*>(DriveComboBox1), static_cast<QWidget*>(DirectoryListBox1),
                          static_cast<QWidget*>(FileListBox1), static_cast<QWidget*>(DriveComboBox2),
                          static_cast<QWidget*>(DirectoryListBox2), static_cast<QWidget*>(FileListBox2)})
        list->setFont(arial(9));
    for (QWidget* field :
         {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2), static_cast<QWidget*>(ListView1)})
        field->setFont(arial(8));
    for (QWidget* entry :
         {static_cast<QWidget*>(DriveComboBox1), static_cast<QWidget*>(DriveComboBox2),
          static_cast<QWidget*>(DirectoryListBox1), static_cast<QWidget*>(DirectoryListBox2),
          static_cast<QWidget*>(FileListBox1), static_cast<QWidget*>(FileListBox2),
          static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2), static_cast<QWidget*>(ListView1)})
        setEntryColour(entry);
}

void Tnastaveni::createMenus()
{
    menu_image = new QMenu(this);
    QAction* open = menu_image->addAction(Text::MenuOpen);
    QAction* openLarge = menu_image->addAction(Text::MenuOpenLarge);
    QAction* slideshow = menu_image->addAction(Text::MenuSlideshow);
    menu_image->addAction(Text::MenuDelete);
    connect(open, &QAction::triggered, this, Guarded([this] { OpenMainViewer(); }));
    connect(openLarge, &QAction::triggered, this, Guarded([this] { OpenFullScreen(); }));
    connect(slideshow, &QAction::triggered, this, Guarded([this] { OpenSlideshow(); }));

    dir2list = new QMenu(this);
    QAction* newFolder = dir2list->addAction(Text::NewFolder);
    connect(newFolder, &QAction::triggered, Button2, &QPushButton::click);

    const auto attach = [](QWidget* control, QMenu* menu) {
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(control, &QWidget::customContextMenuRequested, menu,
                         [control, menu](const QPoint& at) { menu->popup(control->mapToGlobal(at)); });
    };
    attach(Image1, menu_image);
    attach(FileListBox1, menu_image);
    attach(DirectoryListBox2, dir2list);
}

void Tnastaveni::setTabOrderOfControls()
{
    const QList<QWidget*> order{
        DriveComboBox1, DirectoryListBox1, FileListBox1,   ListView1,         pridat,       zmenit,  smazat,
        RadioGroup1,    RadioGroup2,       DriveComboBox2, DirectoryListBox2, FileListBox2, BitBtn1, Button1,
        BitBtn2};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void Tnastaveni::connectHandlers()
{
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
    connect(FileListBox1, &QListWidget::itemDoubleClicked, this, Guarded([this] { OpenMainViewer(); }));

    // Labels select the text of their path fields when clicked.
    Label1->installEventFilter(this);
    Label2->installEventFilter(this);
    Edit1->installEventFilter(this);
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
    RadioGroup2->SetItems(Text::TypeItems);
    RadioGroup2->SetItemIndex(0);

    QDir::setCurrent(startDir);
    nast.orig = StoredSettings::CompleteDefaultPicture(nast.orig, startDir);
    Image1->SetPicture(builtInPreview());
    loadPreviewQuietly(nast.orig);
    defaultPicture = nast.orig;

    showMaximized();
    applyStoredFolders(storedDirectory1_, storedDirectory2_);
}

void Tnastaveni::applyStoredFolders(const QString& directory1, const QString& directory2)
{
    setDestinationFolder(folderExists(directory2) ? directory2 : SystemInfo::SystemRoot());
    setSourceFolder(folderExists(directory1) ? directory1 : SystemInfo::SystemRoot());
}

void Tnastaveni::setSourceFolder(const QString& folder)
{
    if (!DirectoryListBox1->SetDirectory(folder)) DirectoryListBox1->SetDirectory(SystemInfo::SystemRoot());
}

void Tnastaveni::setDestinationFolder(const QString& folder)
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
    if (!rememberedPath.isEmpty()) loadPreviewQuietly(rememberedPath);
    if (rememberedIndex >= 0) FileListBox1->SetItemIndex(rememberedIndex);
    DriveComboBox1->Refresh();
}

void Tnastaveni::FormHide() {}

bool Tnastaveni::FormCloseQuery()
{
    return Dialogs().AskYesNo(Text::QuitQuestion, Text::Pixly);
}

void Tnastaveni::FormClose()
{
    QApplication::quit();
    {
        SettingsStore store(SettingsStore::Access::Write);
        if (windows_.hlavni) StoredSettings::WriteBounds(store, windows_.hlavni->frameGeometry());
        StoredSettings::WriteFolders(store, {DirectoryListBox1->Directory(), DirectoryListBox2->Directory()});
        StoredSettings::WriteDisplay(store, nast);
        const bool automaticCheck =
            windows_.Form6 ? windows_.Form6->CheckBox2->isChecked() : windows_.Form7->aktual;
        StoredSettings::WriteAutomaticCheck(store, automaticCheck);
    }
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
        Dialogs().ShowMessageKind(Text::DriveUnavailable.arg(drive.toLower()), Text::DriveUnavailableCaption,
                                  DialogService::Error);
        DriveComboBox1->SetDrive(DriveComboBox::DriveOf(FileListBox1->Directory()));
        setSourceFolder(FileListBox1->Directory());
        return;
    }
    setSourceFolder(drive);
}

void Tnastaveni::DriveComboBox2Change(const QString& drive)
{
    // An unreadable destination drive keeps the destination side where it was.
    const QDir root(drive);
    if (!root.exists() || !root.isReadable()) {
        Dialogs().ShowMessageKind(Text::DriveUnavailable.arg(drive.toLower()), Text::DriveUnavailableCaption,
                                  DialogService::Error);
        DriveComboBox2->SetDrive(DriveComboBox::DriveOf(DirectoryListBox2->Directory()));
        return;
    }
    setDestinationFolder(drive);
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
        loadPreviewQuietly(defaultPicture);
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
    const int index = RadioGroup2->ItemIndex();
    if (index < 0 || index >= Text::TypeMasks.size()) return;
    FileListBox1->SetMask(Text::TypeMasks[index]);
    FileListBox2->SetMask(Text::TypeMasks[index]);
}

void Tnastaveni::BitBtn2Click()
{
    if (!Dialogs().AskYesNo(Text::SwapQuestion, Text::SwapCaption)) return;
    const QString formerSource = DirectoryListBox1->Directory();
    setSourceFolder(DirectoryListBox2->Directory());
    setDestinationFolder(formerSource);
}

void Tnastaveni::Button2Click()
{
    const auto name = Dialogs().InputBox(Text::NewFolderCaption, Text::NewFolderPrompt, Text::NewFolder);
    if (!name) return;
    const QString destination = DirectoryListBox2->Directory();
    QDir::setCurrent(destination);
    const QDir folder(destination);
    if (folder.exists(*name)) {
        Dialogs().ShowWarningDialog(Text::FolderExists);
    } else if (!folder.mkdir(*name)) {
        // Reporting a folder that was never made as created would send the
        // user's copies somewhere else; say so and stay where we are.
        Dialogs().ShowMessageKind(Text::FolderNotCreated.arg(*name), Text::NewFolderCaption,
                                  DialogService::Error);
        return;
    }
    DirectoryListBox2->Update();
    setDestinationFolder(QDir::toNativeSeparators(folder.filePath(*name)));
    Dialogs().ShowMessageKind(Text::FolderCreated.arg(*name), Text::NewFolderCaption,
                              DialogService::Information);
}

void Tnastaveni::BitBtn3Click()
{
    Dialogs().ShowMessageKind(Text::HelpText, Text::HelpCaption, DialogService::Information);
}

void Tnastaveni::LoadPreview(const QString& path)
{
    Image1->SetPicture(LoadPictureFile(path).image);
}

void Tnastaveni::loadPreviewQuietly(const QString& path)
{
    try {
        LoadPreview(path);
    } catch (const PixlyError&) {
        // The preview keeps what it shows; nothing to tell the user here.
    }
}

void Tnastaveni::FileListBox1MouseDown()
{
    FileListBox1->setEnabled(false);
    const int index = FileListBox1->ItemIndex();
    const QString path = FileListBox1->FileName();
    if (!path.isEmpty()) {
        try {
            LoadPreview(path);
        } catch (const JpegError& error) {
            if (error.code() == EmptyJpegError)
                Dialogs().ShowPlainMessage(Text::IncompleteJpeg, Text::ApplicationTitle);
        } catch (const PixlyError&) {
            // Damaged pictures leave the preview as it was.
        }
    }
    FileListBox1->SetItemIndex(index);
    FileListBox1->setEnabled(true);
    // The list gave the focus away when it was disabled; the window's own
    // keys (F1, F5) apply until the user puts the focus into a control.
    setFocus();
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

bool Tnastaveni::selectedPictureOrComplain()
{
    if (!FileListBox1->FileName().isEmpty()) return true;
    Dialogs().ShowMessageKind(Text::NoPicture, Text::Pixly, DialogService::Error);
    return false;
}

void Tnastaveni::OpenMainViewer()
{
    if (!selectedPictureOrComplain()) return;
    hide();
    windows_.hlavni->show();
}

void Tnastaveni::OpenFullScreen()
{
    if (!selectedPictureOrComplain()) return;
    hide();
    windows_.velka_fotka->show();
}

void Tnastaveni::OpenSlideshow()
{
    if (!selectedPictureOrComplain()) return;
    hide();
    windows_.velka_fotka->show();
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
