#include "controls/filelisting.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString AllPictures = QStringLiteral("*.jpg;*.jpeg;*.bmp;*.wmf");

void Touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

// True when no name comes after the next one in the user's language with
// case ignored.
bool SortedIgnoringCase(const QStringList& names)
{
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (qsizetype i = 1; i < names.size(); ++i)
        if (collator.compare(names[i - 1], names[i]) > 0) return false;
    return true;
}

} // namespace

class TestFileListing : public QObject {
    Q_OBJECT

private slots:
    void matchesMask_data();
    void matchesMask();
    void listsOnlyOrdinaryVisibleFilesOfTheMask_data();
    void listsOnlyOrdinaryVisibleFilesOfTheMask();
    void sortsIgnoringCaseWhateverTheCreationOrder();
    void listsManyFilesOnceEach();
    void missingOrUnreadableFolderGivesNothing();
    void listsVisibleSubfoldersSorted();
    void joinsFolderAndName_data();
    void joinsFolderAndName();
};

void TestFileListing::matchesMask_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("matches");

    QTest::newRow("case ignored") << "A.JPG"
                                  << "*.jpg" << true;
    QTest::newRow("accented case ignored") << "ČERNÝ.JPG"
                                           << "černý.jpg" << true;
    QTest::newRow("other extension") << "a.jpeg"
                                     << "*.jpg" << false;
    QTest::newRow("second pattern") << "a.jpeg"
                                    << "*.jpg;*.jpeg" << true;
    QTest::newRow("gif is no picture of the mask") << "a.gif" << AllPictures << false;
    QTest::newRow("extension must end the name") << "a.jpg.bak"
                                                 << "*.jpg" << false;
    QTest::newRow("question mark is one character") << "abc"
                                                    << "a?c" << true;
    QTest::newRow("question mark needs a character") << "ac"
                                                     << "a?c" << false;
    QTest::newRow("star backtracks") << "aXbYbZc"
                                     << "a*b*c" << true;
    QTest::newRow("star may be empty") << "ab"
                                       << "a*b" << true;
    QTest::newRow("brackets are literal") << "photo[1].jpg"
                                          << "photo[1].jpg" << true;
    QTest::newRow("brackets are no class") << "photo1.jpg"
                                           << "photo[1].jpg" << false;
    QTest::newRow("plain name as mask") << "IMG_0001.jpg"
                                        << "img_0001.JPG" << true;
    QTest::newRow("plain name does not match a prefix") << "IMG_0001.jpg.jpg"
                                                        << "IMG_0001.jpg" << false;
    QTest::newRow("empty patterns skipped") << "a.jpg"
                                            << ";;*.jpg;" << true;
    QTest::newRow("empty mask matches nothing") << "a.jpg"
                                                << "" << false;
}

void TestFileListing::matchesMask()
{
    QFETCH(QString, name);
    QFETCH(QString, mask);
    QFETCH(bool, matches);
    QCOMPARE(MatchesMask(name, mask), matches);
}

void TestFileListing::listsOnlyOrdinaryVisibleFilesOfTheMask_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("all pictures") << AllPictures
                                  << QStringList{"a.jpg", "alias.jpg", "B.JPEG", "c.bmp", "d.wmf"};
    QTest::newRow("jpeg") << "*.jpg;*.jpeg" << QStringList{"a.jpg", "alias.jpg", "B.JPEG"};
    QTest::newRow("bmp") << "*.bmp" << QStringList{"c.bmp"};
    QTest::newRow("wmf") << "*.wmf" << QStringList{"d.wmf"};
    QTest::newRow("overlapping patterns list a name once")
        << "*.jpg;a*;*.JPG" << QStringList{"a.jpg", "alias.jpg"};
}

void TestFileListing::listsOnlyOrdinaryVisibleFilesOfTheMask()
{
    QFETCH(QString, mask);
    QFETCH(QStringList, expected);

    QTemporaryDir root;
    const QDir dir(root.path());
    for (const char* name : {"a.jpg", "B.JPEG", "c.bmp", "d.wmf", "e.gif", "f.png", ".hidden.jpg"})
        Touch(dir.filePath(name));
    QVERIFY(dir.mkdir("folder.jpg"));
    QVERIFY(dir.mkdir("other"));
    QVERIFY(QFile::link(dir.filePath("other"), dir.filePath("linked-folder.jpg")));
    QVERIFY(QFile::link(dir.filePath("a.jpg"), dir.filePath("alias.jpg")));
    QVERIFY(QFile::link(dir.filePath("missing.jpg"), dir.filePath("broken.jpg")));

    QCOMPARE(ListMatchingFiles(root.path(), mask), expected);
}

