#include "colourprofiles.h"
#include "controls/directorylistbox.h"
#include "controls/filelistbox.h"
#include "controls/radiogroup.h"
#include "controls/zoompicturebox.h"
#include "filebytes.h"
#include "folders/nast_pixly.h"
#include "formatsamples.h"
#include "jpegsegments.h"
#include "platform/settingsstore.h"
#include "recordingdialogs.h"
#include "shell/storedsettings.h"
#include "startedprogram.h"
#include "testenvironment.h"
#include "viewer/fotka_velka.h"
#include "viewer/hlavni_pixly.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

namespace {

struct Viewer {
    TestEnvironment env;
    QString source = env.makeFolder(QStringLiteral("fotky"));
    RecordingDialogs dialogs;
    std::unique_ptr<Windows> windows;

    explicit Viewer(const QList<QPair<QString, QByteArray>>& pictures, const QByteArray& extraSettings = {})
    {
        for (const auto& [name, bytes] : pictures)
            env.writeFile(QStringLiteral("fotky/") + name, bytes);
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + source.toUtf8() + "\n" + extraSettings);
        windows = StartProgram();
    }
    Thlavni* viewer() const { return windows->hlavni; }
    FileListBox* list() const { return windows->nastaveni->FileListBox1; }
    QString path(const QString& name) const { return QDir::toNativeSeparators(QDir(source).filePath(name)); }
    // Opens the viewer and waits until its picture is drawn.
    void open(int index)
    {
        list()->SetItemIndex(index);
        windows->nastaveni->OpenMainViewer();
        // A picture that cannot be shown never comes; the test then checks what took its place.
        static_cast<void>(QTest::qWaitFor([this] { return !viewer()->Image1->Picture().isNull(); }));
    }
    void press(int key, const QString& text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(viewer(), &event);
    }
    void useFavourites(const QStringList& folders) { UseFavourites(*windows, folders); }
};

QByteArray jpeg(const QColor& colour)
{
    return MakeJpeg(64, 48, colour);
}

} // namespace

