#include "formats/jxldecoder.h"

#include "formats/picturefaults.h"
#include "formats/pictureorientation.h"
#include "formats/tiffstructure.h"

#include <jxl/decode.h>
#include <jxl/decode_cxx.h>
#include <jxl/thread_parallel_runner.h>
#include <jxl/thread_parallel_runner_cxx.h>

#include <algorithm>
#include <thread>

namespace {

// The data is handed to the decoder in parts of this size, and the checkpoint runs between them.
constexpr qsizetype PartBytes = 1024 * 1024;

// No real EXIF block comes near this; a box that claims more is not kept.
constexpr qsizetype MaxExifBytes = 16 * 1024 * 1024;

const JxlPixelFormat Rgba8{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};

// Hands the data over part by part.
class PartFeeder {
public:
    PartFeeder(JxlDecoder* decoder, const QByteArray& data) : decoder_(decoder), data_(data) {}

    // Sets the next part after what the decoder has used; false when all was handed over already.
    bool NextPart()
    {
        if (closed_) return false;
        const qsizetype unused = end_ == 0 ? 0 : qsizetype(JxlDecoderReleaseInput(decoder_));
        const qsizetype begin = end_ - unused;
        end_ = std::min(data_.size(), end_ + PartBytes);
        JxlDecoderSetInput(decoder_, reinterpret_cast<const uint8_t*>(data_.constData()) + begin,
                           std::size_t(end_ - begin));
        closed_ = end_ == data_.size();
        if (closed_) JxlDecoderCloseInput(decoder_);
        return true;
    }

private:
    JxlDecoder* decoder_;
    const QByteArray& data_;
    qsizetype end_ = 0;
    bool closed_ = false;
};

// The picture's size as the decoder delivers it: turned by its orientation unless kept as stored.
QSize DeliveredSize(const JxlBasicInfo& info, bool upright)
{
    const QSize stored(int(info.xsize), int(info.ysize));
    return upright ? OrientedSize(stored, int(info.orientation)) : stored;
}

// Where the decoder writes the picture: four bytes a pixel, rows without padding.
QImage OutputFor(JxlDecoder* decoder, const JxlBasicInfo& info, bool upright)
{
    QImage image(DeliveredSize(info, upright),
                 info.alpha_bits > 0 ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    std::size_t bytes = 0;
    if (image.isNull() || JxlDecoderImageOutBufferSize(decoder, &Rgba8, &bytes) != JXL_DEC_SUCCESS ||
        bytes != std::size_t(image.sizeInBytes()) ||
        JxlDecoderSetImageOutBuffer(decoder, &Rgba8, image.bits(), bytes) != JXL_DEC_SUCCESS)
        return QImage();
    return image;
}

// The ICC profile of the pixels as the decoder delivers them; empty when they are sRGB.
QByteArray ColourProfileOf(const JxlDecoder* decoder)
{
    JxlColorEncoding encoding{};
    if (JxlDecoderGetColorAsEncodedProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &encoding) ==
            JXL_DEC_SUCCESS &&
        encoding.color_space == JXL_COLOR_SPACE_RGB && encoding.white_point == JXL_WHITE_POINT_D65 &&
        encoding.primaries == JXL_PRIMARIES_SRGB && encoding.transfer_function == JXL_TRANSFER_FUNCTION_SRGB)
        return {};
    std::size_t size = 0;
    if (JxlDecoderGetICCProfileSize(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) !=
        JXL_DEC_SUCCESS)
        return {};
    QByteArray profile(qsizetype(size), Qt::Uninitialized);
    if (JxlDecoderGetColorAsICCProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                       reinterpret_cast<uint8_t*>(profile.data()), size) != JXL_DEC_SUCCESS)
        return {};
    return profile;
}

} // namespace

