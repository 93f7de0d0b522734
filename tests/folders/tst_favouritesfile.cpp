#include "filebytes.h"
#include "folders/favouritesfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#ifdef Q_OS_UNIX
#include "resourcelimits.h"
#endif

using Favourites = QList<Favourite>;

namespace {

void writeAll(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

QByteArray numberedLines(int count)
{
    QByteArray contents;
    for (int line = 0; line < count; ++line)
        contents += "E" + QByteArray::number(line) + ";/p\r\n";
    return contents;
}

Favourites numberedEntries(int count)
{
    Favourites entries;
    for (int entry = 0; entry < count; ++entry) {
        entries.append({QStringLiteral("E%1").arg(entry), QStringLiteral("/p")});
    }
    return entries;
}

} // namespace

namespace QTest {
template <> char* toString(const Favourite& entry)
{
    return toString(entry.description + u'|' + entry.path);
}
} // namespace QTest

class TestFavouritesFile : public QObject {
    Q_OBJECT
private slots:
    void fileNameLowersOnlyAToZ_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("capital") << "Novak"
                                 << "novak.dat";
        QTest::newRow("accented capital kept") << "Šimon"
                                               << "Šimon.dat";
        QTest::newRow("accented capital among capitals") << "ŠIMON"
                                                         << "Šimon.dat";
        QTest::newRow("digits and dots") << "Jan.NOVAK2"
                                         << "jan.novak2.dat";
        QTest::newRow("no login name") << ""
                                       << ".dat";
    }
    void fileNameLowersOnlyAToZ()
    {
        QFETCH(QString, login);
        QFETCH(QString, fileName);
        QCOMPARE(FavouritesFile::FileNameFor(login), fileName);
    }

