#include "controls/filelistbox.h"
#include "controls/radiogroup.h"
#include "controls/zoompicturebox.h"
#include "folders/nast_pixly.h"
#include "platform/appcursor.h"
#include "recordingdialogs.h"
#include "slideshow/pixly_slide.h"
#include "startedprogram.h"
#include "testenvironment.h"
#include "testsongs.h"
#include "viewer/fotka_velka.h"
#include "x11keys.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QString NoInterval = QStringLiteral("Musíte zadat interval střídání!");

struct Slideshow {
    TestEnvironment env;
    QString source = env.makeFolder(QStringLiteral("fotky"));
    RecordingDialogs dialogs;
    std::unique_ptr<Windows> windows;

    explicit Slideshow(int pictures = 3)
    {
        for (int i = 0; i < pictures; ++i)
            env.writeFile(QStringLiteral("fotky/%1.jpg").arg(i), MakeJpeg(40 + i, 30, Qt::blue));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + source.toUtf8() + "\n");
        windows = StartProgram();
    }
    ~Slideshow() { AppCursor::SetNormal(); }

    Tslideshow* window() const { return windows->slideshow; }
    QTimer* cas() const { return windows->velka_fotka->cas; }
    FileListBox* list() const { return windows->nastaveni->FileListBox1; }
    // The full-screen window on picture index, as the folder window's items leave it.
    void showPicture(int index)
    {
        list()->SetItemIndex(index);
        windows->nastaveni->OpenFullScreen();
    }
    // Shows the settings window modally, runs whileOpen in it, and gives the result.
    int runModal(const std::function<void()>& whileOpen)
    {
        QTimer::singleShot(0, window(), whileOpen);
        return window()->exec();
    }
    int start()
    {
        return runModal([this] { window()->BitBtn1->click(); });
    }
    QString song(const QString& name, int ms)
    {
        return env.writeFile(QStringLiteral("hudba/") + name, TestSongs::Wav(ms));
    }
    QStringList entries() const
    {
        QStringList texts;
        for (int row = 0; row < window()->playlist->count(); ++row)
            texts.append(window()->playlist->item(row)->text());
        return texts;
    }
    void pressInPlaylist(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(window()->playlist, &event);
    }
};

} // namespace

class TestSlideshowWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The real player plays the songs here, quietly.
        qputenv("GST_PLUGIN_FEATURE_RANK", "fakeaudiosink:MAX");
    }

    void musicCheckBoxTogglesTheTallLayout()
    {
        Slideshow s;
        Tslideshow* w = s.window();
        QCOMPARE(w->windowTitle(), QStringLiteral("Slideshow - nastavení"));
        QCOMPARE(w->height(), 220);
        QVERIFY(w->playlist->isHidden());
        QVERIFY(!w->Button1->isEnabled() && !w->Button2->isEnabled());
        QCOMPARE(w->Label1->y(), 160);
        QCOMPARE(w->Label4->y(), 175);
        QCOMPARE(w->BitBtn3->y(), 155);
        QVERIFY(w->PlaylistFromStart);
        QCOMPARE(w->ComboBox1->currentText(), QStringLiteral("vteřin"));
        QCOMPARE(w->RadioGroup1->ItemIndex(), 0);

        w->CheckBox1->setChecked(true);
        QCOMPARE(w->height(), 460);
        QVERIFY(!w->playlist->isHidden());
        QVERIFY(w->Button1->isEnabled() && w->Button2->isEnabled());
        QCOMPARE(w->Label1->y(), 400);
        QCOMPARE(w->Label4->y(), 415);
        QCOMPARE(w->BitBtn3->y(), 395);

        w->CheckBox1->setChecked(false);
        QCOMPARE(w->height(), 220);
        QVERIFY(w->playlist->isHidden());
        QVERIFY(!w->Button1->isEnabled());
    }

    void intervalFieldTakesDigitsAndBackspaceOnly()
    {
        Slideshow s;
        QLineEdit* edit = s.window()->Edit1;
        QTest::keyClicks(edit, QStringLiteral("1a2-+ 3"));
        QCOMPARE(edit->text(), QStringLiteral("123"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("12"));
        QTest::keyClick(edit, Qt::Key_Left);
        QTest::keyClicks(edit, QStringLiteral("0"));
        QCOMPARE(edit->text(), QStringLiteral("102"));
        // Delete types no character: it deletes.
        QTest::keyClick(edit, Qt::Key_Home);
        PressDeleteAsX11Does(edit);
        QCOMPARE(edit->text(), QStringLiteral("02"));
    }

    void startSetsTheTimerAndRunsTheShow_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("interval");
        QTest::newRow("1 second") << "1"
                                  << "vteřin" << 999;
        QTest::newRow("5 seconds") << "5"
                                   << "vteřin" << 4999;
        QTest::newRow("1 minute") << "1"
                                  << "minut" << 59999;
        QTest::newRow("typed unit keeps the interval") << "2"
                                                       << "hodin" << 1000;
    }

    void startSetsTheTimerAndRunsTheShow()
    {
        QFETCH(QString, number);
        QFETCH(QString, unit);
        QFETCH(int, interval);
        Slideshow s;
        s.showPicture(1);
        s.window()->Edit1->setText(number);
        s.window()->ComboBox1->setEditText(unit);
        QCOMPARE(s.start(), int(QDialog::Accepted));
        QCOMPARE(s.cas()->interval(), interval);
        QVERIFY(s.cas()->isActive());
        QVERIFY(s.window()->SlideshowRunning);
        QVERIFY(!s.window()->isVisible());
        // From the current picture: it stays, the first tick shows the next one.
        QCOMPARE(s.list()->ItemIndex(), 1);
        QVERIFY(!AppCursor::IsBusy());
        QCOMPARE(s.dialogs.count(), 0);
    }

    void intervalsThatGiveNoTimerAreRefused_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("unit");
        QTest::newRow("empty") << ""
                               << "vteřin";
        QTest::newRow("zero") << "0"
                              << "vteřin";
        QTest::newRow("zero with a typed unit") << "0"
                                                << "hodin";
        QTest::newRow("seconds past 32 bits") << "2147484"
                                              << "vteřin";
        QTest::newRow("minutes past 32 bits") << "35792"
                                              << "minut";
        QTest::newRow("pasted negative") << "-4"
                                         << "vteřin";
    }

    void intervalsThatGiveNoTimerAreRefused()
    {
        QFETCH(QString, number);
        QFETCH(QString, unit);
        Slideshow s;
        s.showPicture(0);
        s.window()->Edit1->setText(number);
        s.window()->ComboBox1->setEditText(unit);
        QCOMPARE(s.start(), int(QDialog::Accepted));
        QCOMPARE(s.dialogs.count(), 1);
        QCOMPARE(s.dialogs.last().text, NoInterval);
        QCOMPARE(s.dialogs.last().caption, QStringLiteral("Slideshow"));
        QCOMPARE(s.dialogs.last().icon, QStringLiteral("warning"));
        QVERIFY(!s.cas()->isActive());
        QCOMPARE(s.cas()->interval(), 1000);
        QVERIFY(!s.window()->SlideshowRunning);
        QVERIFY(!AppCursor::IsBusy());
    }

    void textThatIsNoIntegerEndsTheStartWithTheCursorBack()
    {
        Slideshow s;
        s.showPicture(0);
        s.window()->Edit1->setText(QStringLiteral("99999999999"));
        QCOMPARE(s.start(), int(QDialog::Accepted));
        QCOMPARE(s.dialogs.last().text, QStringLiteral("'99999999999' is not a valid integer value"));
        QCOMPARE(s.dialogs.last().caption, QStringLiteral("Vendrax"));
        QVERIFY(!s.cas()->isActive());
        QVERIFY(!s.window()->SlideshowRunning);
        QVERIFY(!AppCursor::IsBusy());
    }

    void startFromTheFirstPicture()
    {
        Slideshow s;
        s.showPicture(2);
        QTRY_COMPARE(s.windows->velka_fotka->Image1->Picture().width(), 42);
        s.window()->Edit1->setText(QStringLiteral("3"));
        s.window()->RadioGroup1->SetItemIndex(1);
        s.start();
        QCOMPARE(s.list()->ItemIndex(), 0);
        QCOMPARE(s.windows->velka_fotka->Image1->Picture().width(), 40);
        QVERIFY(s.cas()->isActive());
    }

    void enterStartsShowingPausesAndEscStops()
    {
        Slideshow s;
        s.showPicture(0);
        s.window()->Edit1->setText(QStringLiteral("2"));
        QCOMPARE(s.runModal([&] { QTest::keyClick(s.window()->Edit1, Qt::Key_Return); }),
                 int(QDialog::Accepted));
        QVERIFY(s.window()->SlideshowRunning);
        QVERIFY(s.cas()->isActive());

        bool timerRanWhileOpen = true;
        const int result = s.runModal([&] {
            timerRanWhileOpen = s.cas()->isActive();
            QTest::keyClick(s.window()->Edit1, Qt::Key_Escape);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(!timerRanWhileOpen);
        QVERIFY(!s.window()->SlideshowRunning);
        QVERIFY(!s.cas()->isActive());
    }

    void showingTheWindowPausesWithoutStopping()
    {
        Slideshow s;
        s.showPicture(0);
        s.window()->Edit1->setText(QStringLiteral("1"));
        s.start();
        s.runModal([&] { s.window()->reject(); });
        QVERIFY(!s.cas()->isActive());
        QVERIFY(s.window()->SlideshowRunning);
    }

    void musicPlaysPausesResumesAndStops()
    {
        Slideshow s;
        const QString song = s.song(QStringLiteral("a.wav"), 3000);
        Tslideshow* w = s.window();
        s.showPicture(0);
        w->CheckBox1->setChecked(true);
        s.dialogs.answerPath(song);
        w->Button1->click();
        QCOMPARE(s.entries(), QStringList{song});
        w->Edit1->setText(QStringLiteral("1"));

        s.start();
        QVERIFY(s.window()->SlideshowRunning);
        QCOMPARE(w->player->MediaFiles(), QStringList{song});
        QCOMPARE(w->player->Mode(), PlayerMode::Playing);
        QVERIFY(w->playcas->isActive());
        QCOMPARE(w->playcas->interval(), 200);
        // The busy cursor of the start lasts until the first music tick.
        QVERIFY(AppCursor::IsBusy());
        w->playcasTimer();
        QVERIFY(!AppCursor::IsBusy());
        QCOMPARE(w->SongTicks, 1);
        QVERIFY(!w->PlaylistFromStart);

        s.runModal([&] { w->reject(); });
        QCOMPARE(w->player->Mode(), PlayerMode::Paused);
        QVERIFY(!w->playcas->isActive());
        // Shown again without a start in between, the song stays paused.
        s.runModal([&] { w->reject(); });
        QCOMPARE(w->player->Mode(), PlayerMode::Paused);

        s.start();
        QCOMPARE(w->player->Mode(), PlayerMode::Playing);
        QCOMPARE(w->SongTicks, 1);

        // Leaving the full-screen window stops the music; the next start begins again.
        s.windows->velka_fotka->hide();
        QCOMPARE(w->player->Mode(), PlayerMode::Stopped);
        QVERIFY(!w->playcas->isActive());
        QVERIFY(w->PlaylistFromStart);
        s.showPicture(0);
        s.start();
        QCOMPARE(w->SongTicks, 0);
        QCOMPARE(w->player->Mode(), PlayerMode::Playing);
        QVERIFY(AppCursor::IsBusy());

        // Stopped before the first tick of the new start, the music stops all the same.
        s.runModal([&] { w->BitBtn3->click(); });
        QCOMPARE(w->player->Mode(), PlayerMode::Stopped);
        QVERIFY(!w->playcas->isActive());
        QVERIFY(!w->SlideshowRunning);
        // Shown before that tick came, the window put the cursor back.
        QVERIFY(!AppCursor::IsBusy());
    }

    void firstTickEndsTheBusyCursorAlsoWhenItEndsTheSong()
    {
        Slideshow s;
        const QString song = s.song(QStringLiteral("a.wav"), 100);
        Tslideshow* w = s.window();
        s.showPicture(0);
        w->CheckBox1->setChecked(true);
        s.dialogs.answerPath(song);
        w->Button1->click();
        w->Edit1->setText(QStringLiteral("1"));
        s.start();
        QVERIFY(AppCursor::IsBusy());
        w->playcasTimer();
        QCOMPARE(w->SongIndex, 1);
        QVERIFY(!w->playcas->isActive());
        QVERIFY(!AppCursor::IsBusy());
    }

    void songThatCannotBeOpenedAbandonsTheStart()
    {
        Slideshow s;
        s.showPicture(0);
        Tslideshow* w = s.window();
        w->CheckBox1->setChecked(true);
        const QString missing = QDir(s.env.startDir()).filePath(QStringLiteral("chybi.mp3"));
        w->playlist->addItem(missing);
        w->Edit1->setText(QStringLiteral("1"));
        QCOMPARE(s.start(), int(QDialog::Accepted));
        QCOMPARE(s.dialogs.count(), 1);
        QVERIFY2(s.dialogs.last().text.startsWith(QStringLiteral("Cannot play file \"%1\". ").arg(missing)),
                 qPrintable(s.dialogs.last().text));
        QCOMPARE(s.dialogs.last().caption, QStringLiteral("Vendrax"));
        QVERIFY(!s.cas()->isActive());
        QVERIFY(!w->SlideshowRunning);
        QVERIFY(!w->playcas->isActive());
        QVERIFY(!AppCursor::IsBusy());
    }

    void emptyPlaylistStartsTheShowInSilence()
    {
        Slideshow s;
        s.showPicture(0);
        Tslideshow* w = s.window();
        w->CheckBox1->setChecked(true);
        w->Edit1->setText(QStringLiteral("1"));
        s.start();
        QCOMPARE(s.dialogs.count(), 0);
        QVERIFY(w->SlideshowRunning);
        QVERIFY(!w->playcas->isActive());
        QCOMPARE(w->SongTicks, 0);
        QCOMPARE(w->player->Mode(), PlayerMode::NotOpen);
        QVERIFY(!AppCursor::IsBusy());
        s.runModal([&] { w->BitBtn3->click(); });
        QCOMPARE(s.dialogs.count(), 0);
    }

    void addingSongsAndPlaylists()
    {
        Slideshow s;
        Tslideshow* w = s.window();
        w->CheckBox1->setChecked(true);
        const QString a = s.song(QStringLiteral("a.wav"), 100);
        const QString b = s.song(QStringLiteral("b.wav"), 100);
        const QString list = s.env.writeFile(QStringLiteral("hudba/seznam.m3u"),
                                             "#EXTM3U\r\n#EXTINF:1,a\r\n" + a.toUtf8() +
                                                 "\r\n#EXTINF:1,b\r\n" + b.toUtf8() + "\r\n");
        const QString capitals = s.env.writeFile(QStringLiteral("hudba/LIST.M3U"), "#EXTM3U\n");

        s.dialogs.answerPath(a);
        w->Button1->click();
        QCOMPARE(s.dialogs.last().function, QStringLiteral("ChooseOpenFile"));
        QCOMPARE(
            s.dialogs.last().text,
            QStringLiteral("Hudební soubory a playlisty|*.mp3;*.wav;*.mid;*.midi;*.wma;*.m3u|MP3|*.mp3|WAV|"
                           "*.wav|MIDI|*.mid;*.midi|WMA|*.wma|Playlist M3U|*.m3u"));
        s.dialogs.answerCancel();
        w->Button1->click();
        s.dialogs.answerPath(list);
        w->Pidatpsnikuneboplaylist1->trigger();
        s.dialogs.answerPath(capitals);
        w->Button1->click();
        QCOMPARE(s.entries(), (QStringList{a, a, b, capitals}));
        QVERIFY(!AppCursor::IsBusy());

        const QString missingList = QDir(s.env.startDir()).filePath(QStringLiteral("chybi.m3u"));
        s.dialogs.answerPath(missingList);
        w->Button1->click();
        QVERIFY(s.dialogs.last().text.startsWith(QStringLiteral("Cannot open file")));
        QCOMPARE(s.dialogs.last().caption, QStringLiteral("Vendrax"));
        QCOMPARE(s.entries().size(), 4);
        QVERIFY(!AppCursor::IsBusy());
    }

    void addingAFolder()
    {
        Slideshow s;
        Tslideshow* w = s.window();
        w->CheckBox1->setChecked(true);
        const QString music = s.env.makeFolder(QStringLiteral("disk/hudba"));
        const QString a = s.env.writeFile(QStringLiteral("disk/hudba/a.mp3"), "x");
        s.env.writeFile(QStringLiteral("disk/hudba/B.MP3"), "x");
        const QString d = s.env.writeFile(QStringLiteral("disk/hudba/x/d.wav"), "x");
        s.dialogs.answerPath(music);
        w->Button2->click();
        QCOMPARE(s.dialogs.last().function, QStringLiteral("ChooseFolder"));
        QCOMPARE(s.dialogs.last().text, QStringLiteral("Vyberte adresář:"));
        QCOMPARE(s.entries(), (QStringList{a, d}));
        QCOMPARE(QDir::toNativeSeparators(QDir::currentPath()), s.env.makeFolder(QStringLiteral("disk")));

        w->Button2->click();
        QCOMPARE(s.entries().size(), 2);
        s.dialogs.answerPath(QDir(s.env.startDir()).filePath(QStringLiteral("chybi")));
        w->Button2->click();
        QCOMPARE(s.dialogs.last().function, QStringLiteral("ShowWarningDialog"));
        QCOMPARE(s.dialogs.last().text, QStringLiteral("Vnitřní chyba programu!"));
        QCOMPARE(s.entries().size(), 2);
    }

    void deletingSelectedEntriesAsksFirst()
    {
        Slideshow s;
        Tslideshow* w = s.window();
        w->CheckBox1->setChecked(true);
        w->playlist->addItems({QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3")});
        w->playlist->setCurrentRow(0);
        w->playlist->item(2)->setSelected(true);
        w->PlaylistFromStart = false;

        s.pressInPlaylist(Qt::Key_Delete);
        QCOMPARE(s.dialogs.last().text, QStringLiteral("Opravdu chcete vymazat označenou položku?"));
        QCOMPARE(s.dialogs.last().caption, QStringLiteral("Smazání písničky"));
        QCOMPARE(s.dialogs.last().defaultButton, QStringLiteral("No"));
        QCOMPARE(s.entries().size(), 3);
        QVERIFY(!w->PlaylistFromStart);

        s.dialogs.answerYes();
        w->Vymazatoznaenoupoloku1->trigger();
        QCOMPARE(s.entries(), QStringList{QStringLiteral("b.mp3")});
        QVERIFY(w->PlaylistFromStart);

        // Deleting a later entry leaves the next start's song alone.
        w->playlist->addItem(QStringLiteral("d.mp3"));
        w->playlist->setCurrentRow(1);
        w->PlaylistFromStart = false;
        s.dialogs.answerYes();
        s.pressInPlaylist(Qt::Key_Delete);
        QCOMPARE(s.entries(), QStringList{QStringLiteral("b.mp3")});
        QVERIFY(!w->PlaylistFromStart);

        s.pressInPlaylist(Qt::Key_F1);
        QCOMPARE(s.dialogs.last().caption, QStringLiteral("Help"));
        QCOMPARE(s.dialogs.last().icon, QStringLiteral("information"));
        QCOMPARE(s.dialogs.last().text,
                 QStringLiteral(
                     "Zde můžete nastavit promítání obrázků (slideshow).\rPo Vámi zvoleném intervalu se "
                     "budou obrázky samy měnit.\rK promítání je též možné zvolit hudbu."));
    }
};

QTEST_MAIN(TestSlideshowWindow)
#include "tst_slideshowwindow.moc"
