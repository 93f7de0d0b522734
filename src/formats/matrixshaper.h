#pragma once

#include <QRgb>
#include <QtGlobal>

#include <lcms2.h>

#include <array>
#include <memory>
#include <vector>

// The conversion between two RGB profiles of the matrix and tone curve kind (what cameras, phones
// and screens use: sRGB, Display P3, Adobe RGB), evaluated through tables. LittleCMS reads the
// profiles and makes the tables; the colours are those of its own transform, give or take a
// step, in about half its time.
class MatrixShaperConversion {
public:
    // None unless both profiles are RGB matrix and tone curve profiles whose matrices can be used.
    static std::unique_ptr<MatrixShaperConversion> Between(cmsHPROFILE source, cmsHPROFILE target);

    // Converts opaque pixels in place, in QImage::Format_RGB32's order; the fourth byte stays.
    void Convert(QRgb* pixels, qsizetype count) const;

private:
    MatrixShaperConversion() = default;

    // Steps of the linear light values that the target's tone curves are tabulated for.
    static constexpr int LinearSteps = 32768;

    // For each channel and stored value, its share of the target's linear red, green and blue
    // (the matrix's column times the value's linear light).
    struct alignas(16) Share {
        float red, green, blue, unused;
    };
    std::array<std::array<Share, 256>, 3> shares_{};
    // The target's stored value for each step of linear light, the nearest step taken.
    std::array<std::vector<quint8>, 3> fromLinear_;
};
