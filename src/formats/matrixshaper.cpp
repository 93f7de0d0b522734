#include "formats/matrixshaper.h"

#include <lcms2_plugin.h>

#include <algorithm>

namespace {

constexpr cmsTagSignature Colorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                          cmsSigBlueColorantTag};
constexpr cmsTagSignature Curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};

// The matrix from a profile's linear RGB to the connection space's XYZ: its colorants as columns.
bool ColorantMatrix(cmsHPROFILE profile, cmsMAT3& matrix)
{
    for (int channel = 0; channel < 3; ++channel) {
        const auto* colorant = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, Colorants[channel]));
        if (!colorant) return false;
        matrix.v[0].n[channel] = colorant->X;
        matrix.v[1].n[channel] = colorant->Y;
        matrix.v[2].n[channel] = colorant->Z;
    }
    return true;
}

bool Usable(cmsHPROFILE profile)
{
    return profile && cmsGetColorSpace(profile) == cmsSigRgbData && cmsGetPCS(profile) == cmsSigXYZData &&
           cmsIsMatrixShaper(profile);
}

} // namespace

std::unique_ptr<MatrixShaperConversion> MatrixShaperConversion::Between(cmsHPROFILE source,
                                                                        cmsHPROFILE target)
{
    if (!Usable(source) || !Usable(target)) return nullptr;
    cmsMAT3 fromSource, toTarget, inverse, combined;
    if (!ColorantMatrix(source, fromSource) || !ColorantMatrix(target, toTarget) ||
        !_cmsMAT3inverse(&toTarget, &inverse))
        return nullptr;
    _cmsMAT3per(&combined, &inverse, &fromSource);
    std::unique_ptr<MatrixShaperConversion> conversion(new MatrixShaperConversion);
    for (int channel = 0; channel < 3; ++channel) {
        const auto* sourceCurve = static_cast<const cmsToneCurve*>(cmsReadTag(source, Curves[channel]));
        const auto* targetCurve = static_cast<const cmsToneCurve*>(cmsReadTag(target, Curves[channel]));
        if (!sourceCurve || !targetCurve) return nullptr;
        const std::unique_ptr<cmsToneCurve, decltype(&cmsFreeToneCurve)> reversed(
            cmsReverseToneCurve(targetCurve), cmsFreeToneCurve);
        if (!reversed) return nullptr;
        for (int value = 0; value < 256; ++value) {
            const double linear = cmsEvalToneCurveFloat(sourceCurve, float(value) / 255);
            conversion->shares_[channel][value] =
                Share{float(combined.v[0].n[channel] * linear), float(combined.v[1].n[channel] * linear),
                      float(combined.v[2].n[channel] * linear), 0};
        }
        std::vector<quint8>& out = conversion->fromLinear_[channel];
        out.resize(LinearSteps + 1);
        for (int step = 0; step <= LinearSteps; ++step)
            out[step] = quint8(
                std::clamp(cmsEvalToneCurveFloat(reversed.get(), float(step) / LinearSteps), 0.0f, 1.0f) *
                    255 +
                0.5f);
    }
    return conversion;
}

void MatrixShaperConversion::Convert(QRgb* pixels, qsizetype count) const
{
    const auto encode = [](const std::vector<quint8>& table, float linear) {
        return QRgb(table[int(std::clamp(linear, 0.0f, 1.0f) * float(LinearSteps) + 0.5f)]);
    };
    for (qsizetype i = 0; i < count; ++i) {
        const QRgb pixel = pixels[i];
        const Share& r = shares_[0][qRed(pixel)];
        const Share& g = shares_[1][qGreen(pixel)];
        const Share& b = shares_[2][qBlue(pixel)];
        const QRgb red = encode(fromLinear_[0], r.red + g.red + b.red);
        const QRgb green = encode(fromLinear_[1], r.green + g.green + b.green);
        const QRgb blue = encode(fromLinear_[2], r.blue + g.blue + b.blue);
        pixels[i] = (pixel & 0xFF000000u) | (red << 16) | (green << 8) | blue;
    }
}
