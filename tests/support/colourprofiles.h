#pragma once

// Colour profiles made with LittleCMS for the tests and benchmarks, and the JPEG files that embed
// them.

#include <QByteArray>

// A profile with sRGB's white point and tone curve whose channels swap sRGB's primaries: its red
// is sRGB's green, its green sRGB's blue, its blue sRGB's red, so a stored (r, g, b) shows as the
// sRGB (b, r, g).
QByteArray ChannelSwappingProfile();

// Display P3: the primaries of DCI-P3 with sRGB's white point and tone curve, as phones use it.
QByteArray DisplayP3Profile();

// A camera's EXIF block (a TIFF structure) that gives only the colour space (1 sRGB, 0xFFFF
// uncalibrated) and the interoperability index (four bytes, "R03\0" for Adobe RGB).
QByteArray CameraColourSpaceExif(int colourSpace, const QByteArray& index);

// The JPEG with the profile in APP2 segments right after its start marker, each carrying at most
// chunkBytes of it.
QByteArray WithIccProfile(const QByteArray& jpeg, const QByteArray& profile, qsizetype chunkBytes = 65519);
