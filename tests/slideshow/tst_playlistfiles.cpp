#include "platform/pixlyerror.h"
#include "slideshow/m3uplaylist.h"
#include "slideshow/musicfiles.h"
#include "slideshow/musicfolderscan.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

namespace {

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A scan's findings: songs in order, folders it could not enter, entries seen.
struct Scan {
    QStringList songs;
    QStringList unreachable;
    int entries = 0;

    MusicFolderHooks hooks()
    {
        return {[this](const QString& song) { songs.append(song); },
                [this](const QString& folder) { unreachable.append(folder); }, [this] { ++entries; }};
    }
};

QStringList ReadAll(const QString& playlist)
{
    QStringList songs;
    M3uPlaylist::ReadSongs(playlist, [&](const QString& song) { songs.append(song); });
    return songs;
}

} // namespace

class TestPlaylistFiles : public QObject {
    Q_OBJECT
private slots:
    void songsAndPlaylistsByExactExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("song");
        QTest::addColumn<bool>("playlist");
        QTest::newRow("mp3") << "/hudba/a.mp3" << true << false;
        QTest::newRow("wav") << "a.wav" << true << false;
        QTest::newRow("mid") << "a.mid" << true << false;
        QTest::newRow("midi") << "a.midi" << true << false;
        QTest::newRow("wma") << "a.wma" << true << false;
        QTest::newRow("capitals") << "B.MP3" << false << false;
        QTest::newRow("mixed case") << "b.Wav" << false << false;
        QTest::newRow("text") << "c.txt" << false << false;
        QTest::newRow("m3u") << "list.m3u" << false << true;
        QTest::newRow("capital M3U") << "LIST.M3U" << false << false;
        QTest::newRow("two dots") << "a.mp3.txt" << false << false;
        QTest::newRow("dot in the folder only") << "/hudba.mp3/song" << false << false;
    }

    void songsAndPlaylistsByExactExtension()
    {
        QFETCH(QString, path);
        QFETCH(bool, song);
        QFETCH(bool, playlist);
        QCOMPARE(MusicFiles::IsMusicFile(path), song);
        QCOMPARE(MusicFiles::IsM3uPlaylist(path), playlist);
    }

    void pathLinesOnTheDriveOfThePlaylist_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("playlist");
        QTest::addColumn<QString>("song");
        QTest::newRow("drive root line") << "\\Music\\a.mp3"
                                         << "D:\\seznamy\\x.m3u"
                                         << "D:\\Music\\a.mp3";
        QTest::newRow("full path") << "C:\\Music\\a.mp3"
                                   << "D:\\x.m3u"
                                   << "C:\\Music\\a.mp3";
        QTest::newRow("relative") << "a.mp3"
                                  << "D:\\x.m3u"
                                  << "a.mp3";
        QTest::newRow("absolute on Linux") << "/hudba/a.mp3"
                                           << "/home/x.m3u"
                                           << "/hudba/a.mp3";
        // Without a drive letter there is no drive to put the line on.
        QTest::newRow("no drive") << "\\Music\\a.mp3"
                                  << "/home/x.m3u"
                                  << "\\Music\\a.mp3";
    }

    void pathLinesOnTheDriveOfThePlaylist()
    {
        QFETCH(QString, line);
        QFETCH(QString, playlist);
        QFETCH(QString, song);
        QCOMPARE(M3uPlaylist::SongPath(line, playlist), song);
    }

    void everySecondLineAfterTheHeaderIsASong_data()
    {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("CR") << QByteArray("\r");
    }

    void everySecondLineAfterTheHeaderIsASong()
    {
        QFETCH(QByteArray, lineEnd);
        TestEnvironment env;
        const QString a = env.writeFile(QStringLiteral("hudba/a.mp3"), "x");
        const QString b = env.writeFile(QStringLiteral("start/b.wav"), "x");
        const QString folder = env.makeFolder(QStringLiteral("hudba/slozka.mp3"));
        const QList<QByteArray> lines{"#EXTM3U",
                                      a.toUtf8(), // an information line, never a path
                                      a.toUtf8(),
                                      "#EXTINF:1,missing",
                                      (env.startDir() + QStringLiteral("/missing.mp3")).toUtf8(),
                                      "#EXTINF:1,folder",
                                      folder.toUtf8(),
                                      "#EXTINF:1,relative",
                                      "b.wav",
                                      "#EXTINF:1,untrimmed",
                                      " " + a.toUtf8(),
                                      "#EXTINF:1,empty",
                                      "",
                                      "#EXTINF:1,again",
                                      a.toUtf8()};
        const QString playlist = env.writeFile(QStringLiteral("seznam.m3u"), lines.join(lineEnd) + lineEnd);
        QCOMPARE(ReadAll(playlist), (QStringList{a, b, a}));
    }

    void playlistWithOnlyAHeaderAddsNothing()
    {
        TestEnvironment env;
        env.writeFile(QStringLiteral("start/a.mp3"), "x");
        QCOMPARE(ReadAll(env.writeFile(QStringLiteral("jen.m3u"), "a.mp3\r\n")), QStringList());
        QCOMPARE(ReadAll(env.writeFile(QStringLiteral("prazdny.m3u"), "")), QStringList());
    }

    void playlistThatCannotBeOpenedRaises()
    {
        TestEnvironment env;
        const QString missing = QDir(env.startDir()).filePath(QStringLiteral("chybi.m3u"));
        try {
            ReadAll(missing);
            QFAIL("no error raised");
        } catch (const PixlyError& error) {
            QVERIFY2(
                error.message().startsWith(QStringLiteral("Cannot open file \"%1\".").arg(Native(missing))),
                qPrintable(error.message()));
        }
        QVERIFY_THROWS_EXCEPTION(PixlyError, ReadAll(env.startDir()));
    }

    void folderScanTakesExactExtensionsInNameOrder()
    {
        TestEnvironment env;
        const QString music = env.makeFolder(QStringLiteral("hudba"));
        for (const char* name :
             {"c.txt", "B.MP3", "a.mp3", "e.wma", "d.midi", "F.mid", "g.Wav", ".skryta.wav"})
            env.writeFile(QStringLiteral("hudba/") + QLatin1StringView(name), "x");
        Scan scan;
        AddMusicFolder(music, scan.hooks());
        const QDir dir(music);
        QCOMPARE(scan.songs, (QStringList{Native(dir.filePath(QStringLiteral(".skryta.wav"))),
                                          Native(dir.filePath(QStringLiteral("a.mp3"))),
                                          Native(dir.filePath(QStringLiteral("d.midi"))),
                                          Native(dir.filePath(QStringLiteral("e.wma"))),
                                          Native(dir.filePath(QStringLiteral("F.mid")))}));
        QCOMPARE(scan.entries, 8);
        QVERIFY(scan.unreachable.isEmpty());
    }

    void subfolderSongsComeWhereTheSubfolderStands()
    {
        TestEnvironment env;
        const QString music = env.makeFolder(QStringLiteral("hudba"));
        const QString a = env.writeFile(QStringLiteral("hudba/a.mp3"), "x");
        const QString d = env.writeFile(QStringLiteral("hudba/x/d.wav"), "x");
        const QString deep = env.writeFile(QStringLiteral("hudba/x/hloubka/e.mid"), "x");
        const QString inFolderNamedLikeASong = env.writeFile(QStringLiteral("hudba/x.mp3/f.wma"), "x");
        const QString y = env.writeFile(QStringLiteral("hudba/y.mp3"), "x");
        env.writeFile(QStringLiteral("hudba/.skryta/h.mp3"), "x");
        Scan scan;
        AddMusicFolder(music, scan.hooks());
        QCOMPARE(scan.songs, (QStringList{a, d, deep, inFolderNamedLikeASong, y}));
        QCOMPARE(scan.entries, 9);
    }

    void linkBackToAParentEndsTheScan()
    {
        TestEnvironment env;
        const QString music = env.makeFolder(QStringLiteral("hudba"));
        const QString song = env.writeFile(QStringLiteral("hudba/sub/s.mp3"), "x");
        const QString linkedSong = QDir(music).filePath(QStringLiteral("sub/odkaz.mp3"));
        QVERIFY(QFile::link(song, linkedSong));
        QVERIFY(QFile::link(music, QDir(music).filePath(QStringLiteral("sub/zpet"))));
        QVERIFY(QFile::link(env.makeFolder(QStringLiteral("jinde")),
                            QDir(music).filePath(QStringLiteral("jinam"))));
        env.writeFile(QStringLiteral("jinde/j.mp3"), "x");
        Scan scan;
        AddMusicFolder(music, scan.hooks());
        // A link to a song is a song; links to folders are not entered.
        QCOMPARE(scan.songs, (QStringList{Native(linkedSong), song}));
    }

    void scanLeavesTheParentOfTheChosenFolderCurrent()
    {
        TestEnvironment env;
        const QString parent = env.makeFolder(QStringLiteral("disk"));
        const QString music = env.makeFolder(QStringLiteral("disk/hudba"));
        env.writeFile(QStringLiteral("disk/hudba/x/y/a.mp3"), "x");
        Scan scan;
        AddMusicFolder(music, scan.hooks());
        QCOMPARE(scan.songs.size(), 1);
        QCOMPARE(Native(QDir::currentPath()), parent);

        QDir::setCurrent(env.startDir());
        AddMusicFolder(QDir::rootPath() + QStringLiteral("pixly-no-such-folder"), scan.hooks());
        QCOMPARE(scan.unreachable,
                 QStringList{Native(QDir::rootPath() + QStringLiteral("pixly-no-such-folder"))});
        QCOMPARE(Native(QDir::currentPath()), env.startDir());
    }

    void eventsAreHandledBetweenEntries()
    {
        TestEnvironment env;
        const QString music = env.makeFolder(QStringLiteral("hudba"));
        for (int i = 0; i < 50; ++i)
            env.writeFile(QStringLiteral("hudba/%1.mp3").arg(i, 2, 10, QLatin1Char('0')), "x");
        Scan scan;
        int songsWhenTheTimerRan = -1;
        QTimer::singleShot(0, this, [&] { songsWhenTheTimerRan = int(scan.songs.size()); });
        MusicFolderHooks hooks = scan.hooks();
        hooks.afterEntry = [] { QCoreApplication::processEvents(); };
        AddMusicFolder(music, hooks);
        QCOMPARE(scan.songs.size(), 50);
        QCOMPARE(songsWhenTheTimerRan, 1);
    }
};

QTEST_GUILESS_MAIN(TestPlaylistFiles)
#include "tst_playlistfiles.moc"
