#include "platform/pixlyerror.h"
#include "slideshow/masplayer.h"
#include "slideshow/songsequencer.h"

#include <QMap>
#include <QTest>

namespace {

// The playback service as a script: songs of known lengths, every call logged.
struct StubService {
    QMap<QString, int> lengths;
    QStringList calls;
    QString open;
    PlayerMode mode = PlayerMode::NotOpen;
};

class StubBackend : public AudioBackend {
public:
    explicit StubBackend(StubService& service) : s_(service) {}

    void Open(const QString& path) override
    {
        s_.calls.append(QStringLiteral("open ") + path);
        Close();
        if (!s_.lengths.contains(path))
            throw PixlyError(QStringLiteral("Cannot play file \"%1\".").arg(path));
        s_.open = path;
        s_.mode = PlayerMode::Stopped;
    }
    void Close() override
    {
        s_.mode = PlayerMode::NotOpen;
        s_.open.clear();
    }
    PlayerMode Mode() const override { return s_.mode; }
    void Play() override
    {
        s_.calls.append(QStringLiteral("play"));
        s_.mode = PlayerMode::Playing;
    }
    void Stop() override
    {
        s_.calls.append(QStringLiteral("stop"));
        s_.mode = PlayerMode::Stopped;
    }
    void Pause() override
    {
        s_.calls.append(QStringLiteral("pause"));
        if (s_.mode == PlayerMode::Playing)
            s_.mode = PlayerMode::Paused;
        else if (s_.mode == PlayerMode::Paused)
            s_.mode = PlayerMode::Playing;
    }
    bool Resume() override
    {
        s_.calls.append(QStringLiteral("resume"));
        if (s_.mode != PlayerMode::Paused) return false;
        s_.mode = PlayerMode::Playing;
        return true;
    }
    int Length() const override { return s_.lengths.value(s_.open); }
    int Position() const override { return 0; }

private:
    StubService& s_;
};

// The sequencer over a player on the stub service, with the music timer
// as a switch whose every change is logged; the test itself is the clock.
struct Music {
    StubService service;
    TMasPlayer player{std::make_unique<StubBackend>(service)};
    MusicState state;
    QList<bool> switches;
    SongSequencer sequencer{state, player, [this](bool on) { switches.append(on); }};
    bool ticking() const { return !switches.isEmpty() && switches.last(); }

    explicit Music(const QMap<QString, int>& songs) { service.lengths = songs; }
    // Ticks while the timer is on, at most count times; how many were run.
    int tick(int count)
    {
        int ran = 0;
        for (; ran < count && ticking(); ++ran)
            sequencer.Tick();
        return ran;
    }
};

const QMap<QString, int> TwoOneSecondSongs{{QStringLiteral("a.mp3"), 1000}, {QStringLiteral("b.wav"), 1000}};
const QStringList TwoSongs{QStringLiteral("a.mp3"), QStringLiteral("b.wav")};

void ExpectNoMciDevice(const std::function<void()>& operation)
{
    try {
        operation();
        QFAIL("no error raised");
    } catch (const PixlyError& error) {
        QCOMPARE(error.message(), QStringLiteral("No MCI device open"));
    }
}

} // namespace

class TestSongSequencer : public QObject {
    Q_OBJECT
private slots:
    void mediaFileIndexFollowsTheList()
    {
        StubService service;
        TMasPlayer player(std::make_unique<StubBackend>(service));
        QCOMPARE(player.MediaFileIndex(), -1);
        player.SetMediaFileIndex(3);
        QCOMPARE(player.MediaFileIndex(), -1);
        player.SetFileName(QStringLiteral("before.mp3"));
        player.SetMediaFiles(TwoSongs);
        player.SetMediaFileIndex(1);
        QCOMPARE(player.MediaFileIndex(), 1);
        QCOMPARE(player.FileName(), QStringLiteral("b.wav"));
        player.SetMediaFileIndex(-1);
        QCOMPARE(player.MediaFileIndex(), 1);
        player.SetMediaFileIndex(0);
        player.SetMediaFileIndex(7);
        QCOMPARE(player.MediaFileIndex(), 1);
        QCOMPARE(player.FileName(), QStringLiteral("a.mp3"));
        QVERIFY(!player.About().isEmpty());
    }

