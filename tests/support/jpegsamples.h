#pragma once

// Pictures and JPEG files made for the codec's tests and the fuzzer's seeds.

#include <QByteArray>
#include <QImage>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

// A deterministic picture with detail in every block, so the compressed data is spread evenly.
QImage NoisyImage(int width, int height);

// The picture in a file format written by Qt's own image plug-ins.
QByteArray EncodeWithQt(const QImage& image, const char* format);

// Encodes a solid picture with libjpeg directly, for the colour spaces that the program's own
// encoder never writes. All components are stored at full resolution.
QByteArray EncodeSolidJpeg(int width, int height, const std::vector<JSAMPLE>& pixel, J_COLOR_SPACE given,
                           J_COLOR_SPACE stored, bool adobeMarker, bool progressive);
