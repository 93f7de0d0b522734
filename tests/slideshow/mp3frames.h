#pragma once

// MPEG audio frames built for the length reader's tests and the fuzzer's seeds.

#include <QByteArray>
#include <QtEndian>

namespace mp3test {

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz, stereo, no padding: 417 bytes a frame.
inline const QByteArray Mpeg1Stereo128 = QByteArray::fromHex("fffb9000");
// The same in mono.
inline const QByteArray Mpeg1Mono128 = QByteArray::fromHex("fffb90c0");
// MPEG-2 layer III, 64 kbit/s, 22.05 kHz, stereo: 208 bytes a frame of 576 samples.
inline const QByteArray Mpeg2Stereo64 = QByteArray::fromHex("fff38000");

inline QByteArray Frames(const QByteArray& header, int frameBytes, int count)
{
    QByteArray frame = header;
    frame.append(frameBytes - header.size(), '\0');
    return frame.repeated(count);
}

inline QByteArray BigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// A first frame carrying a frame count: "Xing"/"Info" after the side
// information, or "VBRI" 32 bytes after the header.
inline QByteArray CountingFrame(const QByteArray& header, int frameBytes, int offset, const QByteArray& id,
                                quint32 frames)
{
    QByteArray frame = header;
    frame.append(offset - header.size(), '\0');
    frame.append(id);
    if (id == "VBRI")
        frame.append(QByteArray(10, '\0') + BigEndian(frames));
    else
        frame.append(BigEndian(0x1) + BigEndian(frames));
    frame.append(frameBytes - frame.size(), '\0');
    return frame;
}

inline QByteArray Id3v2Tag(int payload)
{
    QByteArray tag("ID3\x03\x00\x00", 6);
    for (int shift : {21, 14, 7, 0})
        tag.append(char((payload >> shift) & 0x7F));
    return tag + QByteArray(payload, 'T');
}

} // namespace mp3test
