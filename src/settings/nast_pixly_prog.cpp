#include "settings/nast_pixly_prog.h"

#include "controls/clickevent.h"
#include "controls/radiogroup.h"
#include "folders/filetypes.h"
#include "folders/nast_pixly.h"
#include "platform/colorref.h"
#include "platform/dialogservice.h"
#include "platform/handlerguard.h"
#include "platform/settingsstore.h"
#include "shell/makerweb.h"
#include "shell/pixly_flash.h"
#include "shell/storedsettings.h"
#include "shell/windows.h"
#include "viewer/fotka_velka.h"
#include "viewer/hlavni_pixly.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

namespace {

namespace Text {
const QString Caption = QStringLiteral("Nastavení programu");
const QString Resolution = QStringLiteral("Rozlišení monitoru");
const QString ResolutionHint =
    QStringLiteral("Vybere rozlišení monitoru (resp. velikost roztaženého obrázku)");
const QStringList ResolutionItems{QStringLiteral("1280x1024"), QStringLiteral("1024x768"),
                                  QStringLiteral("800x600"), QStringLiteral("Nevím")};
const QString Background = QStringLiteral("Barva pozadí");
const QString FolderWindow = QStringLiteral("Nastavení");
const QString MainWindow = QStringLiteral("Hlavní okno");
const QString FullScreen = QStringLiteral("Velká fotka");
const QString SwatchHint = QStringLiteral("Kliknutím vyberte barvu");
const QString Confirmations = QStringLiteral("Zobrazovat potvrzení úspěšnosti kopírování/přejmenování");
const QString AutomaticCheck = QStringLiteral("Automaticky kontrolovat aktualizace ");
const QString ToTrash = QStringLiteral("Mazat do koše");
const QString ToTrashHint =
    QStringLiteral("Smazané obrázky se přesouvají do koše, odkud je lze vrátit (Ctrl+Z)");
const QString TurnByExif = QStringLiteral("Otáčet fotky podle EXIF");
const QString TurnByExifHint =
    QStringLiteral("Fotky na výšku se zobrazí i zmenší správně otočené, jak je zapsal fotoaparát");
const QString AllFormats = QStringLiteral("Všechny formáty fotek");
const QString AllFormatsHint =
    QStringLiteral("Seznamy souborů ukazují i fotky HEIC, AVIF, RAW, PNG, WebP, GIF, TIFF a JPEG XL");
const QString ColourManagement = QStringLiteral("Správa barev");
const QString ColourManagementHint = QStringLiteral(
    "Fotky se zobrazí ve svých skutečných barvách podle svého barevného profilu a profilu monitoru");
const QString Pairs = QStringLiteral("Spojovat RAW a JPEG");
const QString PairsHint = QStringLiteral("Soubory jedné fotky (RAW, JPEG nebo HEIF a jejich soubory .xmp) se "
                                         "zobrazují, kopírují, přesouvají i mažou společně");
const QString Update = QStringLiteral("Aktualizace");
const QString UpdatedBySystem =
    QStringLiteral("Tuto verzi programu aktualizuje správce balíčků vašeho systému.");
const QString Ok = QStringLiteral("OK");
const QString OkHint = QStringLiteral("Uloží změny a vrátí se do programu");
const QString DefaultPicture = QStringLiteral("Originálně zobrazený obrázek");
const QString DefaultPictureHint = QStringLiteral("Cesta k defaultnímu obrázku");
const QString Change = QStringLiteral("Změnit");
const QString PictureFilter =
    QStringLiteral("JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp");
} // namespace Text

constexpr int WindowBackground = 11771294;
constexpr int SwatchSize = 33;

QLabel* swatch(QWidget* parent, int x, int y)
{
    auto* created = new QLabel(parent);
    created->setGeometry(x, y, SwatchSize, SwatchSize);
    created->setCursor(Qt::PointingHandCursor);
    created->setToolTip(Text::SwatchHint);
    created->installEventFilter(parent);
    return created;
}

// Ticked until the stored settings are shown.
QCheckBox* checkBox(QWidget* parent, const QString& text, int x, int y, const QString& hint = QString())
{
    auto* created = new QCheckBox(text, parent);
    created->move(x, y);
    created->adjustSize();
    created->setChecked(true);
    created->setToolTip(hint);
    return created;
}

QLabel* heading(QWidget* parent, const QString& text, int x, int y)
{
    auto* created = new QLabel(text, parent);
    created->move(x, y);
    created->adjustSize();
    return created;
}

} // namespace