    void operationsWithoutAnOpenSong()
    {
        StubService service;
        TMasPlayer player(std::make_unique<StubBackend>(service));
        ExpectNoMciDevice([&] { player.Play(); });
        ExpectNoMciDevice([&] { player.Resume(); });
        ExpectNoMciDevice([&] { player.Length(); });
        // Nothing to stop or pause: no error and nothing asked of the service.
        player.Stop();
        player.Pause();
        QVERIFY(service.calls.isEmpty());
    }

    void resumeFallsBackToPlay()
    {
        Music m(TwoOneSecondSongs);
        m.player.SetMediaFiles(TwoSongs);
        m.player.PlayMediaFile(0);
        m.player.Pause();
        m.player.Resume();
        QCOMPARE(m.service.mode, PlayerMode::Playing);
        m.player.Stop();
        m.service.calls.clear();
        m.player.Resume();
        QCOMPARE(m.service.calls, (QStringList{"resume", "play"}));
        QCOMPARE(m.service.mode, PlayerMode::Playing);
    }

    void secondSongStartsAtTheFifthTickThenTheTimerStops()
    {
        Music m(TwoOneSecondSongs);
        QVERIFY(m.sequencer.StartMusic(TwoSongs));
        QCOMPARE(m.service.calls, (QStringList{"open a.mp3", "play"}));
        QCOMPARE(m.switches, QList<bool>{true});
        QVERIFY(!m.state.PlaylistFromStart);

        for (int tick = 1; tick <= 4; ++tick)
            QVERIFY(m.sequencer.Tick());
        QCOMPARE(m.state.SongTicks, 4);
        QCOMPARE(m.service.calls.size(), 2);

        // 5 × 200 ms reach the song's 1000 ms.
        QVERIFY(!m.sequencer.Tick());
        QCOMPARE(m.service.calls, (QStringList{"open a.mp3", "play", "stop", "open b.wav", "play"}));
        QCOMPARE(m.state.SongIndex, 1);
        QCOMPARE(m.state.SongTicks, 0);
        QCOMPARE(m.switches, (QList<bool>{true, false, true}));

        QCOMPARE(m.tick(100), 5);
        QCOMPARE(m.state.SongIndex, 2);
        QCOMPARE(m.switches, (QList<bool>{true, false, true, false}));
        QCOMPARE(m.service.calls.last(), QStringLiteral("stop"));
        QCOMPARE(m.service.calls.count(QStringLiteral("open b.wav")), 1);
    }

    void partOfATickCountsAsAWholeOne()
    {
        Music m({{QStringLiteral("kratka.wav"), 1001}, {QStringLiteral("b.wav"), 1000}});
        m.sequencer.StartMusic({QStringLiteral("kratka.wav"), QStringLiteral("b.wav")});
        QCOMPARE(m.tick(5), 5);
        QCOMPARE(m.state.SongIndex, 0);
        m.sequencer.Tick();
        QCOMPARE(m.state.SongIndex, 1);
    }

