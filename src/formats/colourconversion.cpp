#include "formats/colourconversion.h"

#include "formats/matrixshaper.h"

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
constexpr std::size_t KeptConversions = 16;

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};

// An RGB profile from its bytes; none for no bytes and for bytes that cannot be used.
Profile OpenRgbProfile(const QByteArray& icc)
{
    if (icc.isEmpty()) return nullptr;
    Profile profile(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
    if (!profile || cmsGetColorSpace(profile.get()) != cmsSigRgbData) return nullptr;
    return profile;
}

// The conversion of one pair of profiles for one kind of pixels: through tables for opaque
// pixels between matrix and tone curve profiles, otherwise by LittleCMS's transform.
class Conversion {
public:
    // None when it cannot be made.
    static std::unique_ptr<Conversion> Make(cmsHPROFILE source, cmsHPROFILE target, cmsUInt32Number pixels)
    {
        std::unique_ptr<Conversion> conversion(new Conversion);
        if (pixels == OpaquePixels) conversion->tables_ = MatrixShaperConversion::Between(source, target);
        if (!conversion->tables_) {
            // The transforms are shared by the decoding threads: without the one-pixel cache,
            // which every call would write, they hold no state that a call changes. Pixels are
            // converted in place, so the fourth byte stays as it is without being copied.
            conversion->transform_.reset(
                cmsCreateTransform(source, pixels, target, pixels, INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE));
            if (!conversion->transform_) return nullptr;
        }
        return conversion;
    }

    void Run(QImage& image) const
    {
        const qsizetype stride = image.bytesPerLine();
        uchar* pixels = image.bits();
        if (!tables_) {
            cmsDoTransformLineStride(transform_.get(), pixels, pixels, cmsUInt32Number(image.width()),
                                     cmsUInt32Number(image.height()), cmsUInt32Number(stride),
                                     cmsUInt32Number(stride), 0, 0);
            return;
        }
        for (int y = 0; y < image.height(); ++y)
            tables_->Convert(reinterpret_cast<QRgb*>(pixels + y * stride), image.width());
    }

    // Whether it leaves every colour as it is, give or take a step: many cameras and programs
    // embed their own copy of sRGB, which on an sRGB screen needs no conversion.
    bool ChangesNothing() const
    {
        QImage probe(256 + 6 * 6 * 6, 1, QImage::Format_RGB32);
        for (int grey = 0; grey < 256; ++grey)
            probe.setPixel(grey, 0, qRgb(grey, grey, grey));
        for (int i = 0; i < 6 * 6 * 6; ++i)
            probe.setPixel(256 + i, 0, qRgb(i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51));
        QImage converted = probe.copy();
        Run(converted);
        const auto* before = reinterpret_cast<const QRgb*>(probe.constBits());
        const auto* after = reinterpret_cast<const QRgb*>(converted.constBits());
        return std::equal(before, before + probe.width(), after, [](QRgb a, QRgb b) {
            return std::abs(qRed(a) - qRed(b)) <= 1 && std::abs(qGreen(a) - qGreen(b)) <= 1 &&
                   std::abs(qBlue(a) - qBlue(b)) <= 1;
        });
    }

private:
    Conversion() = default;

    std::unique_ptr<MatrixShaperConversion> tables_;
    std::unique_ptr<void, TransformDeleter> transform_;
};

// The conversions made so far, the most recently used last.
class ConversionCache {
public:
    // The conversion between the profiles; none when it does nothing or cannot be made.
    std::shared_ptr<const Conversion> For(const QByteArray& from, const QByteArray& to,
                                          cmsUInt32Number pixels)
    {
        const std::size_t hash = qHashMulti(0, from, to, pixels);
        const std::lock_guard lock(mutex_);
        const auto found = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& kept) {
            return kept.hash == hash && kept.pixels == pixels && kept.from == from && kept.to == to;
        });
        if (found != kept_.end()) {
            std::rotate(found, found + 1, kept_.end());
            return kept_.back().conversion;
        }
        if (kept_.size() >= KeptConversions) kept_.erase(kept_.begin());
        kept_.push_back(Kept{hash, from, to, pixels, make(from, to, pixels)});
        return kept_.back().conversion;
    }

private:
    static std::shared_ptr<const Conversion> make(const QByteArray& from, const QByteArray& to,
                                                  cmsUInt32Number pixels)
    {
        Profile source = OpenRgbProfile(from);
        Profile target = OpenRgbProfile(to);
        if (!source && !target) return nullptr;
        if (!source) source.reset(cmsCreate_sRGBProfile());
        if (!target) target.reset(cmsCreate_sRGBProfile());
        std::shared_ptr<const Conversion> conversion = Conversion::Make(source.get(), target.get(), pixels);
        if (!conversion || conversion->ChangesNothing()) return nullptr;
        return conversion;
    }

    struct Kept {
        std::size_t hash;
        QByteArray from, to;
        cmsUInt32Number pixels;
        std::shared_ptr<const Conversion> conversion;
    };
    std::mutex mutex_;
    std::vector<Kept> kept_;
};

ConversionCache& Conversions()
{
    static ConversionCache cache;
    return cache;
}

} // namespace

void ConvertToScreenColours(QImage& image, const QByteArray& pictureProfile, const ShownColours& colours)
{
    if (!colours.managed || image.isNull() || pictureProfile == colours.screenProfile) return;
    const QImage::Format format = image.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) return;
    const std::shared_ptr<const Conversion> conversion =
        Conversions().For(pictureProfile, colours.screenProfile,
                          format == QImage::Format_RGB32 ? OpaquePixels : PremultipliedPixels);
    if (conversion) conversion->Run(image);
}