void TestFileListing::sortsIgnoringCaseWhateverTheCreationOrder()
{
    const QStringList names{"b.jpg", "A.jpg", "c.jpg", "a.jpg", "B.jpg", "Ab.jpg"};
    QTemporaryDir forward;
    QTemporaryDir backward;
    for (qsizetype i = 0; i < names.size(); ++i) {
        Touch(QDir(forward.path()).filePath(names[i]));
        Touch(QDir(backward.path()).filePath(names[names.size() - 1 - i]));
    }

    const QStringList listed = ListMatchingFiles(forward.path(), "*.jpg");
    QCOMPARE(listed.size(), names.size());
    // Names that differ only in case sit next to each other.
    QStringList lowered = listed;
    for (QString& name : lowered)
        name = name.toLower();
    QCOMPARE(lowered, (QStringList{"a.jpg", "a.jpg", "ab.jpg", "b.jpg", "b.jpg", "c.jpg"}));
    QCOMPARE(ListMatchingFiles(backward.path(), "*.jpg"), listed);
    QCOMPARE(ListMatchingFiles(forward.path(), "*.jpg"), listed);
}

void TestFileListing::listsManyFilesOnceEach()
{
    QTemporaryDir root;
    const QDir dir(root.path());
    const int fileCount = 3000;
    for (int i = 0; i < fileCount; ++i)
        Touch(dir.filePath(
            QStringLiteral("%1_%2.%3").arg(i % 2 ? "IMG" : "img").arg(i).arg(i % 3 ? "jpg" : "gif")));

    const QStringList listed = ListMatchingFiles(root.path(), AllPictures);
    QCOMPARE(listed.size(), fileCount - (fileCount + 2) / 3);
    QCOMPARE(QSet<QString>(listed.cbegin(), listed.cend()).size(), listed.size());
    QVERIFY(SortedIgnoringCase(listed));
}

void TestFileListing::missingOrUnreadableFolderGivesNothing()
{
    QTemporaryDir root;
    Touch(QDir(root.path()).filePath("a.jpg"));
    QVERIFY(ListMatchingFiles(QDir(root.path()).filePath("missing"), AllPictures).isEmpty());
    QVERIFY(ListMatchingFiles(QString(), AllPictures).isEmpty());
    QVERIFY(ListSubfolders(QDir(root.path()).filePath("missing")).isEmpty());

    QFile::setPermissions(root.path(), QFileDevice::Permissions());
    const bool stillReadable = QFileInfo(root.path()).isReadable();
    const QStringList listed = ListMatchingFiles(root.path(), AllPictures);
    QFile::setPermissions(root.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (stillReadable) QSKIP("this user reads every folder");
    QVERIFY(listed.isEmpty());
}

void TestFileListing::listsVisibleSubfoldersSorted()
{
    QTemporaryDir root;
    QDir dir(root.path());
    for (const char* name : {"beta", "Alpha", ".git", "alpha2"})
        QVERIFY(dir.mkdir(name));
    Touch(dir.filePath("file.jpg"));
    QVERIFY(QFile::link(dir.filePath("beta"), dir.filePath("Gamma")));
    QVERIFY(QFile::link(dir.filePath("file.jpg"), dir.filePath("file-link")));

    QCOMPARE(ListSubfolders(root.path()), (QStringList{"Alpha", "alpha2", "beta", "Gamma"}));
}

void TestFileListing::joinsFolderAndName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("separator added") << "/photos/2024"
                                     << "a.jpg"
                                     << "/photos/2024/a.jpg";
    QTest::newRow("trailing separator kept single") << "/photos/2024/"
                                                    << "a.jpg"
                                                    << "/photos/2024/a.jpg";
    QTest::newRow("root") << "/"
                          << "a.jpg"
                          << "/a.jpg";
}

void TestFileListing::joinsFolderAndName()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(JoinFolderAndName(folder, name), QDir::toNativeSeparators(expected));
    QCOMPARE(JoinFolderAndName(QDir::toNativeSeparators(folder), name), QDir::toNativeSeparators(expected));
}

QTEST_MAIN(TestFileListing)
#include "tst_filelisting.moc"
