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
#include <optional>

namespace {

// Points the user's folders (home, XDG configuration and data) into the sandbox.
class SandboxHome {
public:
    explicit SandboxHome(const TestEnvironment& env) : home_(env.makeFolder(QStringLiteral("home")))
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            saved_.append(
                {name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
        qputenv("HOME", home_.toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home_ + QStringLiteral("/.config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (home_ + QStringLiteral("/.local/share")).toLocal8Bit());
    }
    ~SandboxHome()
    {
        for (const auto& [name, value] : saved_)
            value ? qputenv(name, *value) : qunsetenv(name);
    }
    QString path(const QString& relative) const { return QDir::toNativeSeparators(home_ + "/" + relative); }
    void namePicturesFolder(const QString& name) const
    {
        QDir(home_).mkpath(QStringLiteral(".config"));
        QFile dirs(home_ + QStringLiteral("/.config/user-dirs.dirs"));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_PICTURES_DIR=\"$HOME/" + name.toUtf8() + "\"\n");
    }

private:
    QString home_;
    QList<std::pair<const char*, std::optional<QByteArray>>> saved_;
};

} // namespace

class TestStartFolder : public QObject {
    Q_OBJECT
private slots:
    void defaultFoldersAreThePicturesFolder_data()
    {
        QTest::addColumn<QString>("named");   // in user-dirs.dirs, "" for no entry
        QTest::addColumn<QString>("created"); // folder made in the home folder
        QTest::addColumn<QString>("expected");
        QTest::newRow("named") << "Obrázky"
                               << "Obrázky"
                               << "Obrázky";
        QTest::newRow("usual name") << ""
                                    << "Pictures"
                                    << "Pictures";
        QTest::newRow("named but missing") << "Obrázky"
                                           << "Pictures"
                                           << "";
        QTest::newRow("none") << ""
                              << ""
                              << "";
    }

    void defaultFoldersAreThePicturesFolder()
    {
        QFETCH(QString, named);
        QFETCH(QString, created);
        QFETCH(QString, expected);
        TestEnvironment env;
        SandboxHome home(env);
        if (!named.isEmpty()) home.namePicturesFolder(named);
        if (!created.isEmpty()) QDir().mkpath(home.path(created));
        RecordingDialogs dialogs;
        auto windows = StartProgram();

        const QString folder = QDir::cleanPath(home.path(expected));
        QCOMPARE(QDir::cleanPath(SystemInfo::DefaultPicturesFolder()), folder);
        QCOMPARE(QDir::cleanPath(windows->nastaveni->DirectoryListBox1->Directory()), folder);
        QCOMPARE(QDir::cleanPath(windows->nastaveni->DirectoryListBox2->Directory()), folder);
    }

    void installedDataIsFoundBesideTheProgramOnly()
    {
        TestEnvironment env;
        env.writeFile(QStringLiteral("usr/share/pixly/logo.jpg"), "x");
        const QString bin = env.makeFolder(QStringLiteral("usr/bin"));
        const QString data = QDir::cleanPath(env.makeFolder(QStringLiteral("usr/share/pixly")));
        QCOMPARE(StartFolder::InstalledData(bin, QStringLiteral("../share/pixly")), data);
        QCOMPARE(StartFolder::InstalledData(env.makeFolder(QStringLiteral("build/src")),
                                            QStringLiteral("../share/pixly")),
                 QString());
    }

    void userFolderTakesTheInstalledFilesItLacks()
    {
        TestEnvironment env;
        SandboxHome home(env);
        const QString data = QFileInfo(env.writeFile(QStringLiteral("data/logo.jpg"), "installed")).path();
        env.writeFile(QStringLiteral("data/pixly.ico"), "installed icon");
        env.writeFile(QStringLiteral("home/.local/share/pixly/logo.jpg"), "the user's own");

        QVERIFY(StartFolder::EnterUserFolder(data));
        const QString folder = home.path(QStringLiteral(".local/share/pixly"));
        QCOMPARE(QDir::toNativeSeparators(QDir::currentPath()), folder);
        QCOMPARE(StartFolder::UserFolder(), QDir::fromNativeSeparators(folder));
        QFile logo(folder + QStringLiteral("/logo.jpg"));
        QFile icon(folder + QStringLiteral("/pixly.ico"));
        QVERIFY(logo.open(QIODevice::ReadOnly) && icon.open(QIODevice::ReadOnly));
        QCOMPARE(logo.readAll(), QByteArray("the user's own"));
        QCOMPARE(icon.readAll(), QByteArray("installed icon"));
    }
};

QTEST_MAIN(TestStartFolder)
#include "tst_startfolder.moc"
