#include "controls/directorylistbox.h"
#include "controls/drivecombobox.h"
#include "controls/filelistbox.h"
#include "controls/radiogroup.h"
#include "filebytes.h"
#include "folders/nast_pixly.h"
#include "formats/jpegcodec.h"
#include "jpegsegments.h"
#include "platform/appcursor.h"
#include "recordingdialogs.h"
#include "resample/pixly_spec.h"
#include "startedprogram.h"
#include "testenvironment.h"
#include "x11keys.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace {

const QString RunQuestion = QStringLiteral(
    "Změna velikosti obrázků je velice náročná operace.\rBěhem trvání této operace bude počítač "
    "zpomalen.\rOpravdu chcete operaci provést?");

QByteArray photo(int width = 64, int height = 48)
{
    return MakeJpeg(width, height, Qt::darkYellow);
}

// The program started on a source folder of pictures and an empty destination folder, with the
// resample window shown.
struct Resample {
    TestEnvironment env;
    QString source = env.makeFolder(QStringLiteral("fotky"));
    QString destination = env.makeFolder(QStringLiteral("cil"));
    RecordingDialogs dialogs;
    std::unique_ptr<Windows> windows;

    explicit Resample(const QList<QPair<QString, QByteArray>>& pictures)
    {
        for (const auto& [name, bytes] : pictures)
            env.writeFile(QStringLiteral("fotky/") + name, bytes);
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + source.toUtf8() +
                          "\ndirectory2=" + destination.toUtf8() + "\n");
        windows = StartProgram();
        window()->show();
    }
    Tspecial* window() const { return windows->special; }
    QString in(const QString& name) const { return QDir::toNativeSeparators(QDir(source).filePath(name)); }
    QString out(const QString& name) const
    {
        return QDir::toNativeSeparators(QDir(destination).filePath(name));
    }
    QSize sizeOf(const QString& path) const { return ReadJpegSize(FileBytes(path)); }
    void type(const QString& keys) { QTest::keyClicks(window()->procent, keys); }
    void pressEnter() { QTest::keyClick(window()->procent, Qt::Key_Return); }
    // Answers the question with Yes and runs.
    void run()
    {
        dialogs.answerYes();
        window()->BitBtn1->click();
    }
};

} // namespace

class TestResampleWindow : public QObject {
    Q_OBJECT
private slots:
    void startsFromTheFolderWindow()
    {
        Resample r(
            {{"a.jpg", photo()}, {"b.bmp", MakeBmp(4, 4, Qt::red)}, {"c.txt", "text"}, {"d.heic", "x"}});
        Tspecial& w = *r.window();
        QCOMPARE(w.windowTitle(), QStringLiteral("Resample obrázků"));
        QCOMPARE(w.size(), QSize(687, 460));
        QCOMPARE(w.DirectoryListBox1->Directory(), r.source);
        QCOMPARE(w.DirectoryListBox2->Directory(), r.destination);
        QCOMPARE(w.FileListBox1->Directory(), r.source);
        // The folder window's mask without the formats that are not resampled.
        QCOMPARE(w.FileListBox1->Mask(), QStringLiteral("*.jpg;*.jpeg;*.bmp;*.wmf"));
        QCOMPARE(w.FileListBox1->Count(), 2);
        QCOMPARE(w.TrackBar1->value(), 50);
        QCOMPARE(w.procent->text(), QStringLiteral("50"));
        QCOMPARE(w.RadioGroup1->Items(), (QStringList{QStringLiteral("Do stejné složky, přepsat originály"),
                                                      QStringLiteral("Do jiné složky")}));
        QCOMPARE(w.RadioGroup1->ItemIndex(), 0);
        QCOMPARE(w.RadioGroup2->Items(), (QStringList{QStringLiteral("Složku"), QStringLiteral("Soubor")}));
        QCOMPARE(w.RadioGroup2->ItemIndex(), 0);
        QVERIFY(w.DirectoryListBox2->isEnabled());
        QVERIFY(!w.ProgressBar1->isVisible());
        QCOMPARE(w.BitBtn1->text(), QStringLiteral("Jdi na to!"));
        QVERIFY(!w.BitBtn1->icon().isNull());
    }

    void fileListFollowsTheFolderWindowsMask()
    {
        Resample r({{"a.jpg", photo()}, {"b.bmp", MakeBmp(4, 4, Qt::red)}});
        r.window()->hide();
        r.windows->nastaveni->RadioGroup2->SetItemIndex(1);
        r.window()->show();
        QCOMPARE(r.window()->FileListBox1->Count(), 1);
        QCOMPARE(r.window()->FileListBox1->Item(0), QStringLiteral("a.jpg"));
    }

