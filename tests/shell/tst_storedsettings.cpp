#include "platform/settingsstore.h"
#include "shell/storedsettings.h"
#include "shell/versioncompare.h"
#include "testenvironment.h"

#include <QTest>

class TestStoredSettings : public QObject {
    Q_OBJECT
private slots:
    void resolutionIndexFollowsTheScreen_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<int>("index");
        QTest::newRow("1280x1024") << QSize(1280, 1024) << 0;
        QTest::newRow("1024x768") << QSize(1024, 768) << 1;
        QTest::newRow("800x600") << QSize(800, 600) << 2;
        QTest::newRow("1920x1080") << QSize(1920, 1080) << 0;
        QTest::newRow("1366x768") << QSize(1366, 768) << 0;
    }

    void resolutionIndexFollowsTheScreen()
    {
        QFETCH(QSize, screen);
        QFETCH(int, index);
        QCOMPARE(StoredSettings::ResolutionIndexForScreen(screen), index);
    }

    void malformedValuesTakeTheirDefaults()
    {
        TestEnvironment env;
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[nast]\nrozliseni=9\nnastaveni=abc\nhlavni=255\norig=/x.jpg\n"
                      "[form]\ntop=oops\nleft=10\nheight=300\nwidth=400\n[akt]\naktual=x\n");
        SettingsStore store(SettingsStore::Access::Read);
        const DisplaySettings defaults =
            StoredSettings::DefaultDisplay(QSize(1024, 768), QStringLiteral("/s"));
        const auto display = StoredSettings::ReadDisplay(store, defaults);
        QVERIFY(display);
        QCOMPARE(display->rozliseni, 1);
        QCOMPARE(display->nastaveni, 14211288);
        QCOMPARE(display->hlavni, 255);
        QCOMPARE(display->velka, 12632256);
        QCOMPARE(display->orig, QStringLiteral("/x.jpg"));
        QCOMPARE(display->show, true);
        QCOMPARE(display->kos, true);
        QCOMPARE(display->otacet, true);
        QCOMPARE(display->formaty, true);
        QCOMPARE(display->barvy, true);
        QCOMPARE(display->dvojice, true);

        const auto bounds = StoredSettings::ReadBounds(store, QRect(1, 2, 3, 4));
        QCOMPARE(*bounds, QRect(10, 2, 400, 300));
        QCOMPARE(StoredSettings::ReadAutomaticCheck(store), true);
    }

    void missingKeysGiveNothing()
    {
        TestEnvironment env;
        SettingsStore store(SettingsStore::Access::Read);
        QVERIFY(!StoredSettings::ReadDisplay(store, {}));
        QVERIFY(!StoredSettings::ReadFolders(store));
        QVERIFY(!StoredSettings::ReadBounds(store, {}));
        QVERIFY(!StoredSettings::ReadVersion(store));
        QCOMPARE(StoredSettings::ReadAutomaticCheck(store), true);
    }

    void defaultPictureIsCompletedOnlyForTheBareNameOrEmpty_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bare name") << "logo.jpg"
                                   << "/start/logo.jpg";
        QTest::newRow("empty") << ""
                               << "/start/logo.jpg";
        QTest::newRow("capitals stay") << "LOGO.JPG"
                                       << "LOGO.JPG";
        QTest::newRow("absolute stays") << "/pics/a.jpg"
                                        << "/pics/a.jpg";
    }

    void defaultPictureIsCompletedOnlyForTheBareNameOrEmpty()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QCOMPARE(StoredSettings::CompleteDefaultPicture(stored, QStringLiteral("/start")), expected);
    }

    void versionsCompareByFirstAndThirdCharacter_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("order");
        QTest::newRow("2.1") << "2.1" << int(VersionOrder::Newer);
        QTest::newRow("1.9") << "1.9" << int(VersionOrder::Newer);
        QTest::newRow("2.2") << "2.2" << int(VersionOrder::Equal);
        QTest::newRow("2.3") << "2.3" << int(VersionOrder::Older);
        QTest::newRow("3.0") << "3.0" << int(VersionOrder::Older);
        QTest::newRow("empty") << "" << int(VersionOrder::Equal);
        QTest::newRow("short") << "2." << int(VersionOrder::Equal);
        QTest::newRow("letters") << "a.b" << int(VersionOrder::Equal);
        QTest::newRow("minor not a digit") << "1.x" << int(VersionOrder::Equal);
        QTest::newRow("arabic digit") << QString::fromUtf8("١.١") << int(VersionOrder::Equal);
        QTest::newRow("longer text") << "2.1beta" << int(VersionOrder::Newer);
    }

    void versionsCompareByFirstAndThirdCharacter()
    {
        QFETCH(QString, stored);
        QFETCH(int, order);
        QCOMPARE(int(CompareRunningWithStored(QStringLiteral("2.2"), stored)), order);
    }
};

QTEST_GUILESS_MAIN(TestStoredSettings)
#include "tst_storedsettings.moc"
