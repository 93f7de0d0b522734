#include "platform/settingsstore.h"
#include "testenvironment.h"

#include <QTest>

// The store must behave like a registry handle: keys exist or not as a
// whole, integers fail when missing or malformed, strings read "" when missing.
class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    void missingKeyIsNotOpenedWithoutCreate()
    {
        TestEnvironment env;
        SettingsStore store(SettingsStore::Access::Read);
        QVERIFY(!store.OpenKey(RegistryKeys::Form, false));
        QVERIFY(!store.KeyExists(RegistryKeys::Program));
    }

    void valuesRoundTripThroughTheFile()
    {
        TestEnvironment env;
        {
            SettingsStore store(SettingsStore::Access::Write);
            QVERIFY(store.OpenKey(RegistryKeys::Nast, true));
            store.WriteInteger(QStringLiteral("nastaveni"), 14211288);
            store.WriteBool(QStringLiteral("show"), false);
            store.WriteString(QStringLiteral("orig"), QStringLiteral("/obrázky/logo.jpg"));
        }
        SettingsStore store(SettingsStore::Access::Read);
        QVERIFY(store.OpenKey(RegistryKeys::Nast, false));
        QCOMPARE(store.ReadInteger(QStringLiteral("nastaveni")), 14211288);
        QCOMPARE(store.ReadBool(QStringLiteral("show")), false);
        QCOMPARE(store.ReadString(QStringLiteral("orig")), QStringLiteral("/obrázky/logo.jpg"));
        QCOMPARE(store.ReadString(QStringLiteral("missing")), QString());
        QVERIFY(env.settingsText().contains(QStringLiteral("[nast]")));
        QVERIFY(env.settingsText().contains(QStringLiteral("show=0")));
    }

    void readIntegerFailsOnMissingOrMalformedValue_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("text") << QByteArray("top=abc\n");
        QTest::newRow("empty") << QByteArray("top=\n");
    }

    void readIntegerFailsOnMissingOrMalformedValue()
    {
        QFETCH(QByteArray, line);
        TestEnvironment env;
        env.writeFile(QStringLiteral("Vendrax.conf"), "[form]\nleft=5\n" + line);
        SettingsStore store(SettingsStore::Access::Read);
        QVERIFY(store.OpenKey(RegistryKeys::Form, false));
        QVERIFY_THROWS_EXCEPTION(std::exception, store.ReadInteger(QStringLiteral("top")));
        QCOMPARE(store.ReadInteger(QStringLiteral("left")), 5);
    }

    void deleteKeyRemovesSubkeysAndMissingKeyIsNoError()
    {
        TestEnvironment env;
        {
            SettingsStore store(SettingsStore::Access::Write);
            store.OpenKey(RegistryKeys::Dir, true);
            store.WriteString(QStringLiteral("directory1"), QStringLiteral("/a"));
            store.OpenKey(RegistryKeys::Prog, true);
            store.WriteString(QStringLiteral("verze"), QStringLiteral("2.2"));
            store.DeleteKey(RegistryKeys::Akt);
            store.DeleteKey(RegistryKeys::Dir);
        }
        {
            SettingsStore store(SettingsStore::Access::Read);
            QVERIFY(!store.KeyExists(RegistryKeys::Dir));
            QVERIFY(store.KeyExists(RegistryKeys::Prog));
        }
        {
            SettingsStore store(SettingsStore::Access::Write);
            store.DeleteKey(RegistryKeys::Program);
        }
        SettingsStore store(SettingsStore::Access::Read);
        QVERIFY(!store.KeyExists(RegistryKeys::Prog));
    }

    void readHandleNeverCreatesKeys()
    {
        TestEnvironment env;
        {
            SettingsStore store(SettingsStore::Access::Read);
            QVERIFY(!store.OpenKey(RegistryKeys::Dir, true));
        }
        SettingsStore store(SettingsStore::Access::Read);
        QVERIFY(!store.KeyExists(RegistryKeys::Dir));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
