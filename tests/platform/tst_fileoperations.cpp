#include "filebytes.h"
#include "platform/fileoperations.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using FileOperations::FolderCreation;

class TestFileOperations : public QObject {
    Q_OBJECT
private slots:
    // A case-insensitive volume shows the file itself under the other case;
    // a second link to the same file stands in for it here.
    void renameThatOnlyChangesTheCaseGoesThroughTheFileItself()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs hard links");
#else
        TestEnvironment env;
        const QString source = env.writeFile(QStringLiteral("karta/img_0001.jpg"), "picture");
        const QString target =
            QDir(env.makeFolder(QStringLiteral("karta"))).filePath(QStringLiteral("IMG_0001.jpg"));
        QCOMPARE(::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()), 0);
        QVERIFY(FileOperations::IsSameFileInOtherCase(source, target));
        QVERIFY(!FileOperations::IsSameFileInOtherCase(source, source));
        QVERIFY(FileOperations::MoveNoReplace(source, target));
        QCOMPARE(FileBytes(target), QByteArray("picture"));

        const QString otherName =
            QDir(env.makeFolder(QStringLiteral("karta"))).filePath(QStringLiteral("jine.jpg"));
        QCOMPARE(::link(QFile::encodeName(target).constData(), QFile::encodeName(otherName).constData()), 0);
        QVERIFY(!FileOperations::IsSameFileInOtherCase(target, otherName));
        QVERIFY(!FileOperations::MoveNoReplace(target, otherName));
#endif
    }

    void anotherFileInTheOtherCaseStillBlocksTheRename()
    {
        TestEnvironment env;
        const QString source = env.writeFile(QStringLiteral("a.jpg"), "first");
        const QString target = env.writeFile(QStringLiteral("A.jpg"), "second");
        QVERIFY(!FileOperations::IsSameFileInOtherCase(source, target));
        QVERIFY(!FileOperations::MoveNoReplace(source, target));
        QCOMPARE(FileBytes(source), QByteArray("first"));
        QCOMPARE(FileBytes(target), QByteArray("second"));
    }

    void newFolderOutcomes()
    {
        TestEnvironment env;
        const QString parent = env.makeFolder(QStringLiteral("cil"));
        env.makeFolder(QStringLiteral("cil/hotova"));
        const QString file = env.writeFile(QStringLiteral("cil/soubor"), "keep");
        QCOMPARE(FileOperations::CreateFolder(parent, QStringLiteral("nova")), FolderCreation::Created);
        QVERIFY(QDir(parent).exists(QStringLiteral("nova")));
        QCOMPARE(FileOperations::CreateFolder(parent, QStringLiteral("hotova")),
                 FolderCreation::AlreadyExists);
        QCOMPARE(FileOperations::CreateFolder(parent, QStringLiteral("soubor")), FolderCreation::NotCreated);
        QCOMPARE(FileBytes(file), QByteArray("keep"));
    }
};

QTEST_MAIN(TestFileOperations)
#include "tst_fileoperations.moc"
