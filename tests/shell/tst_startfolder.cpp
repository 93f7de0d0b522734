#include "controls/directorylistbox.h"
#include "folders/nast_pixly.h"
#include "platform/systeminfo.h"
#include "recordingdialogs.h"
#include "shell/startfolder.h"
#include "startedprogram.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

// Points the user's home, XDG configuration and data into the sandbox.
QString useSandboxHome(const TestEnvironment& env)
{
    const QString home = env.makeFolder(QStringLiteral("home"));
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/.local/share")).toLocal8Bit());
    return home;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestStartFolder : public QObject {
    Q_OBJECT
private slots:
    void defaultFoldersAreThePicturesFolder_data()
    {
        QTest::addColumn<QByteArray>("userDirs"); // user-dirs.dirs, empty for none
        QTest::addColumn<QString>("created");     // folder made in the home folder
        QTest::addColumn<QString>("expected");
        const QByteArray named("XDG_PICTURES_DIR=\"$HOME/Obrázky\"\n");
        QTest::newRow("named") << named << "Obrázky"
                               << "Obrázky";
        QTest::newRow("usual name") << QByteArray() << "Pictures"
                                    << "Pictures";
        QTest::newRow("named but missing") << named << "Pictures"
                                           << "";
        QTest::newRow("none") << QByteArray() << ""
                              << "";
    }

    void defaultFoldersAreThePicturesFolder()
    {
        QFETCH(QByteArray, userDirs);
        QFETCH(QString, created);
        QFETCH(QString, expected);
        TestEnvironment env;
        const QString home = useSandboxHome(env);
        if (!userDirs.isEmpty()) env.writeFile(QStringLiteral("home/.config/user-dirs.dirs"), userDirs);
        QDir(home).mkpath(created);
        RecordingDialogs dialogs;
        auto windows = StartProgram();

        const QString folder = QDir::cleanPath(home + QStringLiteral("/") + expected);
        QCOMPARE(QDir::cleanPath(windows->nastaveni->DirectoryListBox1->Directory()), folder);
        QCOMPARE(QDir::cleanPath(windows->nastaveni->DirectoryListBox2->Directory()), folder);
    }

    void installedProgramMovesIntoTheUserFolder()
    {
        TestEnvironment env;
        const QString home = useSandboxHome(env);
        env.writeFile(QStringLiteral("usr/share/pixly/logo.jpg"), "installed");
        env.writeFile(QStringLiteral("usr/share/pixly/pixly.ico"), "installed icon");
        env.writeFile(QStringLiteral("home/.local/share/pixly/logo.jpg"), "the user's own");
        QCOMPARE(StartFolder::InstalledData(env.makeFolder(QStringLiteral("build/src")),
                                            QStringLiteral("../share/pixly")),
                 QString());
        const QString data = StartFolder::InstalledData(env.makeFolder(QStringLiteral("usr/bin")),
                                                        QStringLiteral("../share/pixly"));
        QCOMPARE(data, env.makeFolder(QStringLiteral("usr/share/pixly")));

        QVERIFY(StartFolder::EnterUserFolder(data));
        const QString folder = home + QStringLiteral("/.local/share/pixly");
        QCOMPARE(QDir::currentPath(), folder);
        QCOMPARE(contents(folder + QStringLiteral("/logo.jpg")), QByteArray("the user's own"));
        QCOMPARE(contents(folder + QStringLiteral("/pixly.ico")), QByteArray("installed icon"));
    }
};

QTEST_MAIN(TestStartFolder)
#include "tst_startfolder.moc"
