#include "filebytes.h"
#include "folders/favouriteslist.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Outcome = FavouritesList::Outcome;
using Favourites = QList<Favourite>;

namespace {

Favourites numbered(int count)
{
    Favourites entries;
    for (int i = 0; i < count; ++i)
        entries.append({QStringLiteral("F%1").arg(i), QStringLiteral("/f%1").arg(i)});
    return entries;
}

void writeAll(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

} // namespace

class TestFavouritesList : public QObject {
    Q_OBJECT

private slots:
    void addAppendsAtTheEndUntilTheFileIsFull()
    {
        FavouritesList list(numbered(FavouritesFile::MaxEntries - 1));
        QCOMPARE(list.Add({QStringLiteral(""), QStringLiteral("/empty name")}), Outcome::Done);
        QCOMPARE(list.Entries().last(), (Favourite{"", "/empty name"}));
        QCOMPARE(list.Count(), FavouritesFile::MaxEntries);

        // The 102nd entry would never reach the file, so it is refused.
        QCOMPARE(list.CanAdd(QStringLiteral("/more")), Outcome::Full);
        QCOMPARE(list.Add({QStringLiteral("More"), QStringLiteral("/more")}), Outcome::Full);
        QCOMPARE(list.Count(), FavouritesFile::MaxEntries);
    }

    void namesAndPathsThatWouldSplitAreRefused_data()
    {
        QTest::addColumn<Favourite>("entry");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("semicolon") << Favourite{"Rodina;2024", "/a"} << Outcome::BadDescription;
        QTest::newRow("line feed in name") << Favourite{"Ro\ndina", "/a"} << Outcome::BadDescription;
        QTest::newRow("carriage return in name") << Favourite{"Ro\rdina", "/a"} << Outcome::BadDescription;
        QTest::newRow("line break in path") << Favourite{"Rodina", "/a\nb"} << Outcome::BadPath;
        QTest::newRow("semicolon in path is fine") << Favourite{"Rodina", "/a;b"} << Outcome::Done;
    }

    void namesAndPathsThatWouldSplitAreRefused()
    {
        QFETCH(Favourite, entry);
        QFETCH(Outcome, outcome);
        const Favourites before{{"First", "/first"}, {"Second", "/second"}};

        FavouritesList added(before);
        QCOMPARE(added.Add(entry), outcome);
        QCOMPARE(added.Entries(), outcome == Outcome::Done ? before + Favourites{entry} : before);

        FavouritesList changed(before);
        QCOMPARE(changed.Change(1, entry), outcome);
        const Favourites expectedChanged{before[0], entry};
        QCOMPARE(changed.Entries(), outcome == Outcome::Done ? expectedChanged : before);
    }

    void changeNeedsASelectedEntry()
    {
        FavouritesList list({{"A", "/a"}, {"B", "/b"}});
        QCOMPARE(list.CanChange(-1, QStringLiteral("/x")), Outcome::NothingSelected);
        QCOMPARE(list.Change(2, {"X", "/x"}), Outcome::NothingSelected);
        QCOMPARE(list.CanChange(0, QStringLiteral("/x\n")), Outcome::BadPath);
        QCOMPARE(list.Change(0, {"X", "/x"}), Outcome::Done);
        QCOMPARE(list.Entries(), (Favourites{{"X", "/x"}, {"B", "/b"}}));
    }

    void removeKeepsTheFirstEntry_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("selected");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("countAfter");
        QTest::newRow("nothing selected") << 3 << -1 << Outcome::NothingSelected << 3;
        QTest::newRow("beyond the list") << 3 << 3 << Outcome::NothingSelected << 3;
        QTest::newRow("empty list") << 0 << 0 << Outcome::NothingSelected << 0;
        QTest::newRow("only entry") << 1 << 0 << Outcome::OnlyEntry << 1;
        QTest::newRow("first of several") << 3 << 0 << Outcome::FirstEntryKept << 3;
        QTest::newRow("second") << 3 << 1 << Outcome::Done << 2;
        QTest::newRow("last") << 3 << 2 << Outcome::Done << 2;
    }

    void removeKeepsTheFirstEntry()
    {
        QFETCH(int, count);
        QFETCH(int, selected);
        QFETCH(Outcome, outcome);
        QFETCH(int, countAfter);
        FavouritesList list(numbered(count));
        QCOMPARE(list.Remove(selected), outcome);
        QCOMPARE(list.Count(), countAfter);
        if (outcome == Outcome::Done) QVERIFY(!list.Entries().contains(numbered(count).at(selected)));
    }

    void aGoneFolderIsRemovedWhateverItsPosition()
    {
        FavouritesList list(numbered(2));
        QVERIFY(!list.RemoveAt(-1));
        QVERIFY(!list.RemoveAt(2));
        QVERIFY(list.RemoveAt(0));
        QCOMPARE(list.Entries(), numbered(2).mid(1));
        QVERIFY(list.RemoveAt(0));
        QCOMPARE(list.Count(), 0);
        QCOMPARE(list.At(0), std::nullopt);
    }

    void theDefaultListIsWrittenAtTheFirstSave()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("novak.dat"));
        const FavouritesList list = FavouritesList::Load(file, QStringLiteral("/home/novak/Dokumenty"));
        QCOMPARE(list.Entries(), (Favourites{{"Dokumenty", "/home/novak/Dokumenty"}}));
        QVERIFY(!QFile::exists(file));
        QVERIFY(list.Save());
        QCOMPARE(FileBytes(file), QByteArray("Dokumenty;/home/novak/Dokumenty\r\n"));
    }

    void saveWritesTheChangedListBackToItsFile()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("novak.dat"));
        writeAll(file, "A;/a\r\nB;/b\r\n");
        FavouritesList list = FavouritesList::Load(file, QStringLiteral("/docs"));
        QCOMPARE(list.Remove(1), Outcome::Done);
        QCOMPARE(list.Add({"C", "/c"}), Outcome::Done);
        QVERIFY(list.Save());
        QCOMPARE(FileBytes(file), QByteArray("A;/a\r\nC;/c\r\n"));
    }

    void anUnreadableFileIsNeverReplaced()
    {
        // A folder of the file's name exists but cannot be read as a file.
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("novak.dat"));
        QVERIFY(QDir().mkdir(file));
        FavouritesList list = FavouritesList::Load(file, QStringLiteral("/docs"));
        QCOMPARE(list.Entries(), FavouritesFile::DefaultList(QStringLiteral("/docs")));
        QCOMPARE(list.Add({"New", "/new"}), Outcome::Done);
        QVERIFY(!list.Save());
        QVERIFY(QFileInfo(file).isDir());
    }

    void aListOfNoFileIsNotWritten()
    {
        QVERIFY(!FavouritesList(numbered(1)).Save());
        QVERIFY(!FavouritesList().Save());
    }
};

QTEST_GUILESS_MAIN(TestFavouritesList)
#include "tst_favouriteslist.moc"
