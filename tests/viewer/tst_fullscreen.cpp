#include "controls/filelistbox.h"
#include "controls/radiogroup.h"
#include "controls/zoompicturebox.h"
#include "filebytes.h"
#include "fileops/fileresult.h"
#include "folders/nast_pixly.h"
#include "formats/picturefile.h"
#include "platform/settingsstore.h"
#include "recordingdialogs.h"
#include "settings/pixly_about.h"
#include "settings/pixly_help.h"
#include "shell/storedsettings.h"
#include "slideshow/pixly_slide.h"
#include "startedprogram.h"
#include "testenvironment.h"
#include "viewer/fotka_velka.h"
#include "viewer/hlavni_pixly.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cerrno>

namespace {

struct FullScreen {
    TestEnvironment env;
    QString source = env.makeFolder(QStringLiteral("fotky"));
    RecordingDialogs dialogs;
    std::unique_ptr<Windows> windows;

    explicit FullScreen(int pictures, const QByteArray& extraSettings = {})
    {
        for (int i = 0; i < pictures; ++i)
            env.writeFile(QStringLiteral("fotky/%1.jpg").arg(i), MakeJpeg(40 + i, 30, Qt::red));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + source.toUtf8() + "\n" + extraSettings);
        windows = StartProgram();
    }
    Tvelka_fotka* window() const { return windows->velka_fotka; }
    FileListBox* list() const { return windows->nastaveni->FileListBox1; }
    // Opens the window and waits until its picture is drawn.
    void open(int index)
    {
        list()->SetItemIndex(index);
        windows->nastaveni->OpenFullScreen();
        // A picture that cannot be shown never comes; the test then checks what took its place.
        static_cast<void>(QTest::qWaitFor([this] { return !window()->Image1->Picture().isNull(); }));
    }
    void press(int key, const QString& text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(window(), &event);
    }
    // The slideshow settings window is modal; close it as soon as it opens.
    void closeSettingsWhenShown()
    {
        QTimer::singleShot(0, windows->slideshow, [this] { windows->slideshow->reject(); });
    }
};

} // namespace

class TestFullScreen : public QObject {
    Q_OBJECT
private slots:
    void pictureAreaFollowsTheResolutionSetting_data()
    {
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<QSize>("area");
        QTest::newRow("1280x1024") << QByteArray("0") << QSize(1280, 1024);
        QTest::newRow("1024x768") << QByteArray("1") << QSize(1024, 768);
        QTest::newRow("800x600") << QByteArray("2") << QSize(800, 600);
        QTest::newRow("Nevím") << QByteArray("3") << QSize(1024, 768);
    }

    void pictureAreaFollowsTheResolutionSetting()
    {
        QFETCH(QByteArray, setting);
        QFETCH(QSize, area);
        FullScreen f(1, "[nast]\nrozliseni=" + setting + "\nnastaveni=1\nhlavni=2\nvelka=3\norig=\nshow=1\n");
        QCOMPARE(f.window()->Image1->size(), area);
        // The corner buttons were sized before the area: the return button sits at 1019.
        QCOMPARE(f.window()->Button1->geometry(), QRect(1019, 0, 5, 5));
        QCOMPARE(f.window()->Button2->geometry(), QRect(0, 0, 5, 5));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(f.window()->Button1, &enter);
        QCOMPARE(f.window()->Button1->geometry(), QRect(area.width() - 25, 0, 25, 25));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(f.window()->Button1, &leave);
        QCOMPARE(f.window()->Button1->geometry(), QRect(area.width() - 5, 0, 5, 5));
        QApplication::sendEvent(f.window()->Button2, &enter);
        QCOMPARE(f.window()->Button2->geometry(), QRect(0, 0, 73, 33));
    }