bool ColorDialog::Execute()
{
    const auto chosen = Dialogs().ChooseColor(ColorFromRef(Color));
    if (!chosen) return false;
    Color = RefFromColor(*chosen);
    return true;
}

bool OpenPictureDialog::Execute()
{
    const auto chosen = Dialogs().ChooseOpenFile(Filter, FileName);
    if (!chosen) return false;
    FileName = *chosen;
    return true;
}

void PaintSwatch(QLabel* swatch, int colorRef)
{
    QPixmap picture(SwatchSize, SwatchSize);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(QRect(QPoint(1, 1), QPoint(SwatchSize - 2, SwatchSize - 2)), ColorFromRef(colorRef));
    painter.end();
    swatch->setPixmap(picture);
}

TForm6::TForm6(Windows& windows) : ButtonlessDialog(nullptr), windows_(windows)
{
    setWindowTitle(Text::Caption);
    setFixedSize(546, 286);
    SetBackground(this, WindowBackground);
    createControls();
    connectHandlers();
    updateChecker = std::make_unique<UpdateChecker>(platformConnection_, windows_.nastaveni->startDir,
                                                    windows_.Form7->verze);
    FormCreate();
}

void TForm6::createControls()
{
    RadioGroup1 = new RadioGroup(Text::Resolution, this);
    RadioGroup1->setGeometry(8, 8, 185, 121);
    RadioGroup1->setToolTip(Text::ResolutionHint);

    Label1 = heading(this, Text::Background, 216, 8);
    Label2 = heading(this, Text::FolderWindow, 216, 32);
    Label3 = heading(this, Text::MainWindow, 320, 32);
    Label4 = heading(this, Text::FullScreen, 432, 32);
    Image1 = swatch(this, 224, 52);
    Image2 = swatch(this, 336, 52);
    Image3 = swatch(this, 448, 52);

    Label5 = heading(this, Text::DefaultPicture, 216, 96);
    Label6 = new QLabel(this);
    Label6->setGeometry(216, 114, 220, 16);
    Label6->setToolTip(Text::DefaultPictureHint);
    Button1 = new QPushButton(Text::Change, this);
    Button1->setGeometry(448, 104, 81, 25);
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setAutoDefault(false);
    // The default picture cannot be changed here; it passes through OK unchanged.
    for (QWidget* hidden : std::initializer_list<QWidget*>{Label5, Label6, Button1})
        hidden->hide();

    CheckBox1 = checkBox(this, Text::Confirmations, 8, 144);
    CheckBox2 = checkBox(this, Text::AutomaticCheck, 8, 176);
    CheckBox3 = checkBox(this, Text::ToTrash, 8, 200, Text::ToTrashHint);
    CheckBox4 = checkBox(this, Text::TurnByExif, 8, 224, Text::TurnByExifHint);
    CheckBox5 = checkBox(this, Text::AllFormats, 8, 248, Text::AllFormatsHint);
    // Beside the OK button, where the right-hand column is free.
    CheckBox6 = checkBox(this, Text::ColourManagement, 368, 224, Text::ColourManagementHint);
    CheckBox7 = checkBox(this, Text::Pairs, 368, 248, Text::PairsHint);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), Text::Update, this);
    BitBtn2->setGeometry(CheckBox2->geometry().right() + 16, 170, 113, 27);
    BitBtn2->setFocusPolicy(Qt::ClickFocus);
    BitBtn2->setAutoDefault(false);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), Text::Ok, this);
    BitBtn1->setGeometry((546 - 161) / 2, 286 - 57 - 8, 161, 57);
    BitBtn1->setDefault(true);
    BitBtn1->setCursor(Qt::PointingHandCursor);
    BitBtn1->setToolTip(Text::OkHint);

    OpenPictureDialog1.Filter = Text::PictureFilter;
}

void TForm6::connectHandlers()
{
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
}

