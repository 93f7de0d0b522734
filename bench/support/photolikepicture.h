#pragma once

#include <QImage>

// A picture that compresses like a photograph: smooth waves in several directions with sensor-like
// grain on top. The same seed gives the same picture.
QImage PhotoLikePicture(int seed, int width, int height);