    void parseFollowsTheLineRules_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<Favourites>("entries");
        QTest::newRow("everything after the first separator is the path")
            << QByteArray("Foto;/home/a;b;c\r\n") << Favourites{{"Foto", "/home/a;b;c"}};
        QTest::newRow("empty second description ends the list")
            << QByteArray("A;/a\r\n;/b\r\nC;/c\r\n") << Favourites{{"A", "/a"}};
        QTest::newRow("later line without separator ends the list")
            << QByteArray("A;/a\r\n/b\r\nC;/c\r\n") << Favourites{{"A", "/a"}};
        QTest::newRow("first line without separator")
            << QByteArray("/home/x\r\nB;/b\r\n") << Favourites{{"", "/home/x"}, {"B", "/b"}};
        QTest::newRow("empty paths skipped without ending the list")
            << QByteArray("A;\r\nB;/b\r\nC;\r\nD;/d\r\n") << Favourites{{"B", "/b"}, {"D", "/d"}};
        QTest::newRow("empty first line") << QByteArray("\r\nB;/b\r\n") << Favourites{{"B", "/b"}};
        QTest::newRow("bare LF line ends")
            << QByteArray("A;/a\nB;/b\n") << Favourites{{"A", "/a"}, {"B", "/b"}};
        QTest::newRow("last line without line end")
            << QByteArray("A;/a\r\nB;/b") << Favourites{{"A", "/a"}, {"B", "/b"}};
        QTest::newRow("empty file") << QByteArray() << Favourites{};
        QTest::newRow("line end only") << QByteArray("\r\n") << Favourites{};
        QTest::newRow("Windows-1250 letters") << QByteArray("\x8A"
                                                            "umava \xE8"
                                                            "esk\xE1;/foto/\x9Eluv\xEC\r\n")
                                              << Favourites{{"Šumava česká", "/foto/žluvě"}};
        QTest::newRow("UTF-8 without byte-order mark is read as Windows-1250")
            << QByteArray("\xC4\x8D;/a\r\n") << Favourites{{"ÄŤ", "/a"}};
        QTest::newRow("bytes undefined in Windows-1250 are kept")
            << QByteArray("A;/x\x81\x98\r\n") << Favourites{{"A", QStringLiteral("/x\u0081\u0098")}};
        QTest::newRow("UTF-8 behind a byte-order mark")
            << QByteArray("\xEF\xBB\xBF") + QStringLiteral("Кино;/home/кино\r\n").toUtf8()
            << Favourites{{"Кино", "/home/кино"}};
        QTest::newRow("invalid UTF-8 behind a byte-order mark")
            << QByteArray("\xEF\xBB\xBF"
                          "A;/x\xFF\r\nB;/b\r\n")
            << Favourites{{"A", QStringLiteral("/x\uFFFD")}, {"B", "/b"}};
    }
    void parseFollowsTheLineRules()
    {
        QFETCH(QByteArray, contents);
        QFETCH(Favourites, entries);
        QCOMPARE(FavouritesFile::Parse(contents), entries);
    }

    void atMostMaxEntriesLinesAreRead()
    {
        const Favourites loaded = FavouritesFile::Parse(numberedLines(150));
        QCOMPARE(loaded, numberedEntries(FavouritesFile::MaxEntries));

        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("novak.dat"));
        writeAll(file, numberedLines(150));
        QCOMPARE(FavouritesFile::Load(file, QStringLiteral("/docs")),
                 std::optional(numberedEntries(FavouritesFile::MaxEntries)));
    }

    void missingFileGivesTheDefaultEntryAndWritesNothing()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("novak.dat"));
        const Favourites expected{{"Dokumenty", "/home/Novak/Documents"}};
        QCOMPARE(FavouritesFile::DefaultList(QStringLiteral("/home/Novak/Documents")), expected);
        QCOMPARE(FavouritesFile::Load(file, QStringLiteral("/home/Novak/Documents")),
                 std::optional(expected));
        QVERIFY(!QFile::exists(file));
    }

    void emptyFileGivesAnEmptyList()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("novak.dat"));
        writeAll(file, QByteArray());
        QCOMPARE(FavouritesFile::Load(file, QStringLiteral("/docs")), std::optional(Favourites{}));
    }

    void unreadableFileGivesNoList()
    {
        QTemporaryDir folder;
        const QString inTheWay = folder.filePath(QStringLiteral("novak.dat"));
        QVERIFY(QDir().mkdir(inTheWay));
        QVERIFY(!FavouritesFile::Load(inTheWay, QStringLiteral("/docs")).has_value());
    }

    void serialiseWritesOneLinePerStorableEntry_data()
    {
        QTest::addColumn<Favourites>("entries");
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("default entry") << FavouritesFile::DefaultList(QStringLiteral("/home/novak/Documenty"))
                                       << QByteArray("Dokumenty;/home/novak/Documenty\r\n");
        QTest::newRow("empty list") << Favourites{} << QByteArray();
        QTest::newRow("empty description not written")
            << Favourites{{"A", "/a"}, {"", "/b"}, {"C", "/c"}} << QByteArray("A;/a\r\nC;/c\r\n");
        QTest::newRow("empty path written") << Favourites{{"A", ""}} << QByteArray("A;\r\n");
        QTest::newRow("entry with a line break not written")
            << Favourites{{"A", "/a"}, {"B", "/x\ny"}, {"C\r", "/c"}, {"D", "/d"}}
            << QByteArray("A;/a\r\nD;/d\r\n");
        QTest::newRow("Czech letters in Windows-1250")
            << Favourites{{"Dovolená €", "/foto/Příliš žluťoučký kůň"}}
            << QByteArray("Dovolen\xE1 \x80;/foto/P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2\r\n");
        QTest::newRow("Cyrillic path needs UTF-8")
            << Favourites{{"Dokumenty", "/home/a"}, {"Kino", "/home/кино"}}
            << QByteArray("\xEF\xBB\xBF") +
                   QStringLiteral("Dokumenty;/home/a\r\nKino;/home/кино\r\n").toUtf8();
        QTest::newRow("Windows-1250 that would read as a byte-order mark")
            << Favourites{{"ď»ż", "/a"}}
            << QByteArray("\xEF\xBB\xBF") + QStringLiteral("ď»ż;/a\r\n").toUtf8();
        QTest::newRow("at most MaxEntries entries")
            << numberedEntries(FavouritesFile::MaxEntries + 5) << numberedLines(FavouritesFile::MaxEntries);
    }
    void serialiseWritesOneLinePerStorableEntry()
    {
        QFETCH(Favourites, entries);
        QFETCH(QByteArray, contents);
        QCOMPARE(FavouritesFile::Serialise(entries), contents);
    }

    void storableEntriesSurviveSerialiseAndParse_data()
    {
        QTest::addColumn<Favourites>("entries");
        QTest::newRow("Czech") << Favourites{{"Dokumenty", "/home/novak/Dokumenty"},
                                             {"Šumava", "/foto/Šumava;2023"}};
        QTest::newRow("Cyrillic among Czech") << Favourites{{"Čechy", "/foto/Čechy"}, {"Кино", "/home/кино"}};
        QTest::newRow("bytes undefined in Windows-1250")
            << Favourites{{"A", QStringLiteral("/x\u0081")}, {"B", QStringLiteral("/y\u0098")}};
        QTest::newRow("first description beginning with U+FEFF")
            << Favourites{{QStringLiteral("\uFEFFc"), "/a"}};
        QTest::newRow("full list") << numberedEntries(FavouritesFile::MaxEntries);
    }
    void storableEntriesSurviveSerialiseAndParse()
    {
        QFETCH(Favourites, entries);
        QCOMPARE(FavouritesFile::Parse(FavouritesFile::Serialise(entries)), entries);
    }

    void bytesUndefinedInWindows1250AreWrittenBackUnchanged()
    {
        const QByteArray contents("A;/x\x81\x83\x88\x90\x98\r\n");
        QCOMPARE(FavouritesFile::Serialise(FavouritesFile::Parse(contents)), contents);
    }

    void saveReplacesTheOldFileWhole()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("novak.dat"));
        const QString otherName = folder.filePath(QStringLiteral("link"));
        writeAll(file, QByteArray("Old;/a much longer old line\r\nOld2;/b\r\n"));
        std::filesystem::create_hard_link(file.toStdU16String(), otherName.toStdU16String());

        QVERIFY(FavouritesFile::Save(file, {{"Nový", "/c"}}));

        QCOMPARE(FileBytes(file), QByteArray("Nov\xFD;/c\r\n"));
        // A file written in place would change under every name it has.
        QCOMPARE(FileBytes(otherName), QByteArray("Old;/a much longer old line\r\nOld2;/b\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), (QStringList{"link", "novak.dat"}));
    }

    void saveThatCannotWriteLeavesEverythingAsItWas()
    {
        QTemporaryDir folder;
        const QString plainFile = folder.filePath(QStringLiteral("start"));
        writeAll(plainFile, QByteArray("not a folder"));
        QVERIFY(!FavouritesFile::Save(plainFile + QStringLiteral("/novak.dat"), {{"A", "/a"}}));
        QCOMPARE(FileBytes(plainFile), QByteArray("not a folder"));

        const QString inTheWay = folder.filePath(QStringLiteral("novak.dat"));
        QVERIFY(QDir().mkdir(inTheWay));
        writeAll(inTheWay + QStringLiteral("/kept"), QByteArray("kept"));
        QVERIFY(!FavouritesFile::Save(inTheWay, {{"A", "/a"}}));
        QCOMPARE(FileBytes(inTheWay + QStringLiteral("/kept")), QByteArray("kept"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"novak.dat", "start"}));
    }

    void saveThatRunsOutOfRoomLeavesTheOldFile_data()
    {
        QTest::addColumn<Favourites>("entries");
        QTest::newRow("a few entries") << Favourites{{"Nová", "/nova"}, {"Druhá", "/druha"}};
        // Large enough to be written without the write buffer.
        Favourites many;
        for (int entry = 0; entry < FavouritesFile::MaxEntries; ++entry)
            many.append({QStringLiteral("E%1").arg(entry), QStringLiteral("/%1").arg(QString(300, u'p'))});
        QTest::newRow("many long entries") << many;
    }

    void saveThatRunsOutOfRoomLeavesTheOldFile()
    {
#ifdef Q_OS_UNIX
        QFETCH(Favourites, entries);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("novak.dat"));
        const QByteArray old("Old;/old\r\n");
        writeAll(file, old);
        {
            const FileSizeLimit limit(old.size() + 2);
            QVERIFY(!FavouritesFile::Save(file, entries));
        }
        QCOMPARE(FileBytes(file), old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"novak.dat"});
        QVERIFY(FavouritesFile::Save(file, entries));
        QCOMPARE(FavouritesFile::Parse(FileBytes(file)), entries);
