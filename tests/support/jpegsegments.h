#pragma once

#include <QByteArray>
#include <QList>

// Reading and bending the marker segments at the head of a JPEG file.

struct JpegSegment {
    quint8 marker;
    qsizetype offset; // of the segment's 0xFF
};

// The marker segments from the start of image up to and including the first start of scan.
QList<JpegSegment> JpegHeaderSegments(const QByteArray& jpeg);
// Where the frame header (baseline, extended or progressive) starts; -1 when there is none.
qsizetype JpegFrameHeaderOffset(const QByteArray& jpeg);
// The frame header's marker, 0xC0 to 0xC2; -1 without a frame header.
int JpegFrameMarker(const QByteArray& jpeg);
// The number of colour components the frame header declares; -1 without a frame header.
int JpegComponentCount(const QByteArray& jpeg);
// The same file with other dimensions written into its frame header.
QByteArray WithClaimedJpegSize(QByteArray jpeg, int width, int height);
// The same file with an EXIF block right after its start marker whose IFD0 holds only the
// orientation: a short of the given value, or of the given type and count when they are bent.
QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation, bool bigEndian = true,
                               quint16 type = 3, quint32 count = 1);