    void showsTheCurrentPictureAndStepsWithTheKeys()
    {
        FullScreen f(3);
        f.open(1);
        QVERIFY(f.window()->isVisible());
        QCOMPARE(f.window()->Image1->Picture().width(), 41);
        f.press(Qt::Key_PageDown);
        QCOMPARE(f.list()->ItemIndex(), 2);
        QTRY_COMPARE(f.window()->Image1->Picture().width(), 42);
        f.press(Qt::Key_Minus, QStringLiteral("-"));
        QCOMPARE(f.list()->ItemIndex(), 1);
        f.press(Qt::Key_Plus, QStringLiteral("+"));
        f.press(Qt::Key_Space, QStringLiteral(" "));
        QCOMPARE(f.dialogs.last().function, QStringLiteral("AskYesNoDefaultYes"));
        QCOMPARE(f.list()->ItemIndex(), 2);
        // Insert, shown beside "Další obrázek", does nothing.
        f.press(Qt::Key_Insert);
        QCOMPARE(f.list()->ItemIndex(), 2);
        QCOMPARE(f.window()->Pedchoz1->shortcut(), QKeySequence(Qt::Key_Delete));
    }

    void pictureNameMessageAndReturnKeys()
    {
        FullScreen f(2);
        f.open(1);
        f.press(Qt::Key_I, QStringLiteral("i"));
        QCOMPARE(f.dialogs.last().text, QStringLiteral("Aktuální obrázek:\r1.jpg"));
        QCOMPARE(f.dialogs.last().caption, QStringLiteral("Pixly"));
        QCOMPARE(f.dialogs.last().icon, QStringLiteral("information"));
        f.press(Qt::Key_Return, QStringLiteral("\r"));
        QVERIFY(!f.window()->isVisible());
        QVERIFY(f.windows->hlavni->isVisible());
        QCOMPARE(f.windows->hlavni->Label2->text(), f.list()->FileName());
        f.windows->hlavni->hide();
        f.window()->show();
        f.press(Qt::Key_F5);
        QVERIFY(f.windows->nastaveni->isVisible());
        QVERIFY(!f.window()->isVisible());
    }

    void deleteKeyDeletesAndDelItemStepsBack()
    {
        FullScreen f(3);
        f.open(1);
        f.dialogs.answerYes();
        f.press(Qt::Key_Delete);
        QCOMPARE(f.dialogs.last().caption, QStringLiteral("Smazat"));
        QVERIFY(!QFile::exists(QDir(f.source).filePath(QStringLiteral("1.jpg"))));
        QCOMPARE(f.list()->ItemIndex(), 1);
        QCOMPARE(f.list()->Item(1), QStringLiteral("2.jpg"));
        f.window()->Pedchoz1->trigger();
        QCOMPARE(f.list()->ItemIndex(), 0);
    }

    void copyUsesTheFullScreenPrompts()
    {
        FullScreen f(1);
        f.open(0);
        f.windows->nastaveni->RadioGroup1->SetItemIndex(1);
        f.press(Qt::Key_C, QStringLiteral("C"));
        QCOMPARE(f.dialogs.last().caption, QStringLiteral("Přejmenování"));
        QCOMPARE(f.dialogs.last().text, QStringLiteral("Zadejte nový název pro soubor:"));
        f.windows->nastaveni->RadioGroup1->SetItemIndex(0);
        f.press(Qt::Key_Asterisk, QStringLiteral("*"));
        QCOMPARE(f.dialogs.last().text, QStringLiteral("Zadejte název pro nový soubor:"));
    }

    void aSlideshowShowsItsPicturesFittedAndTheWheelDoesNotZoom()
    {
        FullScreen f(1);
        f.open(0);
        f.press(Qt::Key_Z, QStringLiteral("z"));
        QVERIFY(f.window()->Image1->Zoomed());
        // A slideshow started from its settings window.
        QTimer::singleShot(0, f.windows->slideshow, [&] {
            f.windows->slideshow->SlideshowRunning = true;
            f.windows->slideshow->reject();
        });
        f.press(Qt::Key_F2);
        QVERIFY(!f.window()->Image1->Zoomed());
        QWheelEvent wheel(QPointF(20, 15), QPointF(20, 15), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.window()->Image1, &wheel);
        QVERIFY(!f.window()->Image1->Zoomed());
        f.windows->slideshow->SlideshowRunning = false;
        QApplication::sendEvent(f.window()->Image1, &wheel);
        QVERIFY(f.window()->Image1->Zoomed());
    }

