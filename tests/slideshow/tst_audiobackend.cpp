#include "platform/pixlyerror.h"
#include "slideshow/masplayer.h"
#include "slideshow/qtaudiobackend.h"
#include "testsongs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// The real playback service on short songs of every format, headless.
class TestAudioBackend : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QMap<QString, QString> encodeFailures_;

    QString song(const QString& name) const { return QDir::toNativeSeparators(dir_.filePath(name)); }

    static TMasPlayer realPlayer() { return TMasPlayer(std::make_unique<QtAudioBackend>()); }

    void encode(const QString& name, const QStringList& encoder, int ms)
    {
        const QString failure = TestSongs::Encode(encoder, ms, song(name));
        if (!failure.isEmpty()) encodeFailures_.insert(name, failure);
    }

    // Skips only when the machine truly lacks an element the song needs.
    void requireSong(const QString& name, const QStringList& elements)
    {
        for (const QString& element : elements) {
            if (TestSongs::ElementMissing(element))
                QSKIP(qPrintable(QStringLiteral("GStreamer element %1 is not installed").arg(element)));
        }
        if (encodeFailures_.contains(name)) {
            if (encodeFailures_.value(name).contains(QStringLiteral("not installed")))
                QSKIP(qPrintable(encodeFailures_.value(name)));
            QFAIL(qPrintable(encodeFailures_.value(name)));
        }
    }

    static void open(TMasPlayer& player, const QString& path)
    {
        player.SetFileName(path);
        player.Open();
    }

    static void expectOpenFailure(TMasPlayer& player, const QString& path)
    {
        player.SetFileName(path);
        try {
            player.Open();
            QFAIL("no error raised");
        } catch (const PixlyError& error) {
            const QString start = QStringLiteral("Cannot play file \"%1\". ").arg(path);
            QVERIFY2(error.message().startsWith(start), qPrintable(error.message()));
            QVERIFY2(error.message().size() > start.size(), "the service's message is missing");
        }
        QCOMPARE(player.Mode(), PlayerMode::NotOpen);
    }

private slots:
    void initTestCase()
    {
        // Headless and quiet: the media framework is first loaded after this.
        qputenv("GST_PLUGIN_FEATURE_RANK", "fakeaudiosink:MAX");
        QVERIFY(TestSongs::WriteFile(song(QStringLiteral("jedna.wav")), TestSongs::Wav(1000)));
        QVERIFY(TestSongs::WriteFile(song(QStringLiteral("tri.wav")), TestSongs::Wav(3000)));
        QVERIFY(TestSongs::WriteFile(song(QStringLiteral("jedna.mid")), TestSongs::Midi(1000)));
        QVERIFY(TestSongs::WriteFile(song(QStringLiteral("jedna.midi")), TestSongs::Midi(1000)));
        QVERIFY(TestSongs::WriteFile(song(QStringLiteral("text.mp3")), "not a song\n"));
        // Constant bitrate without a Xing header: the service learns its
        // length only while playing it.
        encode(QStringLiteral("deset.mp3"),
               {QStringLiteral("lamemp3enc"), QStringLiteral("target=bitrate"), QStringLiteral("bitrate=128"),
                QStringLiteral("cbr=true")},
               10000);
        encode(QStringLiteral("jedna.wma"),
               {QStringLiteral("avenc_wmav2"), QStringLiteral("!"), QStringLiteral("asfmux")}, 1000);
    }

    void opensMeasuresAndPlaysEveryFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("length");
        QTest::addColumn<QStringList>("elements");
        QTest::newRow("wav") << "jedna.wav" << 1000 << QStringList{"wavparse"};
        QTest::newRow("mid") << "jedna.mid" << 1000 << QStringList{"midiparse", "fluiddec"};
        QTest::newRow("midi") << "jedna.midi" << 1000 << QStringList{"midiparse", "fluiddec"};
        QTest::newRow("mp3 without Xing") << "deset.mp3" << 10000 << QStringList{"mpegaudioparse"};
        QTest::newRow("wma") << "jedna.wma" << 1000 << QStringList{"asfdemux", "avdec_wmav2"};
    }

    void opensMeasuresAndPlaysEveryFormat()
    {
        QFETCH(QString, name);
        QFETCH(int, length);
        QFETCH(QStringList, elements);
        requireSong(name, elements);
        TMasPlayer player = realPlayer();
        open(player, song(name));
        QCOMPARE(player.Mode(), PlayerMode::Stopped);
        // Right after the open, before anything has played; encoders pad a little.
        const int tolerance = std::max(150, length * 3 / 100);
        QVERIFY2(std::abs(player.Length() - length) <= tolerance,
                 qPrintable(QString::number(player.Length())));
        player.Play();
        QCOMPARE(player.Mode(), PlayerMode::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 0, 10000);
        player.Close();
        QCOMPARE(player.Mode(), PlayerMode::NotOpen);
    }

    void pauseTogglesStopKeepsThePlaceAndTheEndRewinds()
    {
        TMasPlayer player = realPlayer();
        open(player, song(QStringLiteral("tri.wav")));
        player.Play();
        QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 0, 10000);
        player.Pause();
        QCOMPARE(player.Mode(), PlayerMode::Paused);
        player.Pause();
        QCOMPARE(player.Mode(), PlayerMode::Playing);
        player.Stop();
        QCOMPARE(player.Mode(), PlayerMode::Stopped);
        QVERIFY(player.Position() > 0);
        // Pausing a stopped song does nothing; resuming it plays on.
        player.Pause();
        QCOMPARE(player.Mode(), PlayerMode::Stopped);
        player.Resume();
        QCOMPARE(player.Mode(), PlayerMode::Playing);
        QTRY_COMPARE_WITH_TIMEOUT(player.Mode(), PlayerMode::Stopped, 15000);
        QVERIFY(player.Position() >= player.Length() - 100);
        player.Play();
        QCOMPARE(player.Mode(), PlayerMode::Playing);
        QVERIFY(player.Position() < player.Length() - 100);
    }

    void openingASongClosesTheOneBefore()
    {
        TMasPlayer player = realPlayer();
        open(player, song(QStringLiteral("tri.wav")));
        player.Play();
        open(player, song(QStringLiteral("jedna.wav")));
        QCOMPARE(player.Mode(), PlayerMode::Stopped);
        QVERIFY2(std::abs(player.Length() - 1000) <= 150, qPrintable(QString::number(player.Length())));
        expectOpenFailure(player, song(QStringLiteral("chybi.wav")));
        open(player, song(QStringLiteral("tri.wav")));
        QVERIFY2(std::abs(player.Length() - 3000) <= 150, qPrintable(QString::number(player.Length())));
    }

    void openFailsWithTheServicesMessage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing file") << "chybi.mp3";
        QTest::newRow("text named like a song") << "text.mp3";
        QTest::newRow("folder") << ".";
    }

    void openFailsWithTheServicesMessage()
    {
        QFETCH(QString, name);
        TMasPlayer player = realPlayer();
        expectOpenFailure(player, song(name));
    }

    void openWithoutAFileNameFails()
    {
        TMasPlayer player = realPlayer();
        QVERIFY_THROWS_EXCEPTION(PixlyError, player.Open());
        QCOMPARE(player.Mode(), PlayerMode::NotOpen);
    }
};

QTEST_GUILESS_MAIN(TestAudioBackend)
#include "tst_audiobackend.moc"
