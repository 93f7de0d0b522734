#include "formats/heifdecoder.h"

#include "formats/isoboxes.h"
#include "formats/picturefaults.h"
#include "formats/tiffstructure.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>

namespace {

struct ContextDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageDeleter {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using Context = std::unique_ptr<heif_context, ContextDeleter>;
using Handle = std::unique_ptr<heif_image_handle, HandleDeleter>;
using Image = std::unique_ptr<heif_image, ImageDeleter>;

// libheif reads the compressed data of each tile when it decodes it, so a source that stops
// feeding data once the picture is no longer wanted ends the decode at the next tile.
struct Source {
    const QByteArray& data;
    CheckpointInCallback& checkpoint;
    int64_t position = 0;
};

int64_t PositionOf(void* source)
{
    return static_cast<Source*>(source)->position;
}

int Read(void* target, size_t size, void* userData)
{
    auto& source = *static_cast<Source*>(userData);
    if (!source.checkpoint.Continue()) return 1;
    if (source.position < 0 || quint64(size) > quint64(source.data.size() - source.position)) return 1;
    if (size == 0) return 0;
    std::memcpy(target, source.data.constData() + source.position, size);
    source.position += int64_t(size);
    return 0;
}

int Seek(int64_t position, void* userData)
{
    auto& source = *static_cast<Source*>(userData);
    if (position < 0 || position > source.data.size()) return 1;
    source.position = position;
    return 0;
}

heif_reader_grow_status WaitForSize(int64_t size, void* userData)
{
    return size <= static_cast<Source*>(userData)->data.size() ? heif_reader_grow_status_size_reached
                                                               : heif_reader_grow_status_size_beyond_eof;
}

const heif_reader SourceReader{1, PositionOf, Read, Seek, WaitForSize};

bool Failed(const heif_error& error)
{
    return error.code != heif_error_Ok;
}

// The primary picture of a parsed file; none when the file cannot be parsed.
Handle PrimaryPicture(heif_context* context, Source& source)
{
    if (Failed(heif_context_read_from_reader(context, &SourceReader, &source, nullptr))) return nullptr;
    heif_image_handle* handle = nullptr;
    if (Failed(heif_context_get_primary_image_handle(context, &handle))) return nullptr;
    return Handle(handle);
}

QByteArray ExifTiffOf(const heif_image_handle* handle)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) < 1) return {};
    QByteArray item(qsizetype(heif_image_handle_get_metadata_size(handle, id)), Qt::Uninitialized);
    if (Failed(heif_image_handle_get_metadata(handle, id, item.data()))) return {};
    return TiffAfterOffset(item);
}

// The ICC profile the file gives its primary picture; empty when it gives none, or only the
// colour coding's numbers.
QByteArray ColourProfileOf(const heif_image_handle* handle)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC) return {};
    QByteArray profile(qsizetype(heif_image_handle_get_raw_color_profile_size(handle)), Qt::Uninitialized);
    if (profile.isEmpty() || Failed(heif_image_handle_get_raw_color_profile(handle, profile.data())))
        return {};
    return profile;
}

QImage PixelsOf(const heif_image* image, bool alpha, bool premultiplied)
{
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    if (!plane || width <= 0 || height <= 0) return QImage();
    const QImage::Format stored = !alpha          ? QImage::Format_RGB888
                                  : premultiplied ? QImage::Format_RGBA8888_Premultiplied
                                                  : QImage::Format_RGBA8888;
    // The conversion copies the pixels out of libheif's image.
    return QImage(plane, width, height, stride, stored)
        .convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

} // namespace

DecodedPicture DecodeHeif(const QByteArray& data, const PictureReading& reading, const QString& path)
{
    CheckpointInCallback checkpoint(reading.checkpoint);
    Source source{data, checkpoint};
    const Context context(heif_context_alloc());
    heif_context_set_max_decoding_threads(context.get(),
                                          int(std::max(1u, std::thread::hardware_concurrency())));
    const Handle handle = PrimaryPicture(context.get(), source);
    checkpoint.RethrowIfRaised();
    if (!handle) throw DamagedPicture(path);
    RefuseOversizedPicture(heif_image_handle_get_ispe_width(handle.get()),
                           heif_image_handle_get_ispe_height(handle.get()), path);

    const std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    options->ignore_transformations = !reading.upright;
    options->convert_hdr_to_8bit = 1;
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get());
    heif_image* decodedImage = nullptr;
    const heif_error error =
        heif_decode_image(handle.get(), &decodedImage, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    const Image image(decodedImage);
    checkpoint.RethrowIfRaised();
    if (Failed(error) || !image) throw DamagedPicture(path);

    DecodedPicture decoded;
    decoded.image = PixelsOf(image.get(), alpha, heif_image_handle_is_premultiplied_alpha(handle.get()));
    if (decoded.image.isNull()) throw DamagedPicture(path);
    decoded.fullSize = decoded.image.size();
    decoded.colourProfile = ColourProfileOf(handle.get());
    if (reading.upright && !HeifTurnsPictures(data))
        decoded.orientation = ReadTiffOrientation(ExifTiffOf(handle.get()));
    return decoded;
}

QByteArray HeifExifTiff(const QByteArray& data)
{
    CheckpointInCallback checkpoint({});
    Source source{data, checkpoint};
    const Context context(heif_context_alloc());
    const Handle handle = PrimaryPicture(context.get(), source);
    return handle ? ExifTiffOf(handle.get()) : QByteArray();
}

bool HeifTurnsPictures(const QByteArray& data)
{
    const std::optional<IsoBox> properties = FindBoxPath(data, {"meta", "iprp", "ipco"});
    if (!properties) return false;
    for (const IsoBox& property : BoxesIn(data, properties->payload, properties->End()))
        if (property.type == "irot" || property.type == "imir") return true;
    return false;
}
