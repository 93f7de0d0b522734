#include "controls/filelistbox.h"
#include "controls/radiogroup.h"
#include "controls/zoompicturebox.h"
#include "folders/nast_pixly.h"
#include "platform/colorref.h"
#include "platform/settingsstore.h"
#include "platform/systeminfo.h"
#include "recordingdialogs.h"
#include "settings/nast_pixly_prog.h"
#include "settings/pixly_about.h"
#include "shell/connectiontest.h"
#include "shell/makerweb.h"
#include "shell/pixly_flash.h"
#include "shell/storedsettings.h"
#include "startedprogram.h"
#include "testenvironment.h"
#include "viewer/fotka_velka.h"
#include "viewer/hlavni_pixly.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

constexpr int DefaultFolderColour = 14211288;
constexpr int DefaultMainColour = 16755027;
constexpr int DefaultFullScreenColour = 12632256;
const QString PictureFilter =
    QStringLiteral("JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp");

class OfflineConnection : public ConnectionTest {
public:
    bool IsConnected() override { return false; }
};

QColor background(const QWidget* window)
{
    return window->palette().color(QPalette::Window);
}

QColor swatchColour(const QLabel* swatch, int x = 16, int y = 16)
{
    return swatch->pixmap().toImage().pixelColor(x, y);
}

DisplaySettings storedDisplay()
{
    SettingsStore store(SettingsStore::Access::Read);
    return StoredSettings::ReadDisplay(store, {}).value_or(
        DisplaySettings{-1, -1, -1, -1, {}, false, false, false, false});
}

bool storedAutomaticCheck()
{
    SettingsStore store(SettingsStore::Access::Read);
    return StoredSettings::ReadAutomaticCheck(store);
}

// Closing the folder window asks the application to end, which holds back
// every later event loop until the application's own loop has run; running
// it once lets the later cases of this test open their dialogs again.
void letTheRequestedEndPass()
{
    QObject marker;
    QMetaObject::invokeMethod(
        &marker, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    QCoreApplication::exec();
}

struct Program {
    TestEnvironment env;
    QString source = env.makeFolder(QStringLiteral("fotky"));
    RecordingDialogs dialogs;
    std::unique_ptr<Windows> windows;

    explicit Program(const QByteArray& extraSettings = {})
    {
        env.writeFile(QStringLiteral("fotky/a.jpg"), MakeJpeg(40, 30, Qt::red));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + source.toUtf8() + "\n" + extraSettings);
        windows = StartProgram();
    }
    TForm6* settings() const { return windows->Form6; }
    const DisplaySettings& workingCopy() const { return windows->nastaveni->nast; }

    // Opens the settings window modally as the main viewer's menu does, runs
    // the action inside it and, unless the action closed it, closes it with
    // the caption bar's close button. Returns the dialog's result.
    int openSettings(const std::function<void()>& action)
    {
        QTimer::singleShot(0, settings(), [this, action] {
            action();
            if (settings()->isVisible()) settings()->close();
        });
        return settings()->exec();
    }
};

} // namespace

class TestProgramSettings : public QObject {
    Q_OBJECT
private slots:
    void init() { MakerWeb::SetBaseAddress(QStringLiteral("https://www.example.org")); }

    void buildWithoutMakerWebOffersNoCheckAndNoLinks()
    {
        MakerWeb::SetBaseAddress(QString());
        Program p(QByteArrayLiteral("[akt]\naktual=1\n"));

        QVERIFY(!p.settings()->CheckBox2->isChecked());
        QVERIFY(!p.settings()->CheckBox2->isEnabled());
        QVERIFY(!p.windows->hlavni->Web1->isVisible());
        for (const QLabel* web : {p.windows->about->Label6, p.windows->about->Label8})
            QVERIFY(web->isHidden());
        const int result = p.openSettings([&] { p.settings()->BitBtn2->click(); });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(p.dialogs.count(), 1);
        QCOMPARE(p.dialogs.last().text,
                 QStringLiteral("Tuto verzi programu aktualizuje správce balíčků vašeho systému."));
        QCOMPARE(p.dialogs.last().caption, QStringLiteral("Aktualizace"));
        QCOMPARE(p.dialogs.last().icon, QStringLiteral("information"));
    }

    void firstStartShowsTheDefaults()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        TForm6* settings = windows->Form6;