    void procentPassesDigitsOnly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits") << "75"
                                << "5075";
        QTest::newRow("letters and signs") << "a-7,x"
                                           << "507";
        QTest::newRow("space") << " 1"
                               << "501";
    }

    void procentPassesDigitsOnly()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Resample r({});
        r.window()->procent->end(false);
        r.type(typed);
        QCOMPARE(r.window()->procent->text(), shown);
        QCOMPARE(r.window()->TrackBar1->value(), 50);
    }

    void deleteAndTabKeepTheirMeaning()
    {
        Resample r({});
        Tspecial& w = *r.window();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.procent->setFocus();
        w.procent->home(false);
        PressDeleteAsX11Does(w.procent);
        QCOMPARE(w.procent->text(), QStringLiteral("0"));
        QTest::keyClick(w.procent, Qt::Key_Tab);
        QVERIFY(!w.procent->hasFocus());
    }

    void backspaceIsSwallowed()
    {
        Resample r({});
        r.window()->procent->end(false);
        QTest::keyClick(r.window()->procent, Qt::Key_Backspace);
        QCOMPARE(r.window()->procent->text(), QStringLiteral("50"));
    }

    void enterSetsTheTrackBar_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("shown");
        QTest::newRow("75") << "75" << 75 << "75";
        QTest::newRow("500 is cut to 200") << "500" << 200 << "200";
        QTest::newRow("0") << "0" << 0 << "0";
        QTest::newRow("leading zeros") << "007" << 7 << "7";
    }

    void enterSetsTheTrackBar()
    {
        QFETCH(QString, typed);
        QFETCH(int, position);
        QFETCH(QString, shown);
        Resample r({});
        r.window()->procent->clear();
        r.type(typed);
        r.pressEnter();
        QCOMPARE(r.window()->TrackBar1->value(), position);
        QCOMPARE(r.window()->procent->text(), shown);
        QCOMPARE(r.dialogs.count(), 0);
    }

    void enterOnAnEmptyFieldIsAnError()
    {
        Resample r({});
        r.window()->procent->clear();
        r.pressEnter();
        QCOMPARE(r.dialogs.last().text, QStringLiteral("'' is not a valid integer value"));
        QCOMPARE(r.dialogs.last().caption, QStringLiteral("Vendrax"));
        QCOMPARE(r.dialogs.last().icon, QStringLiteral("error"));
        QCOMPARE(r.window()->TrackBar1->value(), 50);
    }

    void trackBarWritesProcent()
    {
        Resample r({});
        r.window()->TrackBar1->setValue(130);
        QCOMPARE(r.window()->procent->text(), QStringLiteral("130"));
    }

    void typedNumberWithoutEnterDoesNotCount()
    {
        Resample r({{"a.jpg", photo(100, 60)}});
        r.window()->procent->clear();
        r.type(QStringLiteral("75"));
        r.run();
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("a.jpg"))), QSize(50, 30));
    }

    void whereChoiceEnablesTheDestination()
    {
        Resample r({});
        Tspecial& w = *r.window();
        w.RadioGroup1->SetItemIndex(1);
        QVERIFY(w.DriveComboBox2->isEnabled() && w.DirectoryListBox2->isEnabled() && w.Button1->isEnabled());
        w.RadioGroup1->SetItemIndex(0);
        QVERIFY(!w.DriveComboBox2->isEnabled() && !w.DirectoryListBox2->isEnabled() &&
                !w.Button1->isEnabled());
    }

    void documentsButtonGoesToTheDocumentsFolder()
    {
        Resample r({});
        const QString home = r.env.makeFolder(QStringLiteral("home"));
        const QString documents = r.env.makeFolder(QStringLiteral("home/Documents"));
        const QByteArray previousHome = qgetenv("HOME");
        const QByteArray previousConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", r.env.makeFolder(QStringLiteral("config")).toLocal8Bit());
        r.window()->Button1->click();
        qputenv("HOME", previousHome);
        qputenv("XDG_CONFIG_HOME", previousConfig);
        QCOMPARE(r.window()->DirectoryListBox2->Directory(), documents);
    }

    void newFolderIsMadeInTheDestination()
    {
        Resample r({});
        r.dialogs.answerInput(QStringLiteral("zmenšené"));
        r.window()->Vytvoitnovousloku1Click();
        QCOMPARE(r.dialogs.last().function, QStringLiteral("InputBox"));
        QCOMPARE(r.dialogs.last().caption, QStringLiteral("Vytvoření nové složky"));
        QCOMPARE(r.dialogs.last().text, QStringLiteral("Zadejte název nové složky:"));
        QCOMPARE(r.dialogs.last().proposed, QStringLiteral("Nová složka"));
        QVERIFY(QFileInfo(r.out(QStringLiteral("zmenšené"))).isDir());
        QCOMPARE(QDir::currentPath(), QDir::fromNativeSeparators(r.destination));
        QCOMPARE(r.window()->DirectoryListBox2->Directory(), r.destination);

        r.dialogs.answerInput(QStringLiteral("zmenšené"));
        r.window()->Vytvoitnovousloku1Click();
        QCOMPARE(r.dialogs.last().function, QStringLiteral("ShowWarningDialog"));
        QCOMPARE(r.dialogs.last().text, QStringLiteral("Zadaný adresář již existuje!"));

        // A file of that name: the folder window's outcome, the file kept.
        const QString file = r.out(QStringLiteral("poznámky"));
        QFile notes(file);
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("keep") == 4);
        notes.close();
        r.dialogs.answerInput(QStringLiteral("poznámky"));
        r.window()->Vytvoitnovousloku1Click();
        QCOMPARE(r.dialogs.last().function, QStringLiteral("ShowMessageKind"));
        QCOMPARE(r.dialogs.last().text, QStringLiteral("Složku \"poznámky\" nelze vytvořit."));
        QCOMPARE(r.dialogs.last().caption, QStringLiteral("Vytvoření nové složky"));
        QCOMPARE(r.dialogs.last().icon, QStringLiteral("error"));
        QCOMPARE(FileBytes(file), QByteArray("keep"));

        r.dialogs.answerCancel();
        r.dialogs.answerInput(QString());
        const int calls = r.dialogs.count();
        r.window()->Vytvoitnovousloku1Click();
        r.window()->Vytvoitnovousloku1Click();
        QCOMPARE(r.dialogs.count(), calls + 2);
        QCOMPARE(QDir(r.destination).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    }

    void answeringNoChangesNothingAndCloses()
    {
        Resample r({{"a.jpg", photo()}});
        const QByteArray before = FileBytes(r.in(QStringLiteral("a.jpg")));
        r.dialogs.answerNo();
        r.window()->BitBtn1->click();
        QCOMPARE(r.dialogs.last().function, QStringLiteral("AskYesNo"));
        QCOMPARE(r.dialogs.last().text, RunQuestion);
        QCOMPARE(r.dialogs.last().caption, QStringLiteral("Resample"));
        QCOMPARE(r.dialogs.last().defaultButton, QStringLiteral("No"));
        QCOMPARE(FileBytes(r.in(QStringLiteral("a.jpg"))), before);
        QVERIFY(!r.window()->isVisible());
    }

    void folderInPlaceRewritesEveryPicture()
    {
        Resample r({{"a.jpg", photo(100, 80)}, {"b.jpeg", photo(50, 40)}});
        r.run();
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("a.jpg"))), QSize(50, 40));
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("b.jpeg"))), QSize(25, 20));
        QCOMPARE(QDir(r.source).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QCOMPARE(r.dialogs.count(), 1);
        QVERIFY(!r.window()->isVisible());
        QVERIFY(r.window()->isEnabled());
        QVERIFY(!AppCursor::IsBusy());
    }

    void folderElsewhereKeepsTheOriginals()
    {
        Resample r({{"a.jpg", photo(100, 80)}, {"b.jpg", photo(50, 40)}});
        r.env.writeFile(QStringLiteral("cil/b.jpg"), "an older b");
        const QByteArray a = FileBytes(r.in(QStringLiteral("a.jpg")));
        r.window()->RadioGroup1->SetItemIndex(1);
        r.window()->TrackBar1->setValue(200);
        r.run();
        QCOMPARE(r.sizeOf(r.out(QStringLiteral("a.jpg"))), QSize(200, 160));
        QCOMPARE(r.sizeOf(r.out(QStringLiteral("b.jpg"))), QSize(100, 80));
        QCOMPARE(FileBytes(r.in(QStringLiteral("a.jpg"))), a);
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("b.jpg"))), QSize(50, 40));
    }

    void portraitPhotosAreWrittenUprightWhileTheSettingIsOn_data()
    {
        QTest::addColumn<bool>("otacet");
        QTest::addColumn<QSize>("written");
        QTest::newRow("on") << true << QSize(40, 50);
        QTest::newRow("off") << false << QSize(50, 40);
    }

    void portraitPhotosAreWrittenUprightWhileTheSettingIsOn()
    {
        QFETCH(bool, otacet);
        QFETCH(QSize, written);
        Resample r({{"a.jpg", WithExifOrientation(photo(100, 80), 6)}});
        r.windows->nastaveni->nast.otacet = otacet;
        r.run();
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("a.jpg"))), written);
    }

    void singleFileDoesOnlyTheSelectedOne()
    {
        Resample r({{"a.jpg", photo(100, 80)}, {"b.jpg", photo(100, 80)}});
        r.window()->RadioGroup2->SetItemIndex(1);
        r.window()->FileListBox1->SetItemIndex(1);
        r.run();
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("a.jpg"))), QSize(100, 80));
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("b.jpg"))), QSize(50, 40));
    }

    void singleFileWithoutSelectionDoesNothing()
    {
        Resample r({{"a.jpg", photo(100, 80)}});
        r.window()->RadioGroup2->SetItemIndex(1);
        r.run();
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("a.jpg"))), QSize(100, 80));
        QCOMPARE(r.dialogs.count(), 1);
    }

    void bitmapAfterTwoJpegsStopsTheRun()
    {
        Resample r({{"a.jpg", photo(100, 80)},
                    {"b.jpg", photo(100, 80)},
                    {"c.bmp", MakeBmp(20, 20, Qt::red)},
                    {"d.jpg", photo(100, 80)}});
        const QByteArray bitmap = FileBytes(r.in(QStringLiteral("c.bmp")));
        r.run();
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("a.jpg"))), QSize(50, 40));
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("b.jpg"))), QSize(50, 40));
        QCOMPARE(FileBytes(r.in(QStringLiteral("c.bmp"))), bitmap);
        QCOMPARE(r.sizeOf(r.in(QStringLiteral("d.jpg"))), QSize(100, 80));
        QCOMPARE(r.dialogs.last().caption, QStringLiteral("Vendrax"));
        QCOMPARE(r.dialogs.last().icon, QStringLiteral("error"));
        QVERIFY(r.dialogs.last().text.startsWith(QStringLiteral("JPEG error #")));
        QVERIFY(r.window()->isEnabled());
        QVERIFY(!AppCursor::IsBusy());
        QVERIFY(!r.window()->isVisible());
    }

    void zeroPercentWarnsAndWritesNothing()
    {
        Resample r({{"a.jpg", photo()}, {"b.jpg", photo()}});
        const QByteArray before = FileBytes(r.in(QStringLiteral("a.jpg")));
        r.window()->TrackBar1->setValue(0);
        r.run();
        QCOMPARE(r.dialogs.last().icon, QStringLiteral("warning"));
        QCOMPARE(r.dialogs.last().caption, QStringLiteral("Resample"));
        QCOMPARE(
            r.dialogs.last().text,
            QStringLiteral("Obrázek %1 by po změně velikosti měl 0 × 0 bodů a takový obrázek nelze uložit.\r"
                           "Tento obrázek ani obrázky za ním nebyly změněny.")
                .arg(r.in(QStringLiteral("a.jpg"))));
        QCOMPARE(FileBytes(r.in(QStringLiteral("a.jpg"))), before);
        QCOMPARE(QDir(r.source).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void runShowsItsProgressWhileTheWindowIsLocked()
    {
        Resample r(
            {{"a.jpg", photo(1600, 1200)}, {"b.jpg", photo(1600, 1200)}, {"c.jpg", photo(1600, 1200)}});
        Tspecial& w = *r.window();
        struct Seen {
            int value;
            QString text;
            bool visible, enabled, busy, running;
        };
        QList<Seen> seen;
        connect(w.ProgressBar1, &QProgressBar::valueChanged, [&](int value) {
            seen.append({value, w.Label2->text(), w.ProgressBar1->isVisible(), w.isEnabled(),
                         AppCursor::IsBusy(), w.Running()});
            // Closing the window while it works is refused.
            QCloseEvent close;
            QApplication::sendEvent(&w, &close);
            QVERIFY(!close.isAccepted());
        });
        r.run();
        QVERIFY(!seen.isEmpty());
        QCOMPARE(seen.first().value, 0);
        QCOMPARE(seen.first().text, QStringLiteral("Zpracovává se obrázek 1 / 3: a.jpg"));
        QCOMPARE(w.ProgressBar1->maximum(), 3);
        for (const Seen& moment : seen) {
            QVERIFY(moment.visible && !moment.enabled && moment.busy && moment.running);
            if (moment.value < 3)
                QCOMPARE(moment.text, QStringLiteral("Zpracovává se obrázek %1 / 3: %2")
                                          .arg(moment.value + 1)
                                          .arg(QStringLiteral("%1.jpg").arg(QChar(u'a' + moment.value))));
        }
        QCOMPARE(seen.last().value, 3);
        QVERIFY(!w.Running());
        QVERIFY(!w.ProgressBar1->isVisible());
    }
};

QTEST_MAIN(TestResampleWindow)
#include "tst_resamplewindow.moc"