    void digitCopiesToAFavouriteButOpensTheSettingsDuringASlideshow()
    {
        FullScreen f(1);
        const QString folder = f.env.makeFolder(QStringLiteral("prvni"));
        UseFavourites(*f.windows, {folder});
        f.open(0);
        f.windows->slideshow->SlideshowRunning = true;
        bool settingsShown = false;
        QTimer::singleShot(0, f.windows->slideshow, [&] {
            settingsShown = f.windows->slideshow->isVisible();
            f.windows->slideshow->reject();
        });
        f.press(Qt::Key_1, QStringLiteral("1"));
        QVERIFY(settingsShown);
        QCOMPARE(f.dialogs.count(), 0);

        f.windows->slideshow->SlideshowRunning = false;
        f.dialogs.answerInput(QStringLiteral("vybrana"));
        f.press(Qt::Key_1, QStringLiteral("1"), Qt::KeypadModifier);
        QCOMPARE(f.dialogs.calls().at(0).text, QStringLiteral("Zadejte název pro nový soubor:"));
        QCOMPARE(FileBytes(QDir(folder).filePath(QStringLiteral("vybrana.jpg"))),
                 FileBytes(QDir(f.source).filePath(QStringLiteral("0.jpg"))));
    }

    void saveToNewFileWritesTheOriginalBytes()
    {
        FullScreen f(1);
        f.open(0);
        const QString target = QDir(f.env.startDir()).filePath(QStringLiteral("ulozeno.bmp"));
        f.dialogs.answerInput(target);
        f.press(Qt::Key_S, QString(), Qt::ControlModifier);
        QCOMPARE(f.dialogs.last().caption, QStringLiteral("Uložit do nového souboru"));
        QCOMPARE(f.dialogs.last().text, QStringLiteral("Zadejte cestu k novému souboru:"));
        QCOMPARE(f.dialogs.last().proposed,
                 QDir::toNativeSeparators(QDir::rootPath()) + QStringLiteral("0.jpg"));
        QFile original(QDir(f.source).filePath(QStringLiteral("0.jpg")));
        QFile saved(target);
        QVERIFY(original.open(QIODevice::ReadOnly) && saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), original.readAll());

