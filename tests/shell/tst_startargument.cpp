#include "controls/directorylistbox.h"
#include "controls/filelistbox.h"
#include "folders/nast_pixly.h"
#include "recordingdialogs.h"
#include "shell/pixly_flash.h"
#include "shell/startargument.h"
#include "startedprogram.h"
#include "testenvironment.h"
#include "viewer/hlavni_pixly.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using Kind = StartArgument::Kind;

class TestStartArgument : public QObject {
    Q_OBJECT
private slots:
    void argumentIsTakenFromTheLaunchFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("path"); // from the launch folder
        QTest::newRow("none") << QStringList{} << int(Kind::None) << QString();
        QTest::newRow("empty") << QStringList{""} << int(Kind::None) << QString();
        QTest::newRow("picture") << QStringList{"fotky/a.jpg"} << int(Kind::Picture) << "fotky/a.jpg";
        QTest::newRow("upward") << QStringList{"../start/fotky/"} << int(Kind::Folder) << "fotky";
        QTest::newRow("more arguments") << QStringList{"fotky", "neni.jpg"} << int(Kind::Folder) << "fotky";
        QTest::newRow("missing") << QStringList{"neni.jpg"} << int(Kind::Missing) << "neni.jpg";
    }

    void argumentIsTakenFromTheLaunchFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, kind);
        QFETCH(QString, path);
        TestEnvironment env;
        env.writeFile(QStringLiteral("start/fotky/a.jpg"), MakeJpeg(4, 4, Qt::red));
        QDir::setCurrent(QDir::rootPath());
        const StartArgument argument = StartArgument::From(arguments, env.startDir());
        QCOMPARE(int(argument.kind), kind);
        QCOMPARE(argument.path, path.isEmpty() ? QString() : QDir(env.startDir()).filePath(path));
    }

    void handOverOpensWhatWasAsked_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("viewer");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("message");
        QTest::newRow("picture") << "fotky/b.jpg" << true << "fotky" << QString();
        QTest::newRow("folder") << "fotky" << false << "fotky" << QString();
        QTest::newRow("missing") << "fotky/x.jpg" << false << "dst"
                                 << "Zadaný soubor nebo složka neexistuje:\r%1";
    }

    void handOverOpensWhatWasAsked()
    {
        QFETCH(QString, given);
        QFETCH(bool, viewer);
        QFETCH(QString, source);
        QFETCH(QString, message);
        TestEnvironment env;
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            env.writeFile(QStringLiteral("fotky/") + name, MakeJpeg(4, 4, Qt::red));
        const QString stored = env.makeFolder(QStringLiteral("dst"));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + stored.toUtf8() +
                          "\ndirectory2=" + stored.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        const QString path = QDir::toNativeSeparators(QFileInfo(env.settingsFile()).dir().filePath(given));
        windows->Form7->startArgument = StartArgument::From({path}, env.startDir());
        windows->Form7->Timer1Timer();

        const Tnastaveni* folders = windows->nastaveni;
        QCOMPARE(folders->DirectoryListBox1->Directory(), env.makeFolder(source));
        QCOMPARE(windows->hlavni->isVisible(), viewer);
        QCOMPARE(folders->isVisible(), !viewer);
        QCOMPARE(QDir::currentPath(), QDir(env.startDir()).path());
        if (viewer) QCOMPARE(folders->FileListBox1->FileName(), path);
        if (message.isEmpty()) {
            QCOMPARE(dialogs.count(), 0);
        } else {
            QCOMPARE(dialogs.count(), 1);
            QCOMPARE(dialogs.last().text, message.arg(path));
            QCOMPARE(dialogs.last().caption, QStringLiteral("Pixly"));
            QCOMPARE(dialogs.last().icon, QStringLiteral("error"));
        }
    }
};

QTEST_MAIN(TestStartArgument)
#include "tst_startargument.moc"
