#include "jpegsegments.h"

QList<JpegSegment> JpegHeaderSegments(const QByteArray& jpeg)
{
    QList<JpegSegment> segments;
    qsizetype pos = 2;
    while (pos + 4 <= jpeg.size() && quint8(jpeg[pos]) == 0xFF) {
        const quint8 marker = quint8(jpeg[pos + 1]);
        segments.append({marker, pos});
        if (marker == 0xDA) break;
        pos += 2 + (quint8(jpeg[pos + 2]) << 8 | quint8(jpeg[pos + 3]));
    }
    return segments;
}

qsizetype JpegFrameHeaderOffset(const QByteArray& jpeg)
{
    for (const JpegSegment& segment : JpegHeaderSegments(jpeg))
        if (segment.marker >= 0xC0 && segment.marker <= 0xC2) return segment.offset;
    return -1;
}

int JpegFrameMarker(const QByteArray& jpeg)
{
    const qsizetype frame = JpegFrameHeaderOffset(jpeg);
    return frame < 0 ? -1 : quint8(jpeg[frame + 1]);
}

int JpegComponentCount(const QByteArray& jpeg)
{
    const qsizetype frame = JpegFrameHeaderOffset(jpeg);
    return frame < 0 || frame + 9 >= jpeg.size() ? -1 : quint8(jpeg[frame + 9]);
}

QByteArray WithClaimedJpegSize(QByteArray jpeg, int width, int height)
{
    const qsizetype frame = JpegFrameHeaderOffset(jpeg);
    if (frame < 0 || frame + 8 >= jpeg.size()) return jpeg;
    jpeg[frame + 5] = char(height >> 8);
    jpeg[frame + 6] = char(height & 0xFF);
    jpeg[frame + 7] = char(width >> 8);
    jpeg[frame + 8] = char(width & 0xFF);
    return jpeg;
}

QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation, bool bigEndian, quint16 type,
                               quint32 count)
{
    QByteArray tiff;
    const auto number = [&](quint32 value, int width) {
        for (int i = 0; i < width; ++i)
            tiff.append(char(value >> (bigEndian ? 8 * (width - 1 - i) : 8 * i)));
    };
    tiff.append(bigEndian ? QByteArray("MM\0*", 4) : QByteArray("II*\0", 4));
    number(8, 4);
    number(1, 2);
    number(0x0112, 2);
    number(type, 2);
    number(count, 4);
    number(quint32(orientation), 2);
    number(0, 2);
    number(0, 4);
    const QByteArray data = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char((data.size() + 2) >> 8)).append(char((data.size() + 2) & 0xFF)).append(data);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}