DecodedPicture DecodeJxl(const QByteArray& data, const PictureReading& reading, const QString& path)
{
    const JxlDecoderPtr decoder = JxlDecoderMake(nullptr);
    const JxlThreadParallelRunnerPtr runner =
        JxlThreadParallelRunnerMake(nullptr, std::max(1u, std::thread::hardware_concurrency()));
    if (!decoder || !runner ||
        JxlDecoderSetParallelRunner(decoder.get(), JxlThreadParallelRunner, runner.get()) !=
            JXL_DEC_SUCCESS ||
        JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING |
                                                     JXL_DEC_FULL_IMAGE) != JXL_DEC_SUCCESS ||
        JxlDecoderSetKeepOrientation(decoder.get(), reading.upright ? JXL_FALSE : JXL_TRUE) !=
            JXL_DEC_SUCCESS)
        throw DamagedPicture(path);
    PartFeeder feeder(decoder.get(), data);
    feeder.NextPart();
    JxlBasicInfo info{};
    QImage image;
    QByteArray profile;
    for (;;) {
        switch (JxlDecoderProcessInput(decoder.get())) {
        case JXL_DEC_NEED_MORE_INPUT:
            if (reading.checkpoint) reading.checkpoint();
            if (!feeder.NextPart()) throw DamagedPicture(path);
            break;
        case JXL_DEC_BASIC_INFO:
            if (JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS) throw DamagedPicture(path);
            RefuseOversizedPicture(info.xsize, info.ysize, path);
            break;
        case JXL_DEC_COLOR_ENCODING: profile = ColourProfileOf(decoder.get()); break;
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER:
            image = OutputFor(decoder.get(), info, reading.upright);
            if (image.isNull()) throw DamagedPicture(path);
            break;
        case JXL_DEC_FULL_IMAGE: {
            if (image.isNull()) throw DamagedPicture(path);
            image.convertTo(info.alpha_bits > 0 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
            DecodedPicture decoded;
            decoded.image = image;
            decoded.fullSize = image.size();
            decoded.colourProfile = profile;
            return decoded;
        }
        default: throw DamagedPicture(path); // an error, or the end without a picture
        }
    }
}

QByteArray JxlExifTiff(const QByteArray& data)
{
    const JxlDecoderPtr decoder = JxlDecoderMake(nullptr);
    if (!decoder || JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BOX) != JXL_DEC_SUCCESS ||
        JxlDecoderSetDecompressBoxes(decoder.get(), JXL_TRUE) != JXL_DEC_SUCCESS)
        return {};
    JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(data.constData()),
                       std::size_t(data.size()));
    JxlDecoderCloseInput(decoder.get());
    QByteArray exif;
    bool collecting = false;
    const auto finish = [&] {
        exif.chop(qsizetype(JxlDecoderReleaseBoxBuffer(decoder.get())));
        return TiffAfterOffset(exif);
    };
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(decoder.get());
        if (status == JXL_DEC_BOX) {
            if (collecting) return finish();
            JxlBoxType type{};
            if (JxlDecoderGetBoxType(decoder.get(), type, JXL_TRUE) != JXL_DEC_SUCCESS) return {};
            if (QByteArrayView(type, 4) != "Exif") continue;
            collecting = true;
            exif.resize(64 * 1024);
            JxlDecoderSetBoxBuffer(decoder.get(), reinterpret_cast<uint8_t*>(exif.data()),
                                   std::size_t(exif.size()));
        } else if (status == JXL_DEC_BOX_NEED_MORE_OUTPUT && collecting) {
            const qsizetype unused = qsizetype(JxlDecoderReleaseBoxBuffer(decoder.get()));
            const qsizetype used = exif.size() - unused;
            if (exif.size() * 2 > MaxExifBytes) return {};
            exif.resize(exif.size() * 2);
            JxlDecoderSetBoxBuffer(decoder.get(), reinterpret_cast<uint8_t*>(exif.data()) + used,
                                   std::size_t(exif.size() - used));
        } else {
            return status == JXL_DEC_SUCCESS && collecting ? finish() : QByteArray();
        }
    }
}
