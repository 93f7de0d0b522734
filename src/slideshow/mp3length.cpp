#include "slideshow/mp3length.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <limits>

namespace {

// How far past the ID3v2 tag the first frame may be looked for.
constexpr qint64 SearchWindow = 64 * 1024;
constexpr int Id3v1Size = 128;

enum class Version { Mpeg1, Mpeg2, Mpeg25 };

struct FrameHeader {
    Version version;
    int layer;       // 1, 2 or 3
    int bitrateKbps; // never 0: free-format streams are not measured
    int sampleRate;
    bool mono;
    int frameBytes;
    int samplesPerFrame;
};

int BitrateKbps(Version version, int layer, int index)
{
    static constexpr std::array<std::array<int, 15>, 3> mpeg1{{
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    }};
    static constexpr std::array<std::array<int, 15>, 2> mpeg2{{
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
    }};
    if (version == Version::Mpeg1) return mpeg1[layer - 1][index];
    return mpeg2[layer == 1 ? 0 : 1][index];
}

int SampleRate(Version version, int index)
{
    static constexpr std::array<int, 3> mpeg1{44100, 48000, 32000};
    const int base = mpeg1[index];
    if (version == Version::Mpeg1) return base;
    return version == Version::Mpeg2 ? base / 2 : base / 4;
}

std::optional<FrameHeader> ParseHeader(const uchar* bytes)
{
    if (bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) return std::nullopt;
    const int versionBits = (bytes[1] >> 3) & 0x3;
    const int layerBits = (bytes[1] >> 1) & 0x3;
    const int bitrateIndex = bytes[2] >> 4;
    const int rateIndex = (bytes[2] >> 2) & 0x3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;
    FrameHeader header{};
    header.version = versionBits == 3 ? Version::Mpeg1 : versionBits == 2 ? Version::Mpeg2 : Version::Mpeg25;
    header.layer = 4 - layerBits;
    header.bitrateKbps = BitrateKbps(header.version, header.layer, bitrateIndex);
    header.sampleRate = SampleRate(header.version, rateIndex);
    header.mono = (bytes[3] >> 6) == 3;
    const int padding = (bytes[2] >> 1) & 0x1;
    const int bitsPerSecond = header.bitrateKbps * 1000;
    if (header.layer == 1) {
        header.frameBytes = (12 * bitsPerSecond / header.sampleRate + padding) * 4;
        header.samplesPerFrame = 384;
    } else {
        const bool halfFrames = header.layer == 3 && header.version != Version::Mpeg1;
        header.frameBytes = (halfFrames ? 72 : 144) * bitsPerSecond / header.sampleRate + padding;
        header.samplesPerFrame = halfFrames ? 576 : 1152;
    }
    return header;
}

bool SameStream(const FrameHeader& a, const FrameHeader& b)
{
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate;
}

quint32 BigEndian32(const uchar* bytes)
{
    return quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 | bytes[3];
}

// Where the audio begins: after an ID3v2 tag (its size is stored 7 bits a byte).
qint64 AudioStart(QFile& file)
{
    const QByteArray tag = file.read(10);
    if (tag.size() < 10 || !tag.startsWith("ID3")) return 0;
    const auto* bytes = reinterpret_cast<const uchar*>(tag.constData());
    const qint64 size = (qint64(bytes[6] & 0x7F) << 21) | ((bytes[7] & 0x7F) << 14) |
                        ((bytes[8] & 0x7F) << 7) | (bytes[9] & 0x7F);
    const bool footer = bytes[5] & 0x10;
    return 10 + size + (footer ? 10 : 0);
}

qint64 AudioEnd(QFile& file)
{
    const qint64 size = file.size();
    if (size < Id3v1Size || !file.seek(size - Id3v1Size)) return size;
    return file.read(3) == "TAG" ? size - Id3v1Size : size;
}

// The frame count from a Xing or Info header (after the side information)
// or a VBRI header (32 bytes after the frame header).
std::optional<quint32> FrameCount(const FrameHeader& header, const uchar* frame, qint64 available)
{
    const int sideInfo = header.version == Version::Mpeg1 ? (header.mono ? 17 : 32) : (header.mono ? 9 : 17);
    const qint64 xing = 4 + sideInfo;
    if (header.layer == 3 && available >= xing + 12) {
        const QByteArray id(reinterpret_cast<const char*>(frame + xing), 4);
        const bool hasFrames = BigEndian32(frame + xing + 4) & 0x1;
        if ((id == "Xing" || id == "Info") && hasFrames) return BigEndian32(frame + xing + 8);
    }
    constexpr qint64 vbri = 36;
    if (available >= vbri + 18 && QByteArray(reinterpret_cast<const char*>(frame + vbri), 4) == "VBRI")
        return BigEndian32(frame + vbri + 14);
    return std::nullopt;
}

// A length that a damaged header makes absurd is no length.
std::optional<int> FittingMs(qint64 ms)
{
    if (ms > std::numeric_limits<int>::max()) return std::nullopt;
    return int(ms);
}

} // namespace

std::optional<int> Mp3LengthMs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const qint64 start = AudioStart(file);
    const qint64 end = AudioEnd(file);
    if (start >= end || !file.seek(start)) return std::nullopt;
    // Room for two whole frames of the largest kind after the last place searched; never the
    // ID3v1 tag, whose text could pass for frames and put the audio's start past its end.
    const QByteArray window = file.read(std::min(end - start, SearchWindow + 2 * 2881));
    const auto* bytes = reinterpret_cast<const uchar*>(window.constData());
    const qint64 searchable = std::min<qint64>(window.size(), SearchWindow);
    for (qint64 at = 0; at + 4 <= searchable; ++at) {
        const std::optional<FrameHeader> first = ParseHeader(bytes + at);
        if (!first) continue;
        const qint64 next = at + first->frameBytes;
        if (next + 4 > window.size()) continue;
        const std::optional<FrameHeader> second = ParseHeader(bytes + next);
        if (!second || !SameStream(*first, *second)) continue;
        if (const std::optional<quint32> frames = FrameCount(*first, bytes + at, window.size() - at))
            return FittingMs(qint64(*frames) * first->samplesPerFrame * 1000 / first->sampleRate);
        // Bits over kilobits per second are milliseconds.
        return FittingMs((end - start - at) * 8 / first->bitrateKbps);
    }
    return std::nullopt;
}