class TestMainViewer : public QObject {
    Q_OBJECT
private slots:
    void opensWithCaptionPictureAndPath()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)}, {"b.jpg", jpeg(Qt::green)}});
        v.open(1);
        QVERIFY(v.viewer()->isVisible());
        QVERIFY(!v.windows->nastaveni->isVisible());
        QCOMPARE(v.viewer()->windowTitle(), QStringLiteral("Vendrax 2.2"));
        QCOMPARE(v.viewer()->Label1->text(), QStringLiteral("Název souboru:"));
        QCOMPARE(v.viewer()->Label2->text(), v.path(QStringLiteral("b.jpg")));
        QCOMPARE(v.viewer()->Image1->Picture().size(), QSize(64, 48));
        QCOMPARE(v.viewer()->Image1->PictureRect(), QRect(472, 300, 64, 48));
        QCOMPARE(v.dialogs.count(), 0);
    }

    // A phone photo stored on its side is shown upright while the setting is on.
    void phonePhotosAreShownUpright_data()
    {
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("on by default") << QByteArray() << QSize(48, 64);
        QTest::newRow("off") << QByteArray("[nast]\notacet=0\n") << QSize(64, 48);
    }

    void phonePhotosAreShownUpright()
    {
        QFETCH(QByteArray, setting);
        QFETCH(QSize, shown);
        Viewer v({{"a.jpg", WithExifOrientation(jpeg(Qt::red), 6)}}, setting);
        v.open(0);
        QCOMPARE(v.viewer()->Image1->Picture().size(), shown);
    }

    // A picture is shown in the screen's colours while the setting is on; a change applies from the
    // next picture on, also to one read ahead before the change.
    void coloursFollowTheSetting_data()
    {
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<bool>("managed");
        QTest::newRow("on by default") << QByteArray() << true;
        QTest::newRow("off") << QByteArray("[nast]\nbarvy=0\n") << false;
    }

    void coloursFollowTheSetting()
    {
        QFETCH(QByteArray, setting);
        QFETCH(bool, managed);
        // Stored (200, 60, 30) in a profile that shows it as the sRGB (30, 200, 60).
        const QByteArray swapped = WithIccProfile(jpeg(QColor(200, 60, 30)), ChannelSwappingProfile());
        Viewer v({{"a.jpg", swapped}, {"b.jpg", swapped}}, setting);
        const auto shownGreen = [&v] {
            const QImage picture = v.viewer()->Image1->Picture();
            return qGreen(picture.pixel(picture.width() / 2, picture.height() / 2));
        };
        v.open(0);
        QVERIFY(std::abs(shownGreen() - (managed ? 200 : 60)) <= 4);
        v.windows->nastaveni->nast.barvy = !managed;
        v.press(Qt::Key_PageDown);
        QTRY_VERIFY(std::abs(shownGreen() - (managed ? 60 : 200)) <= 4);
    }

    void opensMaximisedEveryTime()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)}});
        v.open(0);
        QVERIFY(v.viewer()->windowState() & Qt::WindowMaximized);
        QCOMPARE(v.viewer()->Image1->geometry().topLeft(), QPoint(8, v.viewer()->MainMenu1->height() + 8));

        v.viewer()->setWindowState(Qt::WindowNoState);
        v.viewer()->Nastavensloek1->trigger();
        v.open(0);
        QVERIFY(v.viewer()->windowState() & Qt::WindowMaximized);
    }

    void doubleClickOnThePictureActsOnce()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)}});
        v.open(0);
        v.list()->SetItemIndex(-1);
        QTest::mouseDClick(v.viewer()->Image1, Qt::LeftButton);
        QCOMPARE(v.dialogs.count(), 1);
        QCOMPARE(v.dialogs.last().text, QStringLiteral("Nevybral jste žádný obrázek!"));
        QVERIFY(!v.viewer()->isVisible());
        QVERIFY(v.windows->nastaveni->isVisible());
    }

    void onlyALeftDoubleClickOnThePictureOrBackgroundOpensFullScreen_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("opens");
        QTest::newRow("picture, left") << QStringLiteral("picture") << Qt::LeftButton << true;
        QTest::newRow("background, left") << QStringLiteral("background") << Qt::LeftButton << true;
        QTest::newRow("picture, right") << QStringLiteral("picture") << Qt::RightButton << false;
        QTest::newRow("picture, middle") << QStringLiteral("picture") << Qt::MiddleButton << false;
        QTest::newRow("background, right") << QStringLiteral("background") << Qt::RightButton << false;
        QTest::newRow("path label") << QStringLiteral("path") << Qt::LeftButton << false;
        QTest::newRow("title label") << QStringLiteral("title") << Qt::LeftButton << false;
    }

    void onlyALeftDoubleClickOnThePictureOrBackgroundOpensFullScreen()
    {
        QFETCH(QString, where);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, opens);
        Viewer v({{"a.jpg", jpeg(Qt::red)}});
        v.open(0);
        Thlavni* viewer = v.viewer();
        // The menu bar spans the window, not only its items.
        QCOMPARE(viewer->MainMenu1->geometry(), QRect(0, 0, viewer->width(), viewer->MainMenu1->height()));
        if (where == QStringLiteral("picture"))
            QTest::mouseDClick(viewer->Image1, button);
        else if (where == QStringLiteral("path"))
            QTest::mouseDClick(viewer->Label2, button);
        else if (where == QStringLiteral("title"))
            QTest::mouseDClick(viewer->Label1, button);
        else
            QTest::mouseDClick(viewer, button, {}, QPoint(2, viewer->MainMenu1->height() + 3));
        QCOMPARE(v.windows->velka_fotka->isVisible(), opens);
        QCOMPARE(viewer->isVisible(), !opens);
    }

    void renamingToAnEmptyNameKeepsThePictureCurrentAndListed()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)}, {"b.jpg", jpeg(Qt::green)}, {"c.jpg", jpeg(Qt::blue)}});
        // Left behind by other systems on memory cards; never listed.
        v.env.writeFile(QStringLiteral("fotky/._a.jpg"), "junk");
        v.windows->nastaveni->RadioGroup1->SetItemIndex(1);
        v.open(1);
        const QString mask = v.list()->Mask();
        v.dialogs.answerInput(QString());
        v.press(Qt::Key_C, QStringLiteral("c"));

        const QString renamed = v.path(QStringLiteral(".jpg"));
        QVERIFY(QFile::exists(renamed));
        QCOMPARE(v.dialogs.last().text, QStringLiteral("Přejmenování úspěšné!\r") + renamed);
        QCOMPARE(v.viewer()->Label2->text(), renamed);
        QCOMPARE(v.list()->FileName(), renamed);
        QCOMPARE(v.list()->Mask(), mask);
        QStringList listed;
        for (int i = 0; i < v.list()->Count(); ++i)
            listed << v.list()->Item(i);
        listed.sort();
        QCOMPARE(listed, QStringList({".jpg", "a.jpg", "c.jpg"}));
        QCOMPARE(v.viewer()->Image1->Picture().size(), QSize(64, 48));
        QVERIFY(v.viewer()->isVisible());
    }

    void showingWithoutPictureReturnsToTheFolderWindow()
    {
        Viewer v({});
        v.viewer()->show();
        QCOMPARE(v.dialogs.last().text, QStringLiteral("Nevybral jste žádný obrázek!"));
        QCOMPARE(v.dialogs.last().icon, QStringLiteral("error"));
        QVERIFY(!v.viewer()->isVisible());
        QVERIFY(v.windows->nastaveni->isVisible());
    }

    void keysStepOnceEach_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("Space") << int(Qt::Key_Space) << " " << 2;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << "" << 2;
        QTest::newRow("Right") << int(Qt::Key_Right) << "" << 2;
        QTest::newRow("+") << int(Qt::Key_Plus) << "+" << 2;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << "\b" << 0;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << "" << 0;
        QTest::newRow("Left") << int(Qt::Key_Left) << "" << 0;
        QTest::newRow("-") << int(Qt::Key_Minus) << "-" << 0;
    }

    void keysStepOnceEach()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, expected);
        Viewer v({{"a.jpg", jpeg(Qt::red)}, {"b.jpg", jpeg(Qt::green)}, {"c.jpg", jpeg(Qt::blue)}});
        v.open(1);
        v.press(key, text);
        QCOMPARE(v.list()->ItemIndex(), expected);
        QCOMPARE(v.viewer()->Label2->text(), v.list()->FileName());
        QCOMPARE(v.dialogs.count(), 0);
    }

    void undecodablePictureKeepsThePreviousPictureAndPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message");
        QTest::newRow("JPEG") << "b.jpg" << QByteArray("not a jpeg") << "JPEG error #";
        const QByteArray heic = EncodeSample(QImage(64, 48, QImage::Format_RGB32), SampleEncoder::Heic);
        QTest::newRow("HEIC cut short") << "b.heic" << heic.left(heic.size() / 2)
                                        << "Obrázek nelze zobrazit, soubor je poškozený nebo neúplný:\r";
    }

    void undecodablePictureKeepsThePreviousPictureAndPath()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        Viewer v({{"a.jpg", jpeg(Qt::red)}, {name, contents}});
        v.open(0);
        v.press(Qt::Key_Space, QStringLiteral(" "));
        QTRY_COMPARE(v.dialogs.count(), 1);
        QCOMPARE(v.dialogs.last().caption, QStringLiteral("Vendrax"));
        QCOMPARE(v.dialogs.last().icon, QStringLiteral("error"));
        QVERIFY2(v.dialogs.last().text.startsWith(message), qPrintable(v.dialogs.last().text));
        QCOMPARE(v.list()->ItemIndex(), 1);
        QCOMPARE(v.viewer()->Label2->text(), v.path(QStringLiteral("a.jpg")));
        QCOMPARE(v.viewer()->Image1->Picture().size(), QSize(64, 48));
    }

    void enterOpensFullScreenOnlyWithAPicture()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)}});
        v.open(0);
        v.press(Qt::Key_Return, QStringLiteral("\r"));
        QVERIFY(!v.viewer()->isVisible());
        QVERIFY(v.windows->velka_fotka->isVisible());
    }

    void deletingTheOnlyPictureGoesBackToTheFolderWindow()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)}});
        v.open(0);
        v.dialogs.answerYes();
        v.press(Qt::Key_Delete);
        QVERIFY(!QFile::exists(v.path(QStringLiteral("a.jpg"))));
        QCOMPARE(v.dialogs.last().text, QStringLiteral("Nevybral jste žádný obrázek!"));
        QVERIFY(!v.viewer()->isVisible());
        QVERIFY(v.windows->nastaveni->isVisible());
    }

    void deletingTheLastPictureShowsTheNewLast()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)}, {"b.jpg", jpeg(Qt::green)}});
        v.open(1);
        v.dialogs.answerYes();
        v.press(Qt::Key_Delete);
        QCOMPARE(v.list()->ItemIndex(), 0);
        QTRY_COMPARE(v.viewer()->Label2->text(), v.path(QStringLiteral("a.jpg")));
    }

    // Each press moves the list and the path and asks its question at once; the picture follows
    // when the last picture is ready, and a picture passed on the way reports nothing.
    void quickPressesEndOnTheLastPicture()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)},
                  {"b.jpg", MakeLateFailingJpeg(1500, 1000)},
                  {"c.jpg", MakeJpeg(30, 20, Qt::blue)},
                  {"d.jpg", MakeJpeg(20, 30, Qt::green)}});
        v.open(0);
        v.dialogs.answerNo();
        for (int press = 0; press < 4; ++press)
            v.press(Qt::Key_PageDown);
        QCOMPARE(v.list()->ItemIndex(), 3);
        QCOMPARE(v.dialogs.count(), 1);
        QCOMPARE(v.dialogs.last().function, QStringLiteral("AskYesNoDefaultYes"));
        QCOMPARE(v.viewer()->Label2->text(), v.path(QStringLiteral("d.jpg")));
        QTRY_COMPARE(v.viewer()->Image1->Picture().size(), QSize(20, 30));
        QTest::qWait(300);
        QCOMPARE(v.dialogs.count(), 1);
    }

    void ctrlZBringsADeletedPictureBackFromTheTrash_data()
    {
        QTest::addColumn<bool>("toTrash");
        QTest::newRow("to the trash") << true;
        QTest::newRow("setting off: outright") << false;
    }

    void ctrlZBringsADeletedPictureBackFromTheTrash()
    {
        QFETCH(bool, toTrash);
        Viewer v({{"a.jpg", jpeg(Qt::red)}, {"b.jpg", jpeg(Qt::green)}}, toTrash ? "" : "[nast]\nkos=0\n");
        v.open(0);
        v.dialogs.answerYes();
        v.press(Qt::Key_Delete);
        QVERIFY(!QFile::exists(v.path(QStringLiteral("a.jpg"))));
        QCOMPARE(QFile::exists(v.env.trashed(QStringLiteral("a.jpg"))), toTrash);
        v.press(Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier);
        QCOMPARE(QFile::exists(v.path(QStringLiteral("a.jpg"))), toTrash);
        QCOMPARE(v.viewer()->Label2->text(),
                 v.path(toTrash ? QStringLiteral("a.jpg") : QStringLiteral("b.jpg")));
        QTRY_COMPARE(v.viewer()->Image1->Picture().pixelColor(0, 0).red() > 200, toTrash);
        QCOMPARE(v.dialogs.count(), 1);
    }

    void copyKeyUsesTheFolderWindowsAction()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)}});
        const QString target = v.env.makeFolder(QStringLiteral("cil"));
        v.windows->nastaveni->DirectoryListBox2->SetDirectory(target);
        v.open(0);
        v.dialogs.answerInput(QStringLiteral("vybrana"));
        v.press(Qt::Key_C, QStringLiteral("c"));
        QVERIFY(QFile::exists(QDir(target).filePath(QStringLiteral("vybrana.jpg"))));
        QCOMPARE(v.dialogs.calls().at(0).text, QStringLiteral("Zadej název pro nový soubor:"));
    }

    void digitSendsThePictureToThatFavourite_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("keypad");
        QTest::newRow("kopírovat, main row") << 0 << false;
        QTest::newRow("přejmenovávat, keypad") << 1 << true;
    }

    void digitSendsThePictureToThatFavourite()
    {
        QFETCH(int, action);
        QFETCH(bool, keypad);
        Viewer v({{"a.jpg", jpeg(Qt::red)}, {"b.jpg", jpeg(Qt::green)}});
        const QString second = v.env.makeFolder(QStringLiteral("druha"));
        v.useFavourites({v.env.makeFolder(QStringLiteral("prvni")), second});
        v.windows->nastaveni->RadioGroup1->SetItemIndex(action);
        v.open(0);
        v.dialogs.answerInput(QStringLiteral("vybrana"));
        v.press(Qt::Key_2, QStringLiteral("2"), keypad ? Qt::KeypadModifier : Qt::NoModifier);

        const bool moved = action == 1;
        const QString target = QDir::toNativeSeparators(QDir(second).filePath(QStringLiteral("vybrana.jpg")));
        QVERIFY(QFile::exists(target));
        QCOMPARE(QFile::exists(v.path(QStringLiteral("a.jpg"))), !moved);
        QCOMPARE(v.dialogs.calls().at(0).text, moved ? QStringLiteral("Zadej nový název pro soubor:")
                                                     : QStringLiteral("Zadej název pro nový soubor:"));
        QCOMPARE(v.dialogs.last().text, (moved ? QStringLiteral("Přejmenování úspěšné!\r")
                                               : QStringLiteral("Kopírování úspěšné!\r")) +
                                            target);
        // After a move the next picture takes its place, as after a deletion.
        QTRY_COMPARE(v.viewer()->Label2->text(),
                     v.path(moved ? QStringLiteral("b.jpg") : QStringLiteral("a.jpg")));

        v.press(Qt::Key_Z, QStringLiteral("\x1a"), Qt::ControlModifier);
        QVERIFY(!QFile::exists(target));
        QVERIFY(QFile::exists(v.path(QStringLiteral("a.jpg"))));
        QTRY_COMPARE(v.viewer()->Label2->text(), v.path(QStringLiteral("a.jpg")));
    }

    void digitThatCannotSendThePictureLeavesEverything_data()
    {
        QTest::addColumn<int>("digit");
        QTest::addColumn<int>("dialogs");
        QTest::newRow("folder gone") << 1 << 1;
        QTest::newRow("move would replace a file") << 2 << 2;
        QTest::newRow("no favourite 3") << 3 << 0;
    }

    void digitThatCannotSendThePictureLeavesEverything()
    {
        QFETCH(int, digit);
        QFETCH(int, dialogs);
        Viewer v({{"a.jpg", jpeg(Qt::red)}});
        const QString occupied = v.env.writeFile(QStringLiteral("druha/a.jpg"), "older");
        v.useFavourites({v.env.startDir() + QStringLiteral("/zmizela"), QFileInfo(occupied).path()});
        v.windows->nastaveni->RadioGroup1->SetItemIndex(1);
        v.open(0);
        v.dialogs.answerInput(QStringLiteral("a.jpg"));
        v.press(Qt::Key_0 + digit, QString::number(digit));
        QCOMPARE(v.dialogs.count(), dialogs);
        if (digit == 1) {
            QCOMPARE(v.dialogs.last().text,
                     QStringLiteral("Daná cesta neexistuje!\rZměňte prosím cestu k oblíbené položce."));
            QCOMPARE(v.dialogs.last().caption, QStringLiteral("Složka nenalezena!"));
            QCOMPARE(v.dialogs.last().icon, QStringLiteral("error"));
        }
        QCOMPARE(FileBytes(occupied), QByteArray("older"));
        QCOMPARE(v.viewer()->Label2->text(), v.path(QStringLiteral("a.jpg")));
        QVERIFY(QFile::exists(v.path(QStringLiteral("a.jpg"))));
        QCOMPARE(v.windows->nastaveni->Favourites().Count(), 2);
    }

    void zoomStaysFromPictureToPictureAndEscLeavesItFirst()
    {
        Viewer v({{"a.jpg", MakeJpeg(2400, 1600, Qt::red)}, {"b.jpg", MakeJpeg(2400, 1600, Qt::green)}});
        v.open(0);
        v.press(Qt::Key_Z, QStringLiteral("z"));
        QVERIFY(v.viewer()->Image1->Zoomed());
        QCOMPARE(v.viewer()->Label2->text(), v.path(QStringLiteral("a.jpg")) + QStringLiteral(" – 100 %"));
        v.press(Qt::Key_PageDown);
        QCOMPARE(v.viewer()->Label2->text(), v.path(QStringLiteral("b.jpg")) + QStringLiteral(" – 100 %"));
        // The next picture's part is drawn zoomed as it comes.
        QVERIFY(QTest::qWaitFor([&] { return v.viewer()->Image1->PartServes(); }));
        QCOMPARE(v.viewer()->Image1->Source(), v.path(QStringLiteral("b.jpg")));

        v.press(Qt::Key_Escape, QStringLiteral("\x1b"));
        QVERIFY(!v.viewer()->Image1->Zoomed());
        QCOMPARE(v.dialogs.count(), 0);
        QCOMPARE(v.viewer()->Label2->text(), v.path(QStringLiteral("b.jpg")));
        v.press(Qt::Key_Escape, QStringLiteral("\x1b"));
        QCOMPARE(v.dialogs.last().text, QStringLiteral("Opravdu chcete ukončit program Pixly?"));
    }

    void escapeQuitsWithoutWritingAndClosingWritesBoundsAndFolders()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)}});
        v.open(0);
        const QString before = v.env.settingsText();
        v.press(Qt::Key_Escape, QStringLiteral("\x1b"));
        QCOMPARE(v.dialogs.last().text, QStringLiteral("Opravdu chcete ukončit program Pixly?"));
        QCOMPARE(v.dialogs.last().defaultButton, QStringLiteral("No"));
        v.dialogs.answerYes();
        v.press(Qt::Key_Escape, QStringLiteral("\x1b"));
        QCOMPARE(v.env.settingsText(), before);

        v.dialogs.answerNo();
        QVERIFY(!v.viewer()->close());
        QCOMPARE(v.env.settingsText(), before);
        v.dialogs.answerYes();
        QVERIFY(v.viewer()->close());
        SettingsStore store(SettingsStore::Access::Read);
        QCOMPARE(StoredSettings::ReadFolders(store)->directory1, v.source);
        QCOMPARE(*StoredSettings::ReadBounds(store, {}), v.viewer()->frameGeometry());
    }

    void folderSettingsItemReturnsToTheFolderWindow()
    {
        Viewer v({{"a.jpg", jpeg(Qt::red)}});
        v.open(0);
        v.viewer()->Nastavensloek1->trigger();
        QVERIFY(!v.viewer()->isVisible());
        QVERIFY(v.windows->nastaveni->isVisible());
        QCOMPARE(v.list()->ItemIndex(), 0);
    }
};

QTEST_MAIN(TestMainViewer)
#include "tst_mainviewer.moc"
