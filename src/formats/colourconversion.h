#pragma once

#include <QByteArray>
#include <QImage>

// How a viewer's pictures meet the screen: as stored, or converted from their own colour profile
// to the screen's (colour management).
struct ShownColours {
    bool managed = false;
    QByteArray screenProfile; // ICC profile bytes; empty: the screen is sRGB

    bool operator==(const ShownColours&) const = default;
};

// Converts the pixels of a Format_RGB32 or Format_ARGB32_Premultiplied image from the picture's
// profile to the screen's while colours are managed; nothing is done when both are the same, and
// so not for an sRGB picture on an sRGB screen. Either profile counts as sRGB when it cannot be
// used (damaged, or not RGB). The transform of each pair of profiles is made once and kept; safe
// to call from any thread.
void ConvertToScreenColours(QImage& image, const QByteArray& pictureProfile, const ShownColours& colours);