        QCOMPARE(settings->windowTitle(), QStringLiteral("Nastavení programu"));
        QCOMPARE(settings->size(), QSize(546, 286));
        QCOMPARE(background(settings), ColorFromRef(11771294));
        QCOMPARE(settings->RadioGroup1->title(), QStringLiteral("Rozlišení monitoru"));
        QCOMPARE(settings->RadioGroup1->Items(),
                 (QStringList{QStringLiteral("1280x1024"), QStringLiteral("1024x768"),
                              QStringLiteral("800x600"), QStringLiteral("Nevím")}));
        const int screenIndex = StoredSettings::ResolutionIndexForScreen(SystemInfo::PrimaryScreenSize());
        QCOMPARE(settings->RadioGroup1->ItemIndex(), screenIndex);
        QCOMPARE(windows->velka_fotka->Image1->size(), StoredSettings::PictureAreaFor(screenIndex));

        QCOMPARE(settings->ColorDialog1.Color, DefaultFolderColour);
        QCOMPARE(settings->ColorDialog2.Color, DefaultMainColour);
        QCOMPARE(settings->ColorDialog3.Color, DefaultFullScreenColour);
        QCOMPARE(swatchColour(settings->Image1), ColorFromRef(DefaultFolderColour));
        QCOMPARE(swatchColour(settings->Image2), ColorFromRef(DefaultMainColour));
        QCOMPARE(swatchColour(settings->Image3), ColorFromRef(DefaultFullScreenColour));
        QCOMPARE(swatchColour(settings->Image1, 1, 1), ColorFromRef(DefaultFolderColour));
        QCOMPARE(swatchColour(settings->Image1, 31, 31), ColorFromRef(DefaultFolderColour));
        QCOMPARE(swatchColour(settings->Image1, 32, 32), QColor(Qt::white));
        QCOMPARE(settings->Image1->size(), QSize(33, 33));
        QCOMPARE(settings->Image2->toolTip(), QStringLiteral("Kliknutím vyberte barvu"));

        QVERIFY(settings->CheckBox1->isChecked());
        QCOMPARE(settings->CheckBox1->text(),
                 QStringLiteral("Zobrazovat potvrzení úspěšnosti kopírování/přejmenování"));
        QVERIFY(settings->CheckBox2->isChecked());
        QCOMPARE(settings->CheckBox2->text(), QStringLiteral("Automaticky kontrolovat aktualizace "));
        QVERIFY(settings->CheckBox3->isChecked());
        QCOMPARE(settings->CheckBox3->text(), QStringLiteral("Mazat do koše"));
        QCOMPARE(settings->CheckBox3->toolTip(),
                 QStringLiteral("Smazané obrázky se přesouvají do koše, odkud je lze vrátit (Ctrl+Z)"));
        QVERIFY(settings->CheckBox4->isChecked());
        QCOMPARE(settings->CheckBox4->text(), QStringLiteral("Otáčet fotky podle EXIF"));
        QVERIFY(!settings->CheckBox4->geometry().intersects(settings->BitBtn1->geometry()));
        QVERIFY(settings->CheckBox5->isChecked());
        QCOMPARE(settings->CheckBox5->text(), QStringLiteral("Všechny formáty fotek"));
        QCOMPARE(settings->CheckBox5->toolTip(),
                 QStringLiteral(
                     "Seznamy souborů ukazují i fotky HEIC, AVIF, RAW, PNG, WebP, GIF, TIFF a JPEG XL"));
        QVERIFY(!settings->CheckBox5->geometry().intersects(settings->BitBtn1->geometry()));
        QVERIFY(settings->rect().contains(settings->CheckBox5->geometry()));
        for (const QCheckBox* added : {settings->CheckBox6, settings->CheckBox7}) {
            QVERIFY(added->isChecked());
            QVERIFY(!added->geometry().intersects(settings->BitBtn1->geometry()));
            QVERIFY(settings->rect().contains(added->geometry()));
        }
        QCOMPARE(settings->CheckBox6->text(), QStringLiteral("Správa barev"));
        QCOMPARE(settings->CheckBox7->text(), QStringLiteral("Spojovat RAW a JPEG"));
        QCOMPARE(settings->Label6->text(), windows->nastaveni->nast.orig);
        QCOMPARE(settings->OpenPictureDialog1.FileName, windows->nastaveni->nast.orig);
        QVERIFY(settings->Label5->isHidden());
        QVERIFY(settings->Label6->isHidden());
        QVERIFY(settings->Button1->isHidden());