#else
        QSKIP("needs a file size limit");
#endif
    }

    void descriptionValidity_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "Dovolená 2023" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("separator") << "Foto;staré" << false;
        QTest::newRow("separator alone") << ";" << false;
        QTest::newRow("line break") << "Foto\nstaré" << false;
        QTest::newRow("carriage return") << "Foto\r" << false;
    }
    void descriptionValidity()
    {
        QFETCH(QString, description);
        QFETCH(bool, valid);
        QCOMPARE(FavouritesFile::IsValidDescription(description), valid);
    }

    void pathValidity_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("valid");
        QTest::newRow("separator") << "/foto/a;b" << true;
        QTest::newRow("Cyrillic") << "/home/кино" << true;
        QTest::newRow("line break") << "/foto/a\nb" << false;
        QTest::newRow("carriage return") << "/foto/a\rb" << false;
    }
    void pathValidity()
    {
        QFETCH(QString, path);
        QFETCH(bool, valid);
        QCOMPARE(FavouritesFile::IsValidPath(path), valid);
    }

    void addingStopsAtMaxEntries_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("canAdd");
        QTest::newRow("empty") << 0 << true;
        QTest::newRow("100th entry to come") << 99 << true;
        QTest::newRow("101st entry to come") << 100 << true;
        QTest::newRow("102nd entry to come") << 101 << false;
        QTest::newRow("overfull") << 150 << false;
    }
    void addingStopsAtMaxEntries()
    {
        QFETCH(int, count);
        QFETCH(bool, canAdd);
        QCOMPARE(FavouritesFile::CanAdd(count), canAdd);
    }
};

QTEST_GUILESS_MAIN(TestFavouritesFile)
#include "tst_favouritesfile.moc"
