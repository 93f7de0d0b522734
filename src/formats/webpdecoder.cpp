#include "formats/webpdecoder.h"

#include "formats/containerexif.h"
#include "formats/picturefaults.h"
#include "formats/qtpicturereader.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <memory>

namespace {

// The data is handed to the decoder in parts of this size, and the checkpoint runs between them.
constexpr qsizetype PartBytes = 256 * 1024;

// Pixels in QImage::Format_RGB32 memory order; premultiplied for pictures with transparency.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr WEBP_CSP_MODE OpaqueMode = MODE_BGRA;
constexpr WEBP_CSP_MODE TransparentMode = MODE_bgrA;
#else
constexpr WEBP_CSP_MODE OpaqueMode = MODE_ARGB;
constexpr WEBP_CSP_MODE TransparentMode = MODE_Argb;
#endif

struct DecoderDeleter {
    void operator()(WebPIDecoder* decoder) const { WebPIDelete(decoder); }
};

struct DemuxerDeleter {
    void operator()(WebPDemuxer* demuxer) const { WebPDemuxDelete(demuxer); }
};

// The ICC profile of the file's "ICCP" chunk; empty when there is none.
QByteArray ColourProfileOf(const QByteArray& data)
{
    const WebPData webp{reinterpret_cast<const uint8_t*>(data.constData()), std::size_t(data.size())};
    const std::unique_ptr<WebPDemuxer, DemuxerDeleter> demuxer(WebPDemux(&webp));
    if (!demuxer || !(WebPDemuxGetI(demuxer.get(), WEBP_FF_FORMAT_FLAGS) & ICCP_FLAG)) return {};
    WebPChunkIterator chunk;
    if (!WebPDemuxGetChunk(demuxer.get(), "ICCP", 1, &chunk)) return {};
    const QByteArray profile(reinterpret_cast<const char*>(chunk.chunk.bytes), qsizetype(chunk.chunk.size));
    WebPDemuxReleaseChunkIterator(&chunk);
    return profile;
}

} // namespace

DecodedPicture DecodeWebP(const QByteArray& data, const PictureReading& reading, const QString& path)
{
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) throw DamagedPicture(path);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    if (WebPGetFeatures(bytes, std::size_t(data.size()), &config.input) != VP8_STATUS_OK)
        throw DamagedPicture(path);
    if (config.input.has_animation) return ReadWithQt(data, PictureFormat::WebP, reading, path);
    const QSize fullSize(config.input.width, config.input.height);
    RefuseOversizedPicture(fullSize, path);

    DecodedPicture decoded;
    decoded.fullSize = fullSize;
    if (reading.upright) decoded.orientation = ReadTiffOrientation(WebPExifTiff(data));
    decoded.colourProfile = ColourProfileOf(data);
    const QSize wanted = StoredSizeWanted(reading, fullSize, decoded.orientation);
    const QSize size = wanted.isEmpty() ? fullSize : wanted.boundedTo(fullSize);
    const bool alpha = config.input.has_alpha;
    decoded.image = QImage(size, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (decoded.image.isNull()) throw DamagedPicture(path);
    if (size != fullSize) {
        config.options.use_scaling = 1;
        config.options.scaled_width = size.width();
        config.options.scaled_height = size.height();
    }
    config.options.use_threads = 1;
    config.output.colorspace = alpha ? TransparentMode : OpaqueMode;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = decoded.image.bits();
    config.output.u.RGBA.stride = int(decoded.image.bytesPerLine());
    config.output.u.RGBA.size = std::size_t(decoded.image.sizeInBytes());

    const std::unique_ptr<WebPIDecoder, DecoderDeleter> decoder(WebPIDecode(nullptr, 0, &config));
    if (!decoder) throw DamagedPicture(path);
    for (qsizetype given = 0;;) {
        given = std::min(data.size(), given + PartBytes);
        const VP8StatusCode status = WebPIUpdate(decoder.get(), bytes, std::size_t(given));
        if (status == VP8_STATUS_OK) return decoded;
        if (status != VP8_STATUS_SUSPENDED || given == data.size()) throw DamagedPicture(path);
        if (reading.checkpoint) reading.checkpoint();
    }
}
