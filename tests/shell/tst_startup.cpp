#include "controls/directorylistbox.h"
#include "controls/filelistbox.h"
#include "folders/nast_pixly.h"
#include "platform/settingsstore.h"
#include "platform/systeminfo.h"
#include "recordingdialogs.h"
#include "shell/pixly_flash.h"
#include "shell/storedsettings.h"
#include "startedprogram.h"
#include "testenvironment.h"
#include "viewer/hlavni_pixly.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

namespace {

const QString FirstRunQuestion =
    QStringLiteral("Tato verze je spuštěna poprvé.\rPřejete si převést do ní data ze starší verze?");
const QString Downgrade =
    QStringLiteral("Spouštíte nižší verzi programu, než byla spuštěna naposledy.\r"
                   "Nelze zaručit 100% kompatibilitu verzí.\rOmluvte proto prosím případné chyby.");

QString storedVersion()
{
    SettingsStore store(SettingsStore::Access::Read);
    return StoredSettings::ReadVersion(store).value_or(QStringLiteral("<missing>"));
}

bool keyExists(const QString& key)
{
    SettingsStore store(SettingsStore::Access::Read);
    return store.KeyExists(key);
}

const QString NoVersionRecord = QStringLiteral("<no prog key>");

// An older profile: folders, colours, confirmations off, bounds and the version given.
void writeOlderProfile(const TestEnvironment& env, const QString& version, bool withNast = true)
{
    QByteArray ini = "[form]\ntop=10\nleft=20\nheight=500\nwidth=600\n"
                     "[dir]\ndirectory1=" +
                     env.makeFolder(QStringLiteral("src")).toUtf8() +
                     "\ndirectory2=" + env.makeFolder(QStringLiteral("dst")).toUtf8() + "\n[akt]\naktual=0\n";
    if (withNast)
        ini += "[nast]\nrozliseni=3\nnastaveni=255\nhlavni=65280\nvelka=16711680\norig=/p/"
               "o.jpg\nshow=0\nkos=0\notacet=0\nformaty=0\nbarvy=0\ndvojice=0\n";
    if (version != NoVersionRecord) ini += "[prog]\nverze=" + version.toUtf8() + "\n";
    env.writeFile(QStringLiteral("Vendrax.conf"), ini);
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesTheVersionAndUsesDefaults()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();

        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(storedVersion(), QStringLiteral("2.2"));
        QVERIFY(windows->Form7->aktual);
        const Tnastaveni* folders = windows->nastaveni;
        QCOMPARE(folders->DirectoryListBox1->Directory(), SystemInfo::DefaultPicturesFolder());
        QCOMPARE(folders->DirectoryListBox2->Directory(), SystemInfo::DefaultPicturesFolder());
        QCOMPARE(folders->nast.nastaveni, 14211288);
        QCOMPARE(folders->nast.hlavni, 16755027);
        QCOMPARE(folders->nast.velka, 12632256);
        QCOMPARE(folders->nast.show, true);
        QCOMPARE(folders->nast.kos, true);
        QCOMPARE(folders->nast.rozliseni,
                 StoredSettings::ResolutionIndexForScreen(SystemInfo::PrimaryScreenSize()));
        QCOMPARE(folders->nast.orig, QDir::toNativeSeparators(env.startDir() + QStringLiteral("/logo.jpg")));
        QCOMPARE(folders->startDir, env.startDir());
        QCOMPARE(folders->verze, QStringLiteral("2.2"));
        QVERIFY(folders->isVisible());
    }

    void profileWithoutVersionRecordIsDeleted()
    {
        TestEnvironment env;
        writeOlderProfile(env, NoVersionRecord);
        RecordingDialogs dialogs;
        auto windows = StartProgram();

        QCOMPARE(dialogs.count(), 0);
        QVERIFY(!keyExists(RegistryKeys::Dir));
        QVERIFY(!keyExists(RegistryKeys::Nast));
        QCOMPARE(windows->nastaveni->DirectoryListBox1->Directory(), SystemInfo::DefaultPicturesFolder());
        QCOMPARE(windows->nastaveni->nast.nastaveni, 14211288);
        // The automatic check flag is read before the key goes.
        QVERIFY(!windows->Form7->aktual);
        QVERIFY(!keyExists(RegistryKeys::Akt));
        QCOMPARE(storedVersion(), QStringLiteral("2.2"));
    }

