#include "controls/directorylistbox.h"
#include "controls/drivecombobox.h"
#include "controls/filelistbox.h"
#include "controls/picturebox.h"
#include "controls/radiogroup.h"
#include "folders/favouritesview.h"
#include "folders/nast_pixly.h"
#include "jpegsegments.h"
#include "platform/settingsstore.h"
#include "platform/systeminfo.h"
#include "recordingdialogs.h"
#include "settings/nast_pixly_prog.h"
#include "shell/pixly_flash.h"
#include "shell/storedsettings.h"
#include "startedprogram.h"
#include "testenvironment.h"
#include "viewer/hlavni_pixly.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString NoPicture = QStringLiteral("Nevybral jste žádný obrázek!");
const QString QuitQuestion = QStringLiteral("Opravdu chcete ukončit program Pixly?");

QString nativeJoin(const QString& folder, const QString& name)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

// Distinct colours tell the pictures apart in the preview.
QColor previewColour(const Tnastaveni* window)
{
    const QImage& picture = window->Image1->Picture();
    return picture.isNull() ? QColor() : picture.pixelColor(picture.width() / 2, picture.height() / 2);
}

bool sameColour(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) < 12 && qAbs(a.green() - b.green()) < 12 && qAbs(a.blue() - b.blue()) < 12;
}

void clickFileAt(Tnastaveni* window, int row)
{
    FileListBox* list = window->FileListBox1;
    const QRect place = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
}

// The events of a real double-click: a click, then the second press as a double-click.
void doubleClickAt(QAbstractScrollArea* list, const QPoint& at)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// A name for the control that has the focus, so that a wrong stop says where Tab went.
QString focusedControl(const QHash<QWidget*, QString>& names)
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused) return QStringLiteral("(none)");
    return names.value(focused, QString::fromLatin1(focused->metaObject()->className()));
}

// Counts how often a window is shown.
class ShowCounter : public QObject {
public:
    ShowCounter(int* shown, QObject* parent) : QObject(parent), shown_(shown) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) ++*shown_;
        return QObject::eventFilter(watched, event);
    }

private:
    int* shown_;
};

} // namespace