        QCOMPARE(settings->BitBtn1->text(), QStringLiteral("OK"));
        QCOMPARE(settings->BitBtn1->size(), QSize(161, 57));
        QVERIFY(settings->BitBtn1->isDefault());
        QCOMPARE(settings->BitBtn1->toolTip(), QStringLiteral("Uloží změny a vrátí se do programu"));
        QCOMPARE(settings->BitBtn2->text(), QStringLiteral("Aktualizace"));
        QVERIFY(!(settings->BitBtn2->focusPolicy() & Qt::TabFocus));
        QVERIFY(!settings->BitBtn2->autoDefault());
    }

    void storedSettingsFillTheControls_data()
    {
        QTest::addColumn<int>("rozliseni");
        QTest::addColumn<QSize>("area");
        QTest::newRow("1280x1024") << 0 << QSize(1280, 1024);
        QTest::newRow("1024x768") << 1 << QSize(1024, 768);
        QTest::newRow("800x600") << 2 << QSize(800, 600);
        QTest::newRow("Nevím") << 3 << QSize(1024, 768);
    }

    void storedSettingsFillTheControls()
    {
        QFETCH(int, rozliseni);
        QFETCH(QSize, area);
        Program p("[nast]\nrozliseni=" + QByteArray::number(rozliseni) +
                  "\nnastaveni=255\nhlavni=65280\nvelka=16711680\norig=/p/o.jpg\nshow=0\n[akt]\naktual=0\n");
        QCOMPARE(p.settings()->RadioGroup1->ItemIndex(), rozliseni);
        QCOMPARE(p.windows->velka_fotka->Image1->size(), area);
        QCOMPARE(swatchColour(p.settings()->Image1), QColor(Qt::red));
        QCOMPARE(swatchColour(p.settings()->Image2), QColor(Qt::green));
        QCOMPARE(swatchColour(p.settings()->Image3), QColor(Qt::blue));
        QCOMPARE(p.settings()->Label6->text(), QStringLiteral("/p/o.jpg"));
        QVERIFY(!p.settings()->CheckBox1->isChecked());
        QVERIFY(!p.settings()->CheckBox2->isChecked());
    }

    void colourChoiceIsAPreviewUntilOk()
    {
        Program p;
        const QString storedBefore = p.env.settingsText();
        p.dialogs.answerColor(QColor(0x10, 0x20, 0x30));
        p.settings()->Image2Click();

        QCOMPARE(p.dialogs.last().function, QStringLiteral("ChooseColor"));
        QCOMPARE(p.dialogs.last().text, ColorFromRef(DefaultMainColour).name());
        QCOMPARE(background(p.windows->hlavni), QColor(0x10, 0x20, 0x30));
        QCOMPARE(background(p.windows->nastaveni), ColorFromRef(DefaultFolderColour));
        QCOMPARE(background(p.windows->velka_fotka), ColorFromRef(DefaultFullScreenColour));
        QCOMPARE(swatchColour(p.settings()->Image2), QColor(0x10, 0x20, 0x30));
        QCOMPARE(p.workingCopy().hlavni, DefaultMainColour);
        QCOMPARE(p.env.settingsText(), storedBefore);

        // Shown again, the main viewer takes its colour from the working copy.
        p.windows->nastaveni->FileListBox1->SetItemIndex(0);
        p.windows->nastaveni->OpenMainViewer();
        QVERIFY(p.windows->hlavni->isVisible());
        QCOMPARE(background(p.windows->hlavni), ColorFromRef(DefaultMainColour));
        // The reopened window still shows the chosen colour.
        QCOMPARE(p.settings()->ColorDialog2.Color, RefFromColor(QColor(0x10, 0x20, 0x30)));
        QCOMPARE(swatchColour(p.settings()->Image2), QColor(0x10, 0x20, 0x30));
        QCOMPARE(p.openSettings([] {}), int(QDialog::Rejected));
        QCOMPARE(p.env.settingsText(), storedBefore);
    }

    void clickingASwatchOpensItsChooser()
    {
        Program p;
        p.dialogs.answerColor(QColor(Qt::yellow));
        p.openSettings([&] { QTest::mouseClick(p.settings()->Image3, Qt::LeftButton); });
        QCOMPARE(p.dialogs.count(), 1);
        QCOMPARE(p.dialogs.last().text, ColorFromRef(DefaultFullScreenColour).name());
        QCOMPARE(background(p.windows->velka_fotka), QColor(Qt::yellow));
    }

    void onlyALeftClickOnTheSwatchOpensItsChooser()
    {
        Program p;
        p.openSettings([&] {
            QWidget* swatch = p.settings()->Image1;
            QTest::mouseClick(swatch, Qt::RightButton);
            QTest::mouseClick(swatch, Qt::MiddleButton);
            // Pressed on the swatch and let go beside it.
            QTest::mousePress(swatch, Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseRelease(swatch, Qt::LeftButton, {}, QPoint(swatch->width() + 20, 5));
        });
        QCOMPARE(p.dialogs.count(), 0);
    }

    void cancelledColourChangesNothing()
    {
        Program p;
        p.dialogs.answerCancel();
        p.settings()->Image1Click();
        QCOMPARE(p.settings()->ColorDialog1.Color, DefaultFolderColour);
        QCOMPARE(swatchColour(p.settings()->Image1), ColorFromRef(DefaultFolderColour));
        QCOMPARE(background(p.windows->nastaveni), ColorFromRef(DefaultFolderColour));
    }

    void okStoresTheSettingsAndUpdatesTheWorkingCopy()
    {
        Program p;
        p.windows->nastaveni->FileListBox1->SetItemIndex(0);
        p.windows->nastaveni->OpenMainViewer();
        p.dialogs.answerColor(QColor(Qt::red));
        p.dialogs.answerColor(QColor(Qt::blue));
        const int result = p.openSettings([&] {
            p.settings()->RadioGroup1->SetItemIndex(3);
            p.settings()->Image1Click();
            p.settings()->Image3Click();
            p.settings()->CheckBox1->setChecked(false);
            p.settings()->CheckBox2->setChecked(false);
            p.settings()->CheckBox3->setChecked(false);
            p.settings()->CheckBox4->setChecked(false);
            p.settings()->CheckBox5->setChecked(false);
            p.settings()->CheckBox6->setChecked(false);
            p.settings()->CheckBox7->setChecked(false);
            // Enter presses OK.
            QTest::keyClick(p.settings(), Qt::Key_Return);
        });

        QCOMPARE(result, int(QDialog::Accepted));
        const DisplaySettings expected{
            3,     255,  DefaultMainColour, 16711680, p.workingCopy().orig, false, false, false, false,
            false, false};
        QCOMPARE(storedDisplay(), expected);
        QCOMPARE(storedAutomaticCheck(), false);
        QCOMPARE(p.workingCopy(), expected);
        QVERIFY(!p.settings()->isVisible());
        QVERIFY(p.windows->hlavni->isVisible());
        // The file type choice is back to the program's first formats at once.
        QCOMPARE(p.windows->nastaveni->RadioGroup2->Items().size(), 4);
        QCOMPARE(p.windows->nastaveni->FileListBox1->Mask(), QStringLiteral("*.jpg;*.jpeg;*.bmp;*.wmf"));

        // "Nevím" sizes the next start's picture area to 1024 x 768; the
        // automatic check stays off.
        p.windows.reset();
        auto next = StartProgram();
        QCOMPARE(next->nastaveni->nast.rozliseni, 3);
        QCOMPARE(next->velka_fotka->Image1->size(), QSize(1024, 768));
        QCOMPARE(next->nastaveni->nast.nastaveni, 255);
        QVERIFY(!next->Form7->aktual);
        QVERIFY(!next->Form6->CheckBox2->isChecked());
        QVERIFY(!next->Form6->CheckBox3->isChecked());
        QVERIFY(!next->Form6->CheckBox4->isChecked());
        QVERIFY(!next->Form6->CheckBox5->isChecked());
        QVERIFY(!next->Form6->CheckBox6->isChecked());
        QVERIFY(!next->Form6->CheckBox7->isChecked());
    }

    void okUpdatesTheWorkingCopyWhenTheStoreCannotBeWritten()
    {
        Program p;
        // A settings file below a plain file can never be created.
        const QString blocker = p.env.writeFile(QStringLiteral("blocker"), "x");
        SettingsStore::UseFile(QDir(blocker).filePath(QStringLiteral("Vendrax.conf")));
        const int result = p.openSettings([&] {
            p.settings()->RadioGroup1->SetItemIndex(2);
            p.settings()->CheckBox1->setChecked(false);
            p.settings()->BitBtn1->click();
        });
        SettingsStore::UseFile(p.env.settingsFile());

        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(p.workingCopy().rozliseni, 2);
        QCOMPARE(p.workingCopy().show, false);
        QVERIFY(!p.settings()->isVisible());
        QVERIFY(!p.env.settingsText().contains(QStringLiteral("[nast]")));
    }

    void closingWithoutOkKeepsControlsButStoresOnlyTheAutomaticCheck()
    {
        Program p;
        p.openSettings([&] {
            p.settings()->RadioGroup1->SetItemIndex(3);
            p.settings()->CheckBox1->setChecked(false);
            p.settings()->CheckBox2->setChecked(false);
        });
        QCOMPARE(p.workingCopy().show, true);
        // Reopened, the window shows the controls as they were left.
        bool keptOnReopening = false;
        p.openSettings([&] {
            keptOnReopening =
                p.settings()->RadioGroup1->ItemIndex() == 3 && !p.settings()->CheckBox1->isChecked();
        });
        QVERIFY(keptOnReopening);

        p.dialogs.answerYes();
        QVERIFY(p.windows->nastaveni->close());
        letTheRequestedEndPass();
        QCOMPARE(storedAutomaticCheck(), false);
        QCOMPARE(storedDisplay().show, true);
        QCOMPARE(storedDisplay().rozliseni, p.workingCopy().rozliseni);
    }

    void escapeDoesNotCloseTheWindow()
    {
        Program p;
        bool stillOpen = false;
        p.openSettings([&] {
            QTest::keyClick(p.settings(), Qt::Key_Escape);
            stillOpen = p.settings()->isVisible();
        });
        QVERIFY(stillOpen);
    }

    void hiddenChangeButtonChoosesTheDefaultPicture()
    {
        Program p;
        const QString before = p.settings()->Label6->text();
        p.dialogs.answerCancel();
        p.settings()->Button1Click();
        QCOMPARE(p.dialogs.last().function, QStringLiteral("ChooseOpenFile"));
        QCOMPARE(p.dialogs.last().text, PictureFilter);
        QCOMPARE(p.dialogs.last().proposed, before);
        QCOMPARE(p.settings()->Label6->text(), before);

        const QString chosen = p.env.writeFile(QStringLiteral("jina.jpg"), MakeJpeg(4, 4, Qt::blue));
        p.dialogs.answerPath(chosen);
        p.settings()->Button1Click();
        QCOMPARE(p.settings()->Label6->text(), chosen);
        QCOMPARE(p.workingCopy().orig, before);
        p.openSettings([&] { p.settings()->BitBtn1->click(); });
        QCOMPARE(p.workingCopy().orig, chosen);
        QCOMPARE(storedDisplay().orig, chosen);
    }

    void updateWithoutConnectionKeepsTheWindowOpen()
    {
        Program p;
        OfflineConnection offline;
        p.settings()->updateChecker = std::make_unique<UpdateChecker>(
            offline, p.windows->nastaveni->startDir, p.windows->Form7->verze,
            QUrl(QStringLiteral("http://127.0.0.1:9/programy/aktual/pixly.dat")));
        const QString storedBefore = p.env.settingsText();
        bool stillOpen = false;
        const int result = p.openSettings([&] {
            p.settings()->BitBtn2->click();
            stillOpen = p.settings()->isVisible() && QApplication::activeModalWidget() == p.settings();
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(stillOpen);
        QCOMPARE(p.dialogs.count(), 1);
        QCOMPARE(p.dialogs.last().text,
                 QStringLiteral("Tvůj počítač není připojen k internetu. Je mi líto!"));
        QCOMPARE(p.dialogs.last().caption, QStringLiteral("Offline stav!"));
        QCOMPARE(p.env.settingsText(), storedBefore);
    }
};

QTEST_MAIN(TestProgramSettings)
#include "tst_programsettings.moc"