    void olderVersionAsksAndMigrates_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("carryOver");
        QTest::newRow("2.1 yes") << "2.1" << true;
        QTest::newRow("2.1 no") << "2.1" << false;
        QTest::newRow("1.9 yes") << "1.9" << true;
    }

    void olderVersionAsksAndMigrates()
    {
        QFETCH(QString, stored);
        QFETCH(bool, carryOver);
        TestEnvironment env;
        writeOlderProfile(env, stored);
        RecordingDialogs dialogs;
        carryOver ? dialogs.answerYes() : dialogs.answerNo();
        auto windows = StartProgram();

        QVERIFY(dialogs.count() >= 1);
        const DialogCall question = dialogs.calls().first();
        QCOMPARE(question.function, QStringLiteral("AskYesNo"));
        QCOMPARE(question.text, FirstRunQuestion);
        QCOMPARE(question.caption, QStringLiteral("První spuštění"));
        QCOMPARE(question.defaultButton, QStringLiteral("No"));

        const Tnastaveni* folders = windows->nastaveni;
        QVERIFY(!keyExists(RegistryKeys::Form));
        QVERIFY(!keyExists(RegistryKeys::Akt));
        QCOMPARE(storedVersion(), QStringLiteral("2.2"));
        // The automatic check flag was read before the key was cleared.
        QCOMPARE(windows->Form7->aktual, false);
        if (carryOver) {
            QCOMPARE(dialogs.count(), 2);
            QCOMPARE(dialogs.last().text, QStringLiteral("Data úspěšně převedena!"));
            QCOMPARE(dialogs.last().caption, QStringLiteral("První spuštění"));
            QCOMPARE(dialogs.last().icon, QStringLiteral("information"));
            QCOMPARE(folders->DirectoryListBox1->Directory(), env.makeFolder(QStringLiteral("src")));
            QCOMPARE(folders->DirectoryListBox2->Directory(), env.makeFolder(QStringLiteral("dst")));
            QCOMPARE(folders->nast.nastaveni, 255);
            QCOMPARE(folders->nast.show, false);
            QCOMPARE(folders->nast.kos, false);
            QCOMPARE(folders->nast.otacet, false);
            QCOMPARE(folders->nast.formaty, false);
            QCOMPARE(folders->nast.barvy, false);
            QCOMPARE(folders->nast.dvojice, false);
            QCOMPARE(folders->nast.rozliseni, 3);
        } else {
            QCOMPARE(dialogs.count(), 1);
            QVERIFY(!keyExists(RegistryKeys::Dir));
            QVERIFY(!keyExists(RegistryKeys::Nast));
            QCOMPARE(folders->DirectoryListBox1->Directory(), SystemInfo::DefaultPicturesFolder());
            QCOMPARE(folders->nast.nastaveni, 14211288);
            QCOMPARE(folders->nast.show, true);
            QCOMPARE(folders->nast.kos, true);
            QCOMPARE(folders->nast.otacet, true);
            QCOMPARE(folders->nast.formaty, true);
            QCOMPARE(folders->nast.barvy, true);
            QCOMPARE(folders->nast.dvojice, true);
        }
    }

    void migrationWithoutDisplayKeyWritesTheDefaults()
    {
        TestEnvironment env;
        writeOlderProfile(env, QStringLiteral("2.1"), false);
        RecordingDialogs dialogs;
        dialogs.answerYes();
        auto windows = StartProgram();

        SettingsStore store(SettingsStore::Access::Read);
        const auto display = StoredSettings::ReadDisplay(store, {});
        QVERIFY(display);
        QCOMPARE(display->nastaveni, 14211288);
        QCOMPARE(display->orig, QDir::toNativeSeparators(env.startDir() + QStringLiteral("/logo.jpg")));
        QCOMPARE(display->rozliseni,
                 StoredSettings::ResolutionIndexForScreen(SystemInfo::PrimaryScreenSize()));
    }

    void secondStartOfTheSameVersionAsksNothing()
    {
        TestEnvironment env;
        writeOlderProfile(env, QStringLiteral("2.1"));
        {
            RecordingDialogs dialogs;
            dialogs.answerYes();
            StartProgram();
        }
        RecordingDialogs dialogs;
        StartProgram();
        QCOMPARE(dialogs.count(), 0);
    }

    void newerStoredVersionWarnsOnce_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("2.3") << "2.3";
        QTest::newRow("3.0") << "3.0";
    }

    void newerStoredVersionWarnsOnce()
    {
        QFETCH(QString, stored);
        TestEnvironment env;
        writeOlderProfile(env, stored);
        {
            RecordingDialogs dialogs;
            auto windows = StartProgram();
            QCOMPARE(dialogs.count(), 1);
            QCOMPARE(dialogs.last().function, QStringLiteral("ShowMessageKind"));
            QCOMPARE(dialogs.last().text, Downgrade);
            QCOMPARE(dialogs.last().caption, QStringLiteral("Spuštění"));
            QCOMPARE(dialogs.last().icon, QStringLiteral("warning"));
            // Nothing else was cleared: the user's folders are still there.
            QCOMPARE(windows->nastaveni->DirectoryListBox1->Directory(),
                     env.makeFolder(QStringLiteral("src")));
        }
        QCOMPARE(storedVersion(), QStringLiteral("2.2"));
        RecordingDialogs dialogs;
        StartProgram();
        QCOMPARE(dialogs.count(), 0);
    }

    void sameOrUncomparableVersionSaysNothing_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("2.2") << "2.2";
        QTest::newRow("empty") << "";
        QTest::newRow("x") << "x";
        QTest::newRow("2-x") << "2-x";
    }

    void sameOrUncomparableVersionSaysNothing()
    {
        QFETCH(QString, stored);
        TestEnvironment env;
        writeOlderProfile(env, stored);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(windows->nastaveni->nast.nastaveni, 255);
        QCOMPARE(storedVersion(), QStringLiteral("2.2"));
    }

    void splashShowsVersionFillsBarAndHandsOver()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        TForm7* splash = windows->Form7;
        splash->show();
        QCOMPARE(splash->Label1->text(), QStringLiteral("Pixly 2.2"));
        QCOMPARE(splash->ProgressBar1->value(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(splash->ProgressBar1->value(), 100, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!splash->isVisible(), 3000);
        QVERIFY(windows->nastaveni->isVisible());
        QVERIFY(!splash->Timer1->isActive());
        QVERIFY(!splash->Timer2->isActive());
    }

    void handOverLeavesAViewerOpenedUnderTheSplashInFront()
    {
        TestEnvironment env;
        const QString source = env.makeFolder(QStringLiteral("fotky"));
        env.writeFile(QStringLiteral("fotky/a.jpg"), MakeJpeg(40, 30, Qt::red));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + source.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        windows->Form7->show();
        windows->nastaveni->FileListBox1->SetItemIndex(0);
        windows->nastaveni->OpenMainViewer();
        windows->Form7->Timer1Timer();
        QVERIFY(!windows->Form7->isVisible());
        QVERIFY(windows->hlavni->isVisible());
        QVERIFY(!windows->nastaveni->isVisible());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
