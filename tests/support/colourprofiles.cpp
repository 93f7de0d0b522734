#include "colourprofiles.h"

#include "exifbuilder.h"
#include "exifsamples.h"

#include <lcms2.h>

namespace {

QByteArray SrgbCurveProfile(const cmsCIExyYTRIPLE& primaries)
{
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    // IEC 61966-2-1: the power 2.4 above a linear segment.
    const cmsFloat64Number srgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

} // namespace

QByteArray ChannelSwappingProfile()
{
    return SrgbCurveProfile({{0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}, {0.64, 0.33, 1.0}});
}

QByteArray DisplayP3Profile()
{
    return SrgbCurveProfile({{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}});
}

QByteArray CameraColourSpaceExif(int colourSpace, const QByteArray& index)
{
    using namespace exiftest;
    TiffBuilder tiff(BigEndian);
    const int ifd0 = tiff.AddIfd();
    const int exif = tiff.AddIfd();
    const int interop = tiff.AddIfd();
    tiff.AddPointer(ifd0, tag::ExifPointer, exif);
    tiff.Add(exif, tag::ColorSpace, Short, {colourSpace}).AddPointer(exif, tag::InteropPointer, interop);
    tiff.AddAscii(interop, tag::InteropIndex, index);
    return tiff.Build();
}

QByteArray WithIccProfile(const QByteArray& jpeg, const QByteArray& profile, qsizetype chunkBytes)
{
    const qsizetype chunks = (profile.size() + chunkBytes - 1) / chunkBytes;
    QByteArray segments;
    for (qsizetype i = 0; i < chunks; ++i) {
        const QByteArray chunk = profile.mid(i * chunkBytes, chunkBytes);
        const qsizetype length = 2 + 12 + 2 + chunk.size();
        segments += QByteArray("\xFF\xE2", 2) + char(length >> 8) + char(length & 0xFF) +
                    QByteArray("ICC_PROFILE\0", 12) + char(i + 1) + char(chunks) + chunk;
    }
    return jpeg.left(2) + segments + jpeg.mid(2);
}