void TForm6::FormCreate()
{
    const DisplaySettings& nast = windows_.nastaveni->nast;
    // Without the maker's server there is nothing to check.
    CheckBox2->setChecked(windows_.Form7->aktual && MakerWeb::Available());
    CheckBox2->setEnabled(MakerWeb::Available());
    RadioGroup1->SetItems(Text::ResolutionItems);
    RadioGroup1->SetItemIndex(1);
    RadioGroup1->SetItemIndex(nast.rozliseni);
    ColorDialog1.Color = nast.nastaveni;
    ColorDialog2.Color = nast.hlavni;
    ColorDialog3.Color = nast.velka;
    PaintSwatch(Image1, ColorDialog1.Color);
    PaintSwatch(Image2, ColorDialog2.Color);
    PaintSwatch(Image3, ColorDialog3.Color);
    Label6->setText(nast.orig);
    OpenPictureDialog1.FileName = nast.orig;
    CheckBox1->setChecked(nast.show);
    CheckBox3->setChecked(nast.kos);
    CheckBox4->setChecked(nast.otacet);
    CheckBox5->setChecked(nast.formaty);
    CheckBox6->setChecked(nast.barvy);
    CheckBox7->setChecked(nast.dvojice);
    const QSize area = StoredSettings::PictureAreaFor(RadioGroup1->ItemIndex());
    if (area.isValid()) windows_.velka_fotka->SetPictureAreaSize(area);
}

void TForm6::Image1Click()
{
    chooseColour(ColorDialog1, Image1);
}

void TForm6::Image2Click()
{
    chooseColour(ColorDialog2, Image2);
}

void TForm6::Image3Click()
{
    chooseColour(ColorDialog3, Image3);
}

void TForm6::chooseColour(ColorDialog& dialog, QLabel* swatch)
{
    if (!dialog.Execute()) return;
    PaintSwatch(swatch, dialog.Color);
    previewColours();
}

// Only a preview: each window takes its colour from the working copy again
// the next time it is shown.
void TForm6::previewColours()
{
    SetBackground(windows_.nastaveni, ColorDialog1.Color);
    SetBackground(windows_.hlavni, ColorDialog2.Color);
    SetBackground(windows_.velka_fotka, ColorDialog3.Color);
}

void TForm6::BitBtn1Click()
{
    const DisplaySettings chosen{RadioGroup1->ItemIndex(), ColorDialog1.Color,     ColorDialog2.Color,
                                 ColorDialog3.Color,       Label6->text(),         CheckBox1->isChecked(),
                                 CheckBox3->isChecked(),   CheckBox4->isChecked(), CheckBox5->isChecked(),
                                 CheckBox6->isChecked(),   CheckBox7->isChecked()};
    {
        SettingsStore store(SettingsStore::Access::Write);
        StoredSettings::WriteDisplay(store, chosen);
        StoredSettings::WriteAutomaticCheck(store, CheckBox2->isChecked());
    }
    const bool formatsChanged = chosen.formaty != windows_.nastaveni->nast.formaty;
    const bool groupingChanged = chosen.dvojice != windows_.nastaveni->nast.dvojice;
    windows_.nastaveni->nast = chosen;
    if (formatsChanged) FileTypes(chosen.formaty).ShowIn(*windows_.nastaveni->RadioGroup2);
    if (groupingChanged) windows_.nastaveni->ApplyGrouping();
    accept();
    windows_.hlavni->show();
}

void TForm6::BitBtn2Click()
{
    if (!MakerWeb::Available()) {
        Dialogs().ShowMessageKind(Text::UpdatedBySystem, Text::Update, DialogService::Information);
        return;
    }
    // QDialog's own hide would end the modal display, which goes on after
    // the check; the window only disappears until it is shown again below.
    if (updateChecker->RunManual() == UpdateOutcome::NotNewer) QWidget::setVisible(false);
    show();
    raise();
    activateWindow();
}

void TForm6::Button1Click()
{
    if (OpenPictureDialog1.Execute()) Label6->setText(OpenPictureDialog1.FileName);
}

bool TForm6::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && EndsClick(*Image1, *event)) RunGuarded([this] { Image1Click(); });
    if (watched == Image2 && EndsClick(*Image2, *event)) RunGuarded([this] { Image2Click(); });
    if (watched == Image3 && EndsClick(*Image3, *event)) RunGuarded([this] { Image3Click(); });
    return ButtonlessDialog::eventFilter(watched, event);
}
