#pragma once

#include <QByteArray>

// The colour profiles that pictures come in, as ICC profile bytes; an empty profile means sRGB.

// The Adobe RGB (1998) profile, made once.
const QByteArray& AdobeRgbProfile();

// Whether a camera's EXIF block (a TIFF structure) says its picture is in Adobe RGB: the colour
// space "uncalibrated" with the interoperability index "R03", as cameras set to Adobe RGB write
// instead of embedding the profile.
bool ExifSaysAdobeRgb(const QByteArray& exifTiff);

// The profile of a JPEG's pixels: the one embedded in it, otherwise Adobe RGB when its EXIF block
// says so, otherwise none.
QByteArray JpegColourProfile(const QByteArray& embedded, const QByteArray& exifTiff);
