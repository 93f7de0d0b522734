#include "filebytes.h"
#include "fileops/photogroups.h"
#include "fileops/sortingundo.h"
#include "testenvironment.h"

#include <QDir>
#include <QTest>

namespace {

PhotoGroups::Kind kindOf(const QString& extension)
{
    const QString lower = extension.toLower();
    if (lower == "nef" || lower == "cr2") return PhotoGroups::Kind::Raw;
    if (lower == "jpg" || lower == "heic") return PhotoGroups::Kind::Developed;
    if (PhotoGroups::IsSidecarExtension(lower)) return PhotoGroups::Kind::Sidecar;
    return PhotoGroups::Kind::Other;
}

} // namespace

class TestPhotoGroups : public QObject {
    Q_OBJECT
private slots:
    void filesOfOnePhotoGoTogether_data()
    {
        QTest::addColumn<QStringList>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("group");
        QTest::addColumn<QStringList>("shown"); // of the whole folder listed
        const QStringList pair{"DSC_0042.JPG", "dsc_0042.nef", "DSC_0042.NEF.xmp", "DSC_0042.pp3",
                               "other.jpg"};
        QTest::newRow("case and both sidecar spellings")
            << pair << "dsc_0042.nef"
            << QStringList{"dsc_0042.nef", "DSC_0042.JPG", "DSC_0042.NEF.xmp", "DSC_0042.pp3"}
            << QStringList{"DSC_0042.JPG", "other.jpg"};
        QTest::newRow("a RAW alone is shown by itself")
            << QStringList{"a.nef", "a.xmp"} << "a.xmp" << QStringList{"a.xmp", "a.nef"}
            << QStringList{"a.nef"};
        QTest::newRow("a lone sidecar stays alone") << QStringList{"a.xmp", "b.jpg"} << "a.xmp"
                                                    << QStringList{"a.xmp"} << QStringList{"a.xmp", "b.jpg"};
        QTest::newRow("two pictures of one kind make no group")
            << QStringList{"a.jpg", "A.heic", "a.nef"} << "a.nef" << QStringList{"a.nef"}
            << QStringList{"a.jpg", "A.heic", "a.nef"};
        QTest::newRow("another format stays alone") << QStringList{"a.jpg", "a.png"} << "a.jpg"
                                                    << QStringList{"a.jpg"} << QStringList{"a.jpg", "a.png"};
    }

    void filesOfOnePhotoGoTogether()
    {
        QFETCH(QStringList, folder);
        QFETCH(QString, file);
        QFETCH(QStringList, group);
        QFETCH(QStringList, shown);
        const PhotoGroups groups(folder, kindOf);
        QCOMPARE(groups.GroupOf(file), group);
        QCOMPARE(groups.Shown(folder), shown);
    }

    void groupStepIsAllOrNothing_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("copy") << "copy";
        QTest::newRow("move") << "move";
    }

    void groupStepIsAllOrNothing()
    {
        QFETCH(QString, step);
        TestEnvironment env;
        const QString from = env.makeFolder("zdroj");
        const QString to = env.makeFolder("cil");
        const QStringList names{"a.jpg", "a.nef", "a.nef.xmp"};
        QList<SortingUndo::FileStep> files;
        for (const QString& name : names)
            files.append({env.writeFile("zdroj/" + name, name.toUtf8()),
                          QDir(to).filePath(QString(name).replace("a.", "b."))});
        // The last file's new name is taken by a folder, which neither step may replace.
        QDir(to).mkdir("b.nef.xmp");
        SortingUndo undo;
        const SortingUndo::GroupResult result =
            step == "copy" ? undo.CopyGroup(files, true) : undo.MoveGroup(files);
        QVERIFY(!result.result);
        QCOMPARE(result.stoppedBy, files.last().to);
        QCOMPARE(QDir(from).entryList(QDir::Files), names);
        QCOMPARE(QDir(to).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(undo.Count(), 0);

        // Free, the whole photo goes, and one Ctrl+Z brings all of it back.
        QDir(to).rmdir("b.nef.xmp");
        QVERIFY(step == "copy" ? undo.CopyGroup(files, true).result : undo.MoveGroup(files).result);
        QCOMPARE(QDir(to).entryList(QDir::Files).size(), 3);
        QCOMPARE(undo.Count(), 1);
        QCOMPARE(undo.Undo().picture, files.first().from);
        QCOMPARE(QDir(from).entryList(QDir::Files), names);
        QVERIFY(QDir(to).entryList(QDir::Files).isEmpty());
        QCOMPARE(FileBytes(files.last().from), QByteArray("a.nef.xmp"));
    }
};

QTEST_GUILESS_MAIN(TestPhotoGroups)
#include "tst_photogroups.moc"