class TestFolderWindow : public QObject {
    Q_OBJECT
private slots:
    void restoredProfileAppliesFoldersColoursAndBounds()
    {
        TestEnvironment env;
        const QString source = env.makeFolder(QStringLiteral("zdroj"));
        const QString destination = env.makeFolder(QStringLiteral("cíl"));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + source.toUtf8() +
                          "\ndirectory2=" + destination.toUtf8() +
                          "\n[nast]\nrozliseni=2\nnastaveni=255\nhlavni=1\nvelka=2\norig=logo.jpg\nshow="
                          "0\nformaty=0\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        QCOMPARE(window->DirectoryListBox1->Directory(), source);
        QCOMPARE(window->DirectoryListBox2->Directory(), destination);
        QCOMPARE(window->Edit1->text(), source);
        QCOMPARE(window->Edit2->text(), destination);
        QCOMPARE(window->FileListBox1->Directory(), source);
        QCOMPARE(window->FileListBox2->Directory(), destination);
        QCOMPARE(window->nast.nastaveni, 255);
        QCOMPARE(window->nast.show, false);
        QCOMPARE(window->nast.orig, nativeJoin(env.startDir(), QStringLiteral("logo.jpg")));
        QCOMPARE(window->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(window->RadioGroup1->ItemIndex(), 0);
        QCOMPARE(window->RadioGroup1->Items(), QStringList({"kopírovat", "přejmenovávat"}));
        QCOMPARE(window->RadioGroup2->ItemIndex(), 0);
        QCOMPARE(window->FileListBox1->Mask(), QStringLiteral("*.jpg;*.jpeg;*.bmp;*.wmf"));
        QCOMPARE(dialogs.count(), 0);
    }

    void missingSourceFolderStartsAtTheRootAndKeepsTheDestination()
    {
        TestEnvironment env;
        const QString destination = env.makeFolder(QStringLiteral("cil"));
        env.writeFile(QStringLiteral("Vendrax.conf"), "[prog]\nverze=2.2\n[dir]\ndirectory1=/no/such/folder\n"
                                                      "directory2=" +
                                                          destination.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        QCOMPARE(windows->nastaveni->DirectoryListBox1->Directory(), SystemInfo::SystemRoot());
        QCOMPARE(windows->nastaveni->DirectoryListBox2->Directory(), destination);
    }

    void fileTypeChoiceSetsTheMaskOfBothLists_data()
    {
        QTest::addColumn<QByteArray>("formaty");
        QTest::addColumn<QStringList>("items");
        // For each item, the names both lists then hold, separated by spaces.
        QTest::addColumn<QStringList>("listed");
        const QStringList first{"Vše", "JPG, JPEG", "BMP", "WMF"};
        QTest::newRow("as the program always had it")
            << QByteArray("0") << first
            << QStringList{"a.jpg b.JPEG c.bmp d.wmf", "a.jpg b.JPEG", "c.bmp", "d.wmf"};
        QTest::newRow("all formats of photos")
            << QByteArray("1") << first + QStringList{"HEIC, AVIF", "RAW", "PNG, WebP, GIF", "TIFF, JXL"}
            << QStringList{"a.jpg b.JPEG c.bmp d.wmf e.gif f.png g.heic h.CR3 i.tif j.jxl k.avif l.webp",
                           "a.jpg b.JPEG",
                           "c.bmp",
                           "d.wmf",
                           "g.heic k.avif",
                           "h.CR3",
                           "e.gif f.png l.webp",
                           "i.tif j.jxl"};
    }

    void fileTypeChoiceSetsTheMaskOfBothLists()
    {
        QFETCH(QByteArray, formaty);
        QFETCH(QStringList, items);
        QFETCH(QStringList, listed);
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("pics"));
        for (const char* name : {"a.jpg", "b.JPEG", "c.bmp", "d.wmf", "e.gif", "f.png", "g.heic", "h.CR3",
                                 "i.tif", "j.jxl", "k.avif", "l.webp", "m.txt"})
            env.writeFile(QStringLiteral("pics/") + name, "x");
        env.writeFile(QStringLiteral("Vendrax.conf"), "[prog]\nverze=2.2\n[nast]\nformaty=" + formaty +
                                                          "\n[dir]\ndirectory1=" + folder.toUtf8() +
                                                          "\ndirectory2=" + folder.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        const auto names = [](FileListBox* list) {
            QStringList result;
            for (int i = 0; i < list->Count(); ++i)
                result << list->Item(i);
            return result.join(u' ');
        };
        QCOMPARE(window->RadioGroup2->Items(), items);
        QCOMPARE(names(window->FileListBox1), listed[0]);
        for (int index = items.size() - 1; index >= 0; --index) {
            window->RadioGroup2->SetItemIndex(index);
            QCOMPARE(names(window->FileListBox1), listed[index]);
            QCOMPARE(names(window->FileListBox2), listed[index]);
        }
        // Every item stands whole inside the frame, which leaves its neighbours alone.
        for (QWidget* neighbour : std::initializer_list<QWidget*>{
                 window->FileListBox2, window->Label5, window->Image1, window->BitBtn2, window->RadioGroup1})
            QVERIFY(!window->RadioGroup2->geometry().intersects(neighbour->geometry()));
        window->RadioGroup2->layout()->activate();
        for (QAbstractButton* button : window->RadioGroup2->Buttons()) {
            QVERIFY2(window->RadioGroup2->contentsRect().contains(button->geometry()),
                     qPrintable(button->text()));
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
        }
    }

    void previewKeepsPictureForTheFirstThreeSourceChanges()
    {
        TestEnvironment env;
        env.writeFile(QStringLiteral("start/logo.jpg"), MakeJpeg(40, 30, Qt::red));
        const QString one = env.makeFolder(QStringLiteral("one"));
        const QString two = env.makeFolder(QStringLiteral("two"));
        env.writeFile(QStringLiteral("one/green.jpg"), MakeJpeg(40, 30, Qt::green));
        env.writeFile(QStringLiteral("Vendrax.conf"), "[prog]\nverze=2.2\n[dir]\ndirectory1=" + one.toUtf8() +
                                                          "\ndirectory2=" + two.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        QVERIFY(sameColour(previewColour(window), Qt::red));
        QCOMPARE(window->defaultPicture, nativeJoin(env.startDir(), QStringLiteral("logo.jpg")));

        // Creation made two source changes, the first showing makes the third.
        window->hide();
        window->show();
        QCOMPARE(window->sourceChangeCount, 3);
        clickFileAt(window, 0);
        QVERIFY(sameColour(previewColour(window), Qt::green));

        // Later changes reset the preview to the default picture, even after
        // the default picture setting itself has changed.
        window->nast.orig = QStringLiteral("/elsewhere.jpg");
        window->DirectoryListBox1->SetDirectory(two);
        QVERIFY(sameColour(previewColour(window), Qt::red));
        QCOMPARE(window->sourceChangeCount, 3);
    }

    void missingDefaultPictureKeepsTheBuiltInOne()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        QCOMPARE(windows->nastaveni->Image1->Picture().size(), QSize(962, 613));
        QCOMPARE(dialogs.count(), 0);
    }

    void pressingAFileLoadsThePreviewAndReportsOnlyAnEmptyJpeg()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("pics"));
        env.writeFile(QStringLiteral("pics/a_blue.jpg"), MakeJpeg(20, 20, Qt::blue));
        env.writeFile(QStringLiteral("pics/b_damaged.bmp"), "BMnonsense");
        env.writeFile(QStringLiteral("pics/c_empty.jpg"), QByteArray());
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + folder.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->activateWindow();

        clickFileAt(window, 0);
        QVERIFY(sameColour(previewColour(window), Qt::blue));
        QCOMPARE(window->FileListBox1->ItemIndex(), 0);
        QVERIFY(window->FileListBox1->isEnabled());

        clickFileAt(window, 1);
        QCOMPARE(dialogs.count(), 0);
        QVERIFY(sameColour(previewColour(window), Qt::blue));

        clickFileAt(window, 2);
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().function, QStringLiteral("ShowPlainMessage"));
        QCOMPARE(dialogs.last().text, QStringLiteral("Incomplete JPEG"));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Vendrax"));
        QCOMPARE(dialogs.last().icon, QStringLiteral("none"));
        QVERIFY(sameColour(previewColour(window), Qt::blue));
        QCOMPARE(window->FileListBox1->ItemIndex(), 2);
    }

    void previewTurnsAPortraitPhotoWhileTheSettingIsOn_data()
    {
        QTest::addColumn<bool>("otacet");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("on") << true << QSize(96, 193);
        QTest::newRow("off") << false << QSize(193, 96);
    }

    void previewTurnsAPortraitPhotoWhileTheSettingIsOn()
    {
        QFETCH(bool, otacet);
        QFETCH(QSize, shown);
        TestEnvironment env;
        const QString phone =
            env.writeFile(QStringLiteral("phone.jpg"), WithExifOrientation(MakeJpeg(100, 50, Qt::blue), 6));
        auto windows = StartProgram();
        windows->nastaveni->nast.otacet = otacet;
        windows->nastaveni->LoadPreview(phone);
        QCOMPARE(windows->nastaveni->Image1->PictureRect(), QRect(QPoint(0, 0), shown));
    }

    void showingTheWindowAgainKeepsTheSelectedFile()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("pics"));
        env.writeFile(QStringLiteral("pics/a.jpg"), MakeJpeg(20, 20, Qt::blue));
        env.writeFile(QStringLiteral("pics/b.jpg"), MakeJpeg(20, 20, Qt::green));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + folder.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->FileListBox1->SetItemIndex(1);
        window->hide();
        window->show();
        QCOMPARE(window->FileListBox1->ItemIndex(), 1);
        QVERIFY(sameColour(previewColour(window), Qt::green));
    }

    void afterAClickTheWindowKeysRefreshBothLists()
    {
        TestEnvironment env;
        const QString one = env.makeFolder(QStringLiteral("one"));
        const QString two = env.makeFolder(QStringLiteral("two"));
        env.writeFile(QStringLiteral("one/a.jpg"), MakeJpeg(8, 8, Qt::red));
        env.writeFile(QStringLiteral("Vendrax.conf"), "[prog]\nverze=2.2\n[dir]\ndirectory1=" + one.toUtf8() +
                                                          "\ndirectory2=" + two.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        QApplication::setActiveWindow(window);
        clickFileAt(window, 0);
        QCOMPARE(QApplication::focusWidget(), window);

        env.writeFile(QStringLiteral("two/copied elsewhere.jpg"), MakeJpeg(8, 8, Qt::red));
        QCOMPARE(window->FileListBox2->Count(), 0);
        QTest::keyClick(window, Qt::Key_F5);
        QCOMPARE(window->FileListBox2->Count(), 1);
        QTest::keyClick(window, Qt::Key_Delete);
        QCOMPARE(dialogs.count(), 0);
        QVERIFY(QFile::exists(nativeJoin(one, QStringLiteral("a.jpg"))));

        // F5 belongs to the window alone: in a list it does nothing.
        env.writeFile(QStringLiteral("two/second.jpg"), MakeJpeg(8, 8, Qt::red));
        window->FileListBox1->setFocus();
        QTest::keyClick(window->FileListBox1, Qt::Key_F5);
        QCOMPARE(window->FileListBox2->Count(), 1);
    }

    void swapExchangesFoldersOnlyOnYes()
    {
        TestEnvironment env;
        const QString one = env.makeFolder(QStringLiteral("one"));
        const QString two = env.makeFolder(QStringLiteral("two"));
        env.writeFile(QStringLiteral("Vendrax.conf"), "[prog]\nverze=2.2\n[dir]\ndirectory1=" + one.toUtf8() +
                                                          "\ndirectory2=" + two.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        dialogs.answerNo();
        window->BitBtn2->click();
        QCOMPARE(dialogs.last().text, QStringLiteral("Přejete si prohodit cesty ke složkám?"));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Změna adresáře"));
        QCOMPARE(dialogs.last().defaultButton, QStringLiteral("No"));
        QCOMPARE(window->DirectoryListBox1->Directory(), one);
        QCOMPARE(window->DirectoryListBox2->Directory(), two);

        dialogs.answerYes();
        window->BitBtn2->click();
        QCOMPARE(window->DirectoryListBox1->Directory(), two);
        QCOMPARE(window->DirectoryListBox2->Directory(), one);
        QCOMPARE(window->Edit1->text(), two);
        QCOMPARE(window->FileListBox2->Directory(), one);
    }

    void newFolderIsCreatedAndBecomesTheDestination()
    {
        TestEnvironment env;
        const QString target = env.makeFolder(QStringLiteral("target"));
        env.makeFolder(QStringLiteral("target/old"));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory2=" + target.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        dialogs.answerInput(QStringLiteral("Dovolená 2026"));
        window->Button2->click();
        QCOMPARE(dialogs.calls().at(0).function, QStringLiteral("InputBox"));
        QCOMPARE(dialogs.calls().at(0).caption, QStringLiteral("Vytvoření nové složky"));
        QCOMPARE(dialogs.calls().at(0).text, QStringLiteral("Zadejte název nové složky:"));
        QCOMPARE(dialogs.calls().at(0).proposed, QStringLiteral("Nová složka"));
        QVERIFY(QDir(target).exists(QStringLiteral("Dovolená 2026")));
        QCOMPARE(window->DirectoryListBox2->Directory(), nativeJoin(target, QStringLiteral("Dovolená 2026")));
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Složka \"Dovolená 2026\" byla vytvořena a nastavena jako aktuální."));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Vytvoření nové složky"));
        QCOMPARE(dialogs.last().icon, QStringLiteral("information"));

        // An existing folder is announced, then entered all the same.
        dialogs.clear();
        window->DirectoryListBox2->SetDirectory(target);
        dialogs.answerInput(QStringLiteral("old"));
        window->Button2->click();
        QCOMPARE(dialogs.count(), 3);
        QCOMPARE(dialogs.calls().at(1).function, QStringLiteral("ShowWarningDialog"));
        QCOMPARE(dialogs.calls().at(1).text, QStringLiteral("Zadaný adresář již existuje!"));
        QCOMPARE(dialogs.calls().at(1).caption, QStringLiteral("Warning"));
        QCOMPARE(window->DirectoryListBox2->Directory(), nativeJoin(target, QStringLiteral("old")));

        // Cancel and an emptied name do nothing.
        dialogs.clear();
        window->Button2->click();
        dialogs.answerInput(QString());
        window->Button2->click();
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(window->DirectoryListBox2->Directory(), nativeJoin(target, QStringLiteral("old")));
    }

    void newFolderThatCannotBeMadeIsNotReportedAsCreated()
    {
        TestEnvironment env;
        const QString target = env.makeFolder(QStringLiteral("target"));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory2=" + target.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        dialogs.answerInput(QStringLiteral("missing/parent"));
        window->Button2->click();
        QCOMPARE(dialogs.last().icon, QStringLiteral("error"));
        QVERIFY(!dialogs.last().text.contains(QStringLiteral("byla vytvořena")));
        QCOMPARE(window->DirectoryListBox2->Directory(), target);
    }

    void newFolderNamedLikeAFileIsNotMadeAndTheDestinationStays()
    {
        TestEnvironment env;
        const QString target = env.makeFolder(QStringLiteral("target"));
        const QString file = env.writeFile(QStringLiteral("target/notes"), "keep");
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory2=" + target.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        dialogs.answerInput(QStringLiteral("notes"));
        window->Button2->click();
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(dialogs.last().function, QStringLiteral("ShowMessageKind"));
        QCOMPARE(dialogs.last().text, QStringLiteral("Složku \"notes\" nelze vytvořit."));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Vytvoření nové složky"));
        QCOMPARE(dialogs.last().icon, QStringLiteral("error"));
        QCOMPARE(window->DirectoryListBox2->Directory(), target);
        QVERIFY(QFileInfo(file).isFile());
    }

    void tabVisitsTheControlsInOrderAndEntersEachRadioGroupAtItsChoice()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        // A choice made by the program, before the group ever had the focus.
        window->RadioGroup2->SetItemIndex(2);
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));

        const QList<std::pair<QWidget*, QString>> order{
            {window->DriveComboBox1, "DriveComboBox1"},
            {window->DirectoryListBox1, "DirectoryListBox1"},
            {window->FileListBox1, "FileListBox1"},
            {window->ListView1, "ListView1"},
            {window->pridat, "pridat"},
            {window->zmenit, "zmenit"},
            {window->smazat, "smazat"},
            {window->RadioGroup1->Buttons().at(0), "RadioGroup1 kopírovat"},
            {window->RadioGroup2->Buttons().at(2), "RadioGroup2 BMP"},
            {window->DriveComboBox2, "DriveComboBox2"},
            {window->DirectoryListBox2, "DirectoryListBox2"},
            {window->FileListBox2, "FileListBox2"},
            {window->BitBtn1, "BitBtn1"},
            {window->Button1, "Button1"},
            {window->BitBtn2, "BitBtn2"},
        };
        QHash<QWidget*, QString> names{{window, QStringLiteral("the window")}};
        for (const auto& [control, name] : order)
            names.insert(control, name);
        for (QAbstractButton* button : window->RadioGroup1->Buttons() + window->RadioGroup2->Buttons())
            if (!names.contains(button)) names.insert(button, QStringLiteral("unchosen ") + button->text());

        window->DriveComboBox1->setFocus();
        // Once round and back to the first control, with no stop on the window itself.
        for (qsizetype step = 1; step <= order.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusedControl(names), order[step % order.size()].second);
        }
    }

    void aClickBesideTheControlsGivesTheWindowItsKeys()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->DirectoryListBox1->setFocus();
        const QPoint besideTheControls(500, 550);
        QVERIFY(!window->childAt(besideTheControls));
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, besideTheControls);
        QCOMPARE(QApplication::focusWidget(), window);
        QTest::keyClick(window, Qt::Key_F1);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Help"));
    }

    void doubleClickBesideTheFilesWithNothingSelectedComplainsOnce_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::newRow("empty folder") << QStringList();
        QTest::newRow("below the files") << QStringList({"a.jpg", "b.jpg"});
    }

    void doubleClickBesideTheFilesWithNothingSelectedComplainsOnce()
    {
        QFETCH(QStringList, files);
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("pics"));
        for (const QString& name : files)
            env.writeFile(QStringLiteral("pics/") + name, MakeJpeg(8, 8, Qt::red));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + folder.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        FileListBox* list = window->FileListBox1;
        QCOMPARE(list->ItemIndex(), -1);

        doubleClickAt(list, QPoint(10, list->viewport()->height() - 10));
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().text, NoPicture);
        QCOMPARE(dialogs.last().icon, QStringLiteral("error"));
        QVERIFY(window->isVisible());
        QVERIFY(!windows->hlavni->isVisible());
    }

    void doubleClickOnAFileOpensTheViewerOnce()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("pics"));
        env.writeFile(QStringLiteral("pics/a.jpg"), MakeJpeg(8, 8, Qt::red));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + folder.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        FileListBox* list = window->FileListBox1;
        int shown = 0;
        windows->hlavni->installEventFilter(new ShowCounter(&shown, windows->hlavni));

        doubleClickAt(list, list->visualItemRect(list->item(0)).center());
        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(shown, 1);
        QVERIFY(windows->hlavni->isVisible());
        QVERIFY(!window->isVisible());
    }

    void unreadableDriveIsNamedAsTheBoxListsIt()
    {
        TestEnvironment env;
        const QString source = env.makeFolder(QStringLiteral("zdroj"));
        const QString destination = env.makeFolder(QStringLiteral("cil"));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + source.toUtf8() +
                          "\ndirectory2=" + destination.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        const QString gone = QDir::toNativeSeparators(QStringLiteral("/media/USB-Gone"));

        window->DriveComboBox1->SetDrive(gone);
        window->DriveComboBox1Change(gone);
        QCOMPARE(dialogs.last().text, QStringLiteral("Jednotka %1 je nedostupná!").arg(gone));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Disk nedostupný!"));
        QCOMPARE(dialogs.last().icon, QStringLiteral("error"));
        QCOMPARE(window->DirectoryListBox1->Directory(), source);
        QCOMPARE(window->DriveComboBox1->Drive(), DriveComboBox::DriveOf(source));

        window->DriveComboBox2->SetDrive(gone);
        window->DriveComboBox2Change(gone);
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(dialogs.last().text, QStringLiteral("Jednotka %1 je nedostupná!").arg(gone));
        QCOMPARE(window->DirectoryListBox2->Directory(), destination);
        QCOMPARE(window->DriveComboBox2->Drive(), DriveComboBox::DriveOf(destination));
    }

    void openingWithoutSelectionComplains()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->BitBtn1->click();
        QCOMPARE(dialogs.last().text, NoPicture);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Pixly"));
        QCOMPARE(dialogs.last().icon, QStringLiteral("error"));
        QVERIFY(window->isVisible());
        QVERIFY(!windows->hlavni->isVisible());
    }

    void helpKeyAndButtonShowTheHelpText()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->BitBtn3->click();
        QCOMPARE(dialogs.last().caption, QStringLiteral("Help"));
        QVERIFY(dialogs.last().text.startsWith(QStringLiteral("Zde můžete nastavit složky")));
        QVERIFY(dialogs.last().text.endsWith(QStringLiteral("(klik pravým tlačítkem na obrázek).")));
        QCOMPARE(dialogs.last().icon, QStringLiteral("information"));
        QTest::keyClick(window->DirectoryListBox1, Qt::Key_F1);
        QCOMPARE(dialogs.count(), 2);
    }

    void quitAnsweredNoWritesNothing()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        const QString before = env.settingsText();
        dialogs.answerNo();
        QVERIFY(!windows->nastaveni->close());
        QCOMPARE(dialogs.last().text, QuitQuestion);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Pixly"));
        QCOMPARE(dialogs.last().defaultButton, QStringLiteral("No"));
        QVERIFY(windows->nastaveni->isVisible());
        QCOMPARE(env.settingsText(), before);
    }

    void quitAnsweredYesStoresEverything()
    {
        TestEnvironment env;
        const QString one = env.makeFolder(QStringLiteral("one"));
        const QString two = env.makeFolder(QStringLiteral("two"));
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->DirectoryListBox1->SetDirectory(one);
        window->DirectoryListBox2->SetDirectory(two);
        windows->hlavni->setGeometry(40, 50, 300, 200);
        windows->Form6->CheckBox2->setChecked(false);
        window->nast.hlavni = 1234;

        dialogs.answerYes();
        QVERIFY(window->close());

        SettingsStore store(SettingsStore::Access::Read);
        const auto folders = StoredSettings::ReadFolders(store);
        QCOMPARE(folders->directory1, one);
        QCOMPARE(folders->directory2, two);
        QCOMPARE(StoredSettings::ReadDisplay(store, {})->hlavni, 1234);
        QCOMPARE(StoredSettings::ReadAutomaticCheck(store), false);
        QCOMPARE(*StoredSettings::ReadBounds(store, {}), windows->hlavni->frameGeometry());

        // The next start restores the folders and applies the bounds.
        RecordingDialogs next;
        auto restarted = StartProgram();
        QCOMPARE(restarted->nastaveni->DirectoryListBox1->Directory(), one);
        QCOMPARE(restarted->nastaveni->DirectoryListBox2->Directory(), two);
        QVERIFY(!restarted->Form7->aktual);
    }
};

QTEST_MAIN(TestFolderWindow)
#include "tst_folderwindow.moc"
