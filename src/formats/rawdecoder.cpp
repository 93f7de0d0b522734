#include "formats/rawdecoder.h"

#include "formats/jpegcodec.h"
#include "formats/picturefaults.h"
#include "formats/pictureorientation.h"

#include <libraw/libraw.h>

#include <memory>
#include <optional>

namespace {

int ReportProgress(void* checkpoint, LibRaw_progress, int, int)
{
    return static_cast<CheckpointInCallback*>(checkpoint)->Continue() ? 0 : 1;
}

// LibRaw would print what it steps over in damaged data; a damaged file is reported once, by
// the error box.
void IgnoreDataError(void*, const char*, const int) {}

// LibRaw's orientation code (dcraw's "flip") as an EXIF orientation.
int OrientationOfFlip(int flip)
{
    static constexpr int Orientations[] = {1, 2, 4, 3, 5, 8, 6, 7};
    return flip >= 0 && flip < 8 ? Orientations[flip] : OrientationAsStored;
}

struct ProcessedImageDeleter {
    void operator()(libraw_processed_image_t* image) const { LibRaw::dcraw_clear_mem(image); }
};
using ProcessedImage = std::unique_ptr<libraw_processed_image_t, ProcessedImageDeleter>;

QImage RgbPixels(const libraw_processed_image_t* image)
{
    if (!image || image->type != LIBRAW_IMAGE_BITMAP || image->colors != 3 || image->bits != 8)
        return QImage();
    return QImage(image->data, image->width, image->height, 3 * int(image->width), QImage::Format_RGB888)
        .convertToFormat(QImage::Format_RGB32);
}

class RawFile {
public:
    RawFile(const QByteArray& data, const PictureReading& reading, const QString& path)
        : raw_(std::make_unique<LibRaw>()), checkpoint_(reading.checkpoint), reading_(reading), path_(path)
    {
        raw_->set_progress_handler(ReportProgress, &checkpoint_);
        raw_->set_dataerror_handler(IgnoreDataError, nullptr);
        // The pictures are turned afterwards, the preview and the developed picture alike.
        raw_->imgdata.params.user_flip = 0;
        raw_->imgdata.params.half_size = 1;
        raw_->imgdata.params.use_camera_wb = 1;
        raw_->imgdata.params.output_bps = 8;
        // LibRaw only reads the data it is given.
        succeed(raw_->open_buffer(const_cast<char*>(data.constData()), std::size_t(data.size())));
        RefuseOversizedPicture(raw_->imgdata.sizes.raw_width, raw_->imgdata.sizes.raw_height, path);
        orientation_ = reading.upright ? OrientationOfFlip(raw_->imgdata.sizes.flip) : OrientationAsStored;
    }

    // The embedded preview, when the file has one that serves.
    std::optional<DecodedPicture> Preview()
    {
        if (raw_->unpack_thumb() != LIBRAW_SUCCESS) {
            checkpoint_.RethrowIfRaised();
            return std::nullopt;
        }
        const libraw_thumbnail_t& thumbnail = raw_->imgdata.thumbnail;
        if (thumbnail.tformat == LIBRAW_THUMBNAIL_JPEG) {
            const QByteArray jpeg(thumbnail.thumb, qsizetype(thumbnail.tlength));
            if (!serves(ReadJpegSize(jpeg))) return std::nullopt;
            DecodedJpeg preview = DecodeJpegScaled(jpeg, JpegScalingFor(reading_, orientation_));
            return DecodedPicture{std::move(preview.image), preview.fullSize, orientation_,
                                  std::move(preview.colourProfile)};
        }
        if (thumbnail.tformat != LIBRAW_THUMBNAIL_BITMAP ||
            !serves(QSize(thumbnail.twidth, thumbnail.theight)))
            return std::nullopt;
        int error = LIBRAW_SUCCESS;
        const ProcessedImage image(raw_->dcraw_make_mem_thumb(&error));
        QImage pixels = RgbPixels(image.get());
        if (pixels.isNull()) return std::nullopt;
        const QSize size = pixels.size();
        return DecodedPicture{std::move(pixels), size, orientation_, {}};
    }

    // The RAW data developed at half size.
    DecodedPicture Developed()
    {
        succeed(raw_->unpack());
        succeed(raw_->dcraw_process());
        int error = LIBRAW_SUCCESS;
        const ProcessedImage image(raw_->dcraw_make_mem_image(&error));
        succeed(error);
        QImage pixels = RgbPixels(image.get());
        if (pixels.isNull()) throw DamagedPicture(path_);
        const QSize size = pixels.size();
        return DecodedPicture{std::move(pixels), size, orientation_, {}};
    }

private:
    void succeed(int result) const
    {
        checkpoint_.RethrowIfRaised();
        if (result != LIBRAW_SUCCESS) throw DamagedPicture(path_);
    }

    // A preview serves unless it is less than half the size asked for of the whole picture, both
    // ways, once turned.
    bool serves(const QSize& stored) const
    {
        if (stored.isEmpty()) return false;
        const QSize full(raw_->imgdata.sizes.width, raw_->imgdata.sizes.height);
        const QSize wanted = StoredSizeWanted(reading_, full, orientation_);
        return wanted.isEmpty() || stored.width() * 2 >= wanted.width() ||
               stored.height() * 2 >= wanted.height();
    }

    std::unique_ptr<LibRaw> raw_;
    CheckpointInCallback checkpoint_;
    const PictureReading& reading_;
    const QString& path_;
    int orientation_ = OrientationAsStored;
};

} // namespace

DecodedPicture DecodeRaw(const QByteArray& data, const PictureReading& reading, const QString& path)
{
    RawFile file(data, reading, path);
    if (std::optional<DecodedPicture> preview = file.Preview()) return std::move(*preview);
    return file.Developed();
}
