#include "formats/colourconversion.h"

#include <QHashFunctions>

#include <lcms2.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Pixels in QImage memory order, the fourth byte kept as it is.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr cmsUInt32Number OpaquePixels = TYPE_BGRA_8;
constexpr cmsUInt32Number PremultipliedPixels = TYPE_BGRA_8_PREMUL;
#else
constexpr cmsUInt32Number OpaquePixels = TYPE_ARGB_8;
constexpr cmsUInt32Number PremultipliedPixels = TYPE_ARGB_8_PREMUL;
#endif

// A handful of pictures' profiles meet one screen; more pairs than this are made again as needed.
constexpr std::size_t KeptTransforms = 16;

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Transform = std::shared_ptr<void>;

// An RGB profile from its bytes; none for no bytes and for bytes that cannot be used.
Profile OpenRgbProfile(const QByteArray& icc)
{
    if (icc.isEmpty()) return nullptr;
    Profile profile(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
    if (!profile || cmsGetColorSpace(profile.get()) != cmsSigRgbData) return nullptr;
    return profile;
}

// Whether the transform leaves every colour as it is, give or take a step: many cameras and
// programs embed their own copy of sRGB, which on an sRGB screen needs no conversion.
bool ChangesNothing(void* transform)
{
    std::vector<QRgb> probe;
    for (int grey = 0; grey < 256; ++grey)
        probe.push_back(qRgb(grey, grey, grey));
    for (int r = 0; r < 256; r += 51)
        for (int g = 0; g < 256; g += 51)
            for (int b = 0; b < 256; b += 51)
                probe.push_back(qRgb(r, g, b));
    std::vector<QRgb> converted(probe.size());
    cmsDoTransform(transform, probe.data(), converted.data(), cmsUInt32Number(probe.size()));
    return std::equal(probe.begin(), probe.end(), converted.begin(), [](QRgb before, QRgb after) {
        return std::abs(qRed(before) - qRed(after)) <= 1 && std::abs(qGreen(before) - qGreen(after)) <= 1 &&
               std::abs(qBlue(before) - qBlue(after)) <= 1;
    });
}

// The transforms made so far, the most recently used last.
class TransformCache {
public:
    // The transform between the profiles; none when it does nothing or cannot be made.
    Transform For(const QByteArray& from, const QByteArray& to, cmsUInt32Number pixels)
    {
        const std::size_t hash = qHashMulti(0, from, to, pixels);
        const std::lock_guard lock(mutex_);
        const auto found = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& kept) {
            return kept.hash == hash && kept.pixels == pixels && kept.from == from && kept.to == to;
        });
        if (found != kept_.end()) {
            std::rotate(found, found + 1, kept_.end());
            return kept_.back().transform;
        }
        if (kept_.size() >= KeptTransforms) kept_.erase(kept_.begin());
        kept_.push_back(Kept{hash, from, to, pixels, make(from, to, pixels)});
        return kept_.back().transform;
    }

private:
    static Transform make(const QByteArray& from, const QByteArray& to, cmsUInt32Number pixels)
    {
        Profile source = OpenRgbProfile(from);
        Profile target = OpenRgbProfile(to);
        if (!source && !target) return nullptr;
        if (!source) source.reset(cmsCreate_sRGBProfile());
        if (!target) target.reset(cmsCreate_sRGBProfile());
        // The transforms are shared by the decoding threads: without the one-pixel cache, which
        // every call would write, they hold no state that a call changes.
        void* made = cmsCreateTransform(source.get(), pixels, target.get(), pixels, INTENT_PERCEPTUAL,
                                        cmsFLAGS_NOCACHE | cmsFLAGS_COPY_ALPHA);
        if (!made) return nullptr;
        const Transform transform(made, TransformDeleter());
        return ChangesNothing(made) ? nullptr : transform;
    }

    struct Kept {
        std::size_t hash;
        QByteArray from, to;
        cmsUInt32Number pixels;
        Transform transform;
    };
    std::mutex mutex_;
    std::vector<Kept> kept_;
};

TransformCache& Transforms()
{
    static TransformCache cache;
    return cache;
}

} // namespace

void ConvertToScreenColours(QImage& image, const QByteArray& pictureProfile, const ShownColours& colours)
{
    if (!colours.managed || image.isNull() || pictureProfile == colours.screenProfile) return;
    const QImage::Format format = image.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) return;
    const Transform transform =
        Transforms().For(pictureProfile, colours.screenProfile,
                         format == QImage::Format_RGB32 ? OpaquePixels : PremultipliedPixels);
    if (!transform) return;
    const auto stride = cmsUInt32Number(image.bytesPerLine());
    uchar* pixels = image.bits();
    cmsDoTransformLineStride(transform.get(), pixels, pixels, cmsUInt32Number(image.width()),
                             cmsUInt32Number(image.height()), stride, stride, 0, 0);
}
