#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QtEndian>
#include <cmath>

// Short songs made for the tests: WAV and MIDI written here, MP3 and WMA
// encoded by the GStreamer command-line tool.
namespace TestSongs {

inline void AppendLittle16(QByteArray& bytes, quint16 value)
{
    bytes.append(char(value & 0xFF)).append(char(value >> 8));
}

inline void AppendLittle32(QByteArray& bytes, quint32 value)
{
    AppendLittle16(bytes, quint16(value & 0xFFFF));
    AppendLittle16(bytes, quint16(value >> 16));
}

// Mono 16-bit PCM at 8 kHz: a quiet 440 Hz tone lasting ms.
inline QByteArray Wav(int ms)
{
    constexpr int rate = 8000;
    const int samples = rate * ms / 1000;
    QByteArray data;
    for (int i = 0; i < samples; ++i)
        AppendLittle16(data, quint16(qint16(1000 * std::sin(2 * M_PI * 440 * i / rate))));
    QByteArray wav("RIFF");
    AppendLittle32(wav, quint32(36 + data.size()));
    wav.append("WAVEfmt ");
    AppendLittle32(wav, 16);
    AppendLittle16(wav, 1); // PCM
    AppendLittle16(wav, 1); // mono
    AppendLittle32(wav, rate);
    AppendLittle32(wav, rate * 2);
    AppendLittle16(wav, 2);
    AppendLittle16(wav, 16);
    wav.append("data");
    AppendLittle32(wav, quint32(data.size()));
    return wav + data;
}

// A Standard MIDI File with one note lasting ms: a tempo of one second a
// quarter note over 1000 ticks a quarter makes a tick one millisecond.
inline QByteArray Midi(int ms)
{
    const auto variableLength = [](quint32 value) {
        QByteArray bytes(1, char(value & 0x7F));
        while (value >>= 7)
            bytes.prepend(char((value & 0x7F) | 0x80));
        return bytes;
    };
    QByteArray track;
    track.append(variableLength(0)).append("\xFF\x51\x03\x0F\x42\x40", 6);
    track.append(variableLength(0)).append("\x90\x45\x50", 3);
    track.append(variableLength(quint32(ms))).append("\x80\x45\x00", 3);
    track.append(variableLength(0)).append("\xFF\x2F\x00", 3);
    QByteArray midi("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x03\xE8", 14);
    midi.append("MTrk");
    QByteArray size(4, '\0');
    qToBigEndian(quint32(track.size()), size.data());
    return midi + size + track;
}

inline bool WriteFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

// True only when the GStreamer inspector is there and says the element is
// not: without the inspector nothing is known, and nothing is skipped.
inline bool ElementMissing(const QString& element)
{
    const QString inspect = QStandardPaths::findExecutable(QStringLiteral("gst-inspect-1.0"));
    if (inspect.isEmpty()) return false;
    return QProcess::execute(inspect, {QStringLiteral("--exists"), element}) != 0;
}

// Encodes ms of a 440 Hz tone at 44.1 kHz through the given encoder elements
// into target, e.g. {"lamemp3enc", "target=bitrate", "cbr=true"}. An error
// text, or "" on success.
inline QString Encode(const QStringList& encoder, int ms, const QString& target)
{
    const QString launch = QStandardPaths::findExecutable(QStringLiteral("gst-launch-1.0"));
    if (launch.isEmpty()) return QStringLiteral("gst-launch-1.0 is not installed");
    QStringList arguments{QStringLiteral("-q"),
                          QStringLiteral("audiotestsrc"),
                          QStringLiteral("num-buffers=%1").arg(ms / 10),
                          QStringLiteral("samplesperbuffer=441"),
                          QStringLiteral("volume=0.1"),
                          QStringLiteral("!"),
                          QStringLiteral("audio/x-raw,rate=44100,channels=2"),
                          QStringLiteral("!")};
    arguments << encoder << QStringLiteral("!") << QStringLiteral("filesink")
              << QStringLiteral("location=") + target;
    QProcess process;
    process.start(launch, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("gst-launch-1.0 failed: ") +
               QString::fromLocal8Bit(process.readAllStandardError());
    return QString();
}

} // namespace TestSongs