    void resumedSongIsFollowedByTheSecondEntry()
    {
        Music m({{QStringLiteral("a.mp3"), 1000},
                 {QStringLiteral("b.wav"), 1000},
                 {QStringLiteral("c.mid"), 1000}});
        const QStringList songs{QStringLiteral("a.mp3"), QStringLiteral("b.wav"), QStringLiteral("c.mid")};
        m.sequencer.StartMusic(songs);
        m.tick(5);
        m.tick(2);
        QCOMPARE(m.state.SongIndex, 1);
        // The settings window pauses the song; the next start resumes it.
        m.switches.append(false);
        m.player.Pause();
        m.service.calls.clear();
        QVERIFY(m.sequencer.StartMusic(songs));
        QCOMPARE(m.service.calls, QStringList{"resume"});
        QCOMPARE(m.state.SongIndex, 0);
        QCOMPARE(m.state.SongTicks, 2);
        QVERIFY(m.sequencer.Tick());
        QVERIFY(m.sequencer.Tick());
        QVERIFY(!m.sequencer.Tick());
        QCOMPARE(m.service.calls.mid(1), (QStringList{"stop", "open b.wav", "play"}));
    }

    void playlistFromStartPlaysTheFirstSongAgain()
    {
        Music m(TwoOneSecondSongs);
        m.sequencer.StartMusic(TwoSongs);
        m.tick(3);
        m.switches.append(false);
        m.state.PlaylistFromStart = true;
        m.service.calls.clear();
        m.sequencer.StartMusic(TwoSongs);
        QCOMPARE(m.service.calls, (QStringList{"open a.mp3", "play"}));
        QCOMPARE(m.state.SongTicks, 0);
        QVERIFY(!m.state.PlaylistFromStart);
    }

    void emptyPlaylistPlaysNothingAndLeavesThePlayerUsable()
    {
        Music m(TwoOneSecondSongs);
        m.sequencer.StartMusic(TwoSongs);
        m.tick(2);
        m.switches.append(false);
        m.player.Pause();
        m.service.calls.clear();

        QVERIFY(!m.sequencer.StartMusic({}));
        QVERIFY(m.service.calls.isEmpty());
        QVERIFY(!m.ticking());
        QCOMPARE(m.player.Mode(), PlayerMode::NotOpen);
        QCOMPARE(m.state.SongTicks, 0);
        m.player.Pause();
        m.player.Stop();

        QVERIFY(m.sequencer.StartMusic(TwoSongs));
        QCOMPARE(m.service.calls, (QStringList{"open a.mp3", "play"}));
        QVERIFY(m.ticking());
    }

    void songThatCannotBeOpenedEndsTheMusic()
    {
        Music m({{QStringLiteral("a.mp3"), 1000}});
        const QStringList songs{QStringLiteral("a.mp3"), QStringLiteral("chybi.mp3")};
        QVERIFY_THROWS_EXCEPTION(PixlyError, m.sequencer.StartMusic({QStringLiteral("chybi.mp3")}));
        QVERIFY(m.switches.isEmpty());

        m.service.calls.clear();
        m.sequencer.StartMusic(songs);
        m.tick(4);
        QVERIFY_THROWS_EXCEPTION(PixlyError, m.sequencer.Tick());
        QVERIFY(!m.ticking());
        QCOMPARE(m.player.Mode(), PlayerMode::NotOpen);
        QVERIFY(m.state.SongTicks > 0);

        // Nothing is left to resume: the next start plays the first song.
        m.service.calls.clear();
        m.sequencer.StartMusic(songs);
        QCOMPARE(m.service.calls, (QStringList{"open a.mp3", "play"}));
    }

    void endedMusicStartsTheLastSongAgainWhenResumed()
    {
        Music m({{QStringLiteral("a.mp3"), 1000}});
        m.sequencer.StartMusic({QStringLiteral("a.mp3")});
        m.tick(100);
        QCOMPARE(m.player.Mode(), PlayerMode::Stopped);
        m.service.calls.clear();
        m.sequencer.StartMusic({QStringLiteral("a.mp3")});
        QCOMPARE(m.service.calls, (QStringList{"resume", "play"}));
        // Its ticks go on from where they were, so it counts as finished at once.
        QVERIFY(!m.sequencer.Tick());
        QVERIFY(!m.ticking());
    }
};

QTEST_GUILESS_MAIN(TestSongSequencer)
#include "tst_songsequencer.moc"
