#include "formats/colourprofile.h"

#include "formats/tiffstructure.h"

#include <lcms2.h>

#include <memory>

namespace {

constexpr uint16_t ExifIfdTag = 0x8769;
constexpr uint16_t ColourSpaceTag = 0xA001;
constexpr uint16_t InteroperabilityIfdTag = 0xA005;
constexpr uint16_t InteroperabilityIndexTag = 0x0001;
constexpr uint32_t Uncalibrated = 0xFFFF;

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};

void Describe(cmsHPROFILE profile, cmsTagSignature tag, const char* text)
{
    const std::unique_ptr<cmsMLU, decltype(&cmsMLUfree)> description(cmsMLUalloc(nullptr, 1), cmsMLUfree);
    cmsMLUsetASCII(description.get(), "en", "US", text);
    cmsWriteTag(profile, tag, description.get());
}

QByteArray MakeAdobeRgbProfile()
{
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    const std::unique_ptr<cmsToneCurve, decltype(&cmsFreeToneCurve)> gamma(
        cmsBuildGamma(nullptr, 563.0 / 256.0), cmsFreeToneCurve);
    cmsToneCurve* curves[3] = {gamma.get(), gamma.get(), gamma.get()};
    const std::unique_ptr<void, ProfileCloser> profile(cmsCreateRGBProfile(&white, &primaries, curves));
    if (!profile) return {};
    Describe(profile.get(), cmsSigProfileDescriptionTag, "Adobe RGB (1998)");
    Describe(profile.get(), cmsSigCopyrightTag, "No copyright, use freely");
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile.get(), nullptr, &size)) return {};
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (!cmsSaveProfileToMem(profile.get(), bytes.data(), &size)) return {};
    return bytes;
}

} // namespace

const QByteArray& AdobeRgbProfile()
{
    static const QByteArray profile = MakeAdobeRgbProfile();
    return profile;
}

bool ExifSaysAdobeRgb(const QByteArray& exifTiff)
{
    const TiffStructure exif = TiffStructure(exifTiff).Pointed(ExifIfdTag);
    const auto colourSpace = exif.Find(ColourSpaceTag);
    if (!colourSpace || colourSpace->type != TiffStructure::ShortType ||
        colourSpace->firstShort != Uncalibrated)
        return false;
    const auto index = exif.Pointed(InteroperabilityIfdTag).Find(InteroperabilityIndexTag);
    return index && index->type == TiffStructure::AsciiType && index->count == 4 &&
           index->fieldBytes.startsWith("R03");
}

QByteArray JpegColourProfile(const QByteArray& embedded, const QByteArray& exifTiff)
{
    if (!embedded.isEmpty()) return embedded;
    return ExifSaysAdobeRgb(exifTiff) ? AdobeRgbProfile() : QByteArray();
}
