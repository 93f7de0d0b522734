#include "mp3frames.h"
#include "slideshow/mp3length.h"

#include <QTemporaryDir>
#include <QTest>

using namespace mp3test;

class TestMp3Length : public QObject {
    Q_OBJECT
private slots:
    void lengthFromTheFrames_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("length");
        const QByteArray cbr = Frames(Mpeg1Stereo128, 417, 100);
        // Constant bitrate: the audio's bits over 128 kbit/s.
        QTest::newRow("constant bitrate") << cbr << 41700 * 8 / 128;
        QTest::newRow("ID3 tags on both ends")
            << Id3v2Tag(3000) + cbr + "TAG" + QByteArray(125, ' ') << 41700 * 8 / 128;
        QTest::newRow("junk before the first frame") << QByteArray(100, '\x11') + cbr << 41700 * 8 / 128;
        // A frame count: frames × 1152 samples at 44.1 kHz.
        QTest::newRow("Xing") << CountingFrame(Mpeg1Stereo128, 417, 36, "Xing", 500) +
                                     Frames(Mpeg1Stereo128, 417, 3)
                              << 500 * 1152 * 1000 / 44100;
        QTest::newRow("Info in mono")
            << CountingFrame(Mpeg1Mono128, 417, 21, "Info", 200) + Frames(Mpeg1Mono128, 417, 3)
            << 200 * 1152 * 1000 / 44100;
        QTest::newRow("VBRI") << CountingFrame(Mpeg1Stereo128, 417, 36, "VBRI", 1000) +
                                     Frames(Mpeg1Stereo128, 417, 3)
                              << 1000 * 1152 * 1000 / 44100;
        QTest::newRow("MPEG-2 Xing") << CountingFrame(Mpeg2Stereo64, 208, 21, "Xing", 300) +
                                            Frames(Mpeg2Stereo64, 208, 3)
                                     << 300 * 576 * 1000 / 22050;
        QTest::newRow("MPEG-2 constant bitrate") << Frames(Mpeg2Stereo64, 208, 50) << 50 * 208 * 8 / 64;
    }

    void lengthFromTheFrames()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, length);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("song.mp3"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        QCOMPARE(Mp3LengthMs(path), std::optional<int>(length));
    }

    void noLengthWithoutTwoConsecutiveFrames_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("WAV header") << QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16) + QByteArray(400, '\0');
        QTest::newRow("one frame header, then nothing like another")
            << Mpeg1Stereo128 + QByteArray(2000, '\x11');
        QTest::newRow("free-format bitrate") << Frames(QByteArray::fromHex("fffb0000"), 417, 5);
        QTest::newRow("reserved sample rate") << Frames(QByteArray::fromHex("fffb9c00"), 417, 5);
        QTest::newRow("frame cut short after an ID3 tag")
            << Id3v2Tag(100) + Frames(Mpeg1Stereo128, 417, 1).left(50);
        // MPEG-2 layer III at 8 kbit/s: 26 bytes a frame, three of them fit into the tag's text.
        QTest::newRow("frames only inside the ID3v1 tag")
            << QByteArray(100, '\x11') +
                   ("TAG" + Frames(QByteArray::fromHex("fff31000"), 26, 3)).leftJustified(128);
        QTest::newRow("absurd frame count")
            << CountingFrame(Mpeg1Stereo128, 417, 36, "Xing", 0xFFFFFFFF) + Frames(Mpeg1Stereo128, 417, 3);
    }

    void noLengthWithoutTwoConsecutiveFrames()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("song.mp3"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        QCOMPARE(Mp3LengthMs(path), std::nullopt);
        QCOMPARE(Mp3LengthMs(dir.filePath(QStringLiteral("missing.mp3"))), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestMp3Length)
#include "tst_mp3length.moc"