        // Into a folder that is not there: said, with the system's reason, and nothing to undo.
        const QString nowhere = QDir(f.env.startDir()).filePath(QStringLiteral("chybi/x.jpg"));
        f.dialogs.answerInput(nowhere);
        f.press(Qt::Key_S, QString(), Qt::ControlModifier);
        QCOMPARE(f.dialogs.last().text, QStringLiteral("Obrázek se nepodařilo uložit do\r%1\r%2")
                                            .arg(QDir::toNativeSeparators(nowhere), SystemReason(ENOENT)));
        QCOMPARE(f.dialogs.last().icon, QStringLiteral("warning"));
    }

    void savingWithoutAPictureWritesNothing()
    {
        FullScreen f(1);
        f.env.writeFile(QStringLiteral("fotky/0.jpg"), "damaged");
        const QByteArray kept = MakeJpeg(20, 20, Qt::blue);
        const QString existing = f.env.writeFile(QStringLiteral("vzacny.jpg"), kept);
        f.open(0);
        f.dialogs.clear();
        f.dialogs.answerInput(existing);
        f.press(Qt::Key_S, QString(), Qt::ControlModifier);
        QCOMPARE(f.dialogs.count(), 1);
        QCOMPARE(f.dialogs.last().function, QStringLiteral("ShowMessageKind"));
        QCOMPARE(f.dialogs.last().text, QStringLiteral("Není zobrazen žádný obrázek, který by šlo uložit!"));
        QCOMPARE(f.dialogs.last().caption, QStringLiteral("Pixly"));
        QCOMPARE(f.dialogs.last().icon, QStringLiteral("warning"));
        QCOMPARE(FileBytes(existing), kept);
    }

    void leavingARunningSlideshowEndsIt_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("return button") << QStringLiteral("button");
        QTest::newRow("menu, main window") << QStringLiteral("main");
        QTest::newRow("menu, folders") << QStringLiteral("folders");
    }

    void leavingARunningSlideshowEndsIt()
    {
        QFETCH(QString, way);
        FullScreen f(3);
        f.open(0);
        f.windows->slideshow->SlideshowRunning = true;
        f.window()->cas->start();
        if (way == QStringLiteral("button"))
            f.window()->Button1->click();
        else if (way == QStringLiteral("main"))
            f.window()->Nvratdohlavnhookna1->trigger();
        else
            f.window()->Nvratdonastavenprogramu1->trigger();
        QVERIFY(!f.window()->isVisible());
        QVERIFY(!f.windows->slideshow->SlideshowRunning);
        QVERIFY(!f.window()->cas->isActive());

        // The next visit browses: the arrow keys step, no settings window opens.
        f.windows->hlavni->hide();
        f.open(0);
        f.closeSettingsWhenShown();
        f.press(Qt::Key_Right);
        QCOMPARE(f.list()->ItemIndex(), 1);
        QCOMPARE(f.dialogs.count(), 0);
    }

    void ctrlZUndoesASaveButNotWhileASlideshowRuns()
    {
        FullScreen f(1);
        f.open(0);
        const QString target = QDir(f.env.startDir()).filePath(QStringLiteral("ulozeno.jpg"));
        f.dialogs.answerInput(target);
        f.press(Qt::Key_S, QString(), Qt::ControlModifier);
        QVERIFY(QFile::exists(target));
        f.windows->slideshow->SlideshowRunning = true;
        f.closeSettingsWhenShown();
        f.press(Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier);
        QVERIFY(QFile::exists(target));
        f.windows->slideshow->SlideshowRunning = false;
        f.press(Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier);
        QVERIFY(!QFile::exists(target));
        QCOMPARE(f.dialogs.count(), 1);
        QVERIFY(f.window()->isVisible());
    }

    void savingABitmapWritesItWhole_data()
    {
        QTest::addColumn<bool>("overItself");
        QTest::newRow("new file") << false;
        QTest::newRow("over itself, the old one to the trash") << true;
    }

    // The picture is kept at screen size; saving reads the bitmap again at full size, before the
    // file it names is moved aside.
    void savingABitmapWritesItWhole()
    {
        QFETCH(bool, overItself);
        FullScreen f(0);
        const QString path = f.env.writeFile(QStringLiteral("fotky/big.bmp"), MakeBmp(2000, 1500, Qt::blue));
        const QImage whole = LoadPictureFile(path).image;
        f.windows->nastaveni->FileListBox1->Update();
        f.open(0);
        const QSize area = f.window()->Image1->size();
        QCOMPARE(f.window()->Image1->Picture().size(),
                 PictureBox::FitRect(QSize(2000, 1500), area, PictureBox::Placement::ShrinkCentred).size());
        const QString target =
            overItself ? path : QDir(f.env.startDir()).filePath(QStringLiteral("ulozeno.jpg"));
        f.dialogs.answerInput(target);
        f.press(Qt::Key_S, QString(), Qt::ControlModifier);
        QCOMPARE(QImageReader(target, "bmp").read(), whole);
        QCOMPARE(f.dialogs.count(), 1);
    }

    void runningSlideshowPausesAndResumesWithSpace()
    {
        FullScreen f(3);
        f.open(1);
        f.windows->slideshow->SlideshowRunning = true;
        f.window()->cas->start();
        f.press(Qt::Key_Space, QStringLiteral(" "));
        QVERIFY(!f.window()->cas->isActive());
        QCOMPARE(
            f.dialogs.last().text,
            QStringLiteral(
                "Promítání bylo zastaveno.\rPotvrďte tuto zprávu a pro pokračování stiskněte mezerník."));
        QCOMPARE(f.dialogs.last().caption, QStringLiteral("Slideshow"));
        QCOMPARE(f.list()->ItemIndex(), 1);

        f.press(Qt::Key_Space, QStringLiteral(" "));
        QCOMPARE(f.list()->ItemIndex(), 2);
        QVERIFY(f.window()->cas->isActive());

        // Any other key opens the settings window, even Shift alone; arrows move nothing.
        f.closeSettingsWhenShown();
        f.press(Qt::Key_Shift);
        f.closeSettingsWhenShown();
        f.press(Qt::Key_Left);
        QCOMPARE(f.list()->ItemIndex(), 2);
    }

    void resumingAtTheLastPictureAsksInsteadOfLeavingTheList()
    {
        FullScreen f(2);
        f.open(1);
        f.windows->slideshow->SlideshowRunning = true;
        f.dialogs.answerYes();
        f.press(Qt::Key_Space, QStringLiteral(" "));
        QCOMPARE(f.dialogs.last().text,
                 QStringLiteral("Tenhle obrázek byl poslední.\rChcete začít prohlížet znovu od začátku?"));
        QCOMPARE(f.list()->ItemIndex(), 0);
        QVERIFY(f.window()->cas->isActive());
        QVERIFY(!f.list()->FileName().isEmpty());
    }

    void timerAdvancesAndAsksAtTheEnd()
    {
        FullScreen f(2);
        f.open(0);
        f.window()->casTimer();
        QCOMPARE(f.list()->ItemIndex(), 1);
        f.dialogs.answerYes();
        f.window()->casTimer();
        QCOMPARE(f.list()->ItemIndex(), 0);
        QVERIFY(f.window()->cas->isActive());
        f.window()->cas->stop();
        f.list()->SetItemIndex(1);
        f.closeSettingsWhenShown();
        f.window()->casTimer();
        QCOMPARE(f.list()->ItemIndex(), 1);
        QVERIFY(!f.window()->cas->isActive());
    }

    void quitQuestionClosesBothWindowsKeepingTheMainBounds()
    {
        FullScreen f(1);
        f.open(0);
        f.windows->hlavni->setGeometry(30, 40, 500, 400);
        f.press(Qt::Key_Escape, QStringLiteral("\x1b"));
        QCOMPARE(f.dialogs.count(), 1);
        QVERIFY(f.window()->isVisible());
        f.dialogs.answerYes();
        f.press(Qt::Key_Q, QString(), Qt::ControlModifier);
        QCOMPARE(f.dialogs.count(), 2);
        SettingsStore store(SettingsStore::Access::Read);
        QCOMPARE(*StoredSettings::ReadBounds(store, {}), f.windows->hlavni->frameGeometry());
        QCOMPARE(StoredSettings::ReadFolders(store)->directory1, f.source);
    }

    void helpWindowHoldsTheKeySummary()
    {
        FullScreen f(0);
        const QStringList lines = f.windows->help->Memo1->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 29);
        QCOMPARE(lines.first(), QStringLiteral("Posouvání obrázků:"));
        QCOMPARE(lines.at(7), QString(81, QLatin1Char('-')));
        QCOMPARE(lines.at(17),
                 QStringLiteral("Návrat do úvodního výběru složek je možný pomocí klávesy F5."));
        QCOMPARE(lines.at(21), QStringLiteral("Veškeré možnosti jsou dostupné pod pravým tlačítkem myši."));
        QCOMPARE(lines.at(22),
                 QStringLiteral("Ctrl+Z vrátí zpět poslední kopírování, přejmenování nebo smazání."));
        QCOMPARE(
            lines.at(23),
            QStringLiteral("Klávesy 1–9 zkopírují nebo přesunou obrázek do oblíbené složky s tímto číslem."));
        QCOMPARE(
            lines.at(27),
            QStringLiteral("Zobrazí fotky JPEG, HEIC, HEIF, AVIF, WebP, PNG, GIF, TIFF, JPEG XL a RAW "
                           "(DNG, CR2, CR3, NEF, NRW, ARW, RAF, ORF, RW2, PEF, SRW) i obrázky BMP a WMF."));
        QCOMPARE(
            lines.last(),
            QStringLiteral("RAW, JPEG a soubory .xmp jedné fotky se kopírují, přesouvají i mažou společně."));
        QVERIFY(f.windows->help->Memo1->isReadOnly());
        QCOMPARE(f.windows->help->windowTitle(), QStringLiteral("Help"));
    }

    void aboutWindowShowsVersionAndIcon()
    {
        TestEnvironment env;
        QFile::copy(QStringLiteral(PIXLY_ASSETS "/pixly.ico"),
                    QDir(env.startDir()).filePath(QStringLiteral("pixly.ico")));
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        QCOMPARE(windows->about->Label1->text(), QStringLiteral("Verze 2.2"));
        QCOMPARE(windows->about->windowTitle(), QStringLiteral("O programu"));
        QVERIFY(!windows->about->Image1->pixmap().isNull());

        FullScreen withoutIcon(0);
        QVERIFY(withoutIcon.windows->about->Image1->pixmap().isNull());
    }
};

QTEST_MAIN(TestFullScreen)
#include "tst_fullscreen.moc"
