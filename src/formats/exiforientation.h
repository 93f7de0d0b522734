#pragma once

#include <QByteArray>

class QIODevice;

// How a camera says its picture is to be turned for display: the EXIF orientation of IFD0
// (1 as stored, 2 mirrored, 3 turned half round, 4 flipped, 5 transposed, 6 turned a quarter
// clockwise, 7 transversed, 8 turned a quarter anticlockwise).
constexpr int OrientationAsStored = 1;

// The orientation recorded in a JPEG's EXIF block, read from the device's current position
// (the start of the file). A picture without EXIF, with a damaged block, a value of the wrong
// type or a value outside 1 to 8 counts as stored. Only the segments before the picture data
// are read, each at most 64 KiB; the device is left at an unspecified position.
int ReadExifOrientation(QIODevice& jpeg);
int ReadExifOrientation(const QByteArray& jpeg);

// The TIFF block of a JPEG's EXIF segment (its data after "Exif\0\0"), read as
// ReadExifOrientation reads it; empty when there is none.
QByteArray ReadJpegExifTiff(QIODevice& jpeg);

// The orientation recorded in IFD0 of a TIFF structure: a TIFF file or an EXIF block that starts
// with its TIFF header. Anything that is not a valid orientation counts as stored.
int ReadTiffOrientation(const QByteArray& tiff);
