#include "filebytes.h"
#include "fileops/fileoperations.h"
#include "fileops/saferewrite.h"
#include "testenvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using FileOperations::FolderCreation;

class TestFileOperations : public QObject {
    Q_OBJECT
private slots:
    // A case-insensitive volume shows the file itself under the other case; a second link to the
    // same file stands in for it here. (The rename itself is proven on a real exFAT volume.)
    void sameFileInOtherCaseIsTold()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs hard links");
#else
        TestEnvironment env;
        const QString source = env.writeFile(QStringLiteral("karta/img_0001.jpg"), "picture");
        const QString folder = env.makeFolder(QStringLiteral("karta"));
        const QString target = QDir(folder).filePath(QStringLiteral("IMG_0001.jpg"));
        const QString otherName = QDir(folder).filePath(QStringLiteral("jine.jpg"));
        for (const QString& link : {target, otherName})
            QCOMPARE(::link(QFile::encodeName(source).constData(), QFile::encodeName(link).constData()), 0);
        QVERIFY(FileOperations::IsSameFileInOtherCase(source, target));
        QVERIFY(!FileOperations::IsSameFileInOtherCase(source, source));
        QVERIFY(!FileOperations::IsSameFileInOtherCase(source, otherName));
        QCOMPARE(FileOperations::MoveNoReplace(source, otherName).outcome(), FileResult::Outcome::NameTaken);
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

    // A move onto another volume copies, checks and only then removes the
    // original.
    void moveOntoAnotherVolumeKeepsTheBytesAndTheTime()
    {
        TestEnvironment env;
        QTemporaryDir otherVolume(QStringLiteral("/dev/shm/pixly-XXXXXX"));
        if (!otherVolume.isValid() || QStorageInfo(otherVolume.path()) == QStorageInfo(env.startDir()))
            QSKIP("needs a second volume");
        // Larger than one block of the copy.
        const QByteArray picture(3 << 20, 'x');
        const QString source = env.writeFile(QStringLiteral("a.jpg"), picture);
        const QDateTime taken = QFileInfo(source).lastModified().addDays(-3);
        QFile sourceFile(source);
        QVERIFY(sourceFile.open(QIODevice::Append) &&
                sourceFile.setFileTime(taken, QFileDevice::FileModificationTime));
        sourceFile.close();
        const QString target = QDir(otherVolume.path()).filePath(QStringLiteral("a.jpg"));

        QVERIFY(FileOperations::MoveNoReplace(source, target));
        QVERIFY(!QFileInfo::exists(source));
        QCOMPARE(FileBytes(target), picture);
        QCOMPARE(QFileInfo(target).lastModified(), taken);
        // Nothing is left beside it.
        QCOMPARE(QDir(otherVolume.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void rewriteTakesThePlaceOnlyWhenCommitted()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs POSIX permissions and links");
#else
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("cil"));
        const QString target = env.writeFile(QStringLiteral("cil/a.jpg"), "old");
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QString link = QDir(folder).filePath(QStringLiteral("odkaz.jpg"));
        QVERIFY(QFile::link(target, link));
        {
            SafeRewrite abandoned(target);
            QVERIFY(abandoned.Write("half"));
        }
        QCOMPARE(FileBytes(target), QByteArray("old"));
        SafeRewrite kept(target, SafeRewrite::Existing::Keep);
        QCOMPARE(kept.Write("new").outcome(), FileResult::Outcome::NameTaken);
        // Through the link, the file it points to gets the new contents and keeps who may read it.
        QVERIFY(RewriteFile(link, "new"));
        QCOMPARE(FileBytes(target), QByteArray("new"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFile::permissions(target), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                                 QFile::WriteUser | QFile::ReadGroup);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
#endif
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
