#include "platform/jpegcodec.h"

#include "platform/pixlyerror.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// No camera or scanner comes near this (about 268 megapixels); a header that claims more is
// damaged or hostile, and decoding it would need gigabytes.
constexpr quint64 kMaxPicturePixels = quint64(1) << 28;

// libjpeg's own working memory: progressive files keep every coefficient of the picture, which a
// crafted header can make enormous. Beyond this libjpeg fails with an error instead of allocating.
constexpr long kMaxDecoderMemory = 1L << 30;

// Pixels in QImage::Format_RGB32 memory order, with the fourth byte set to 0xFF by libjpeg.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kRgb32ColourSpace = JCS_EXT_BGRA;
#else
constexpr J_COLOR_SPACE kRgb32ColourSpace = JCS_EXT_ARGB;
#endif

// libjpeg reports a fatal error by calling error_exit, which must not return. We jump back to
// the C++ frame that started the libjpeg call and raise JpegError from there, so that no C++
// exception ever travels through libjpeg's C frames.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void jumpToCaller(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (corrupt data that libjpeg steps over, data that ends early) are not errors: the
// picture is delivered as far as it could be decoded, the rest as libjpeg fills it in, the way
// a browser shows a damaged photo. Nothing is printed.
void ignoreMessage(j_common_ptr, int) {}

void printNothing(j_common_ptr) {}

void prepareErrorManager(ErrorManager& errors)
{
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jumpToCaller;
    errors.pub.emit_message = ignoreMessage;
    errors.pub.output_message = printNothing;
}

// Runs a step of libjpeg calls; false when libjpeg raised an error. A step holds only plain
// values and pointers, so the jump back skips no destructor.
template <typename Step> bool completes(ErrorManager& errors, Step step)
{
    if (setjmp(errors.jump) != 0) return false;
    step();
    return true;
}

template <typename Step> void runLibjpeg(ErrorManager& errors, Step step)
{
    if (!completes(errors, step)) throw JpegError(errors.pub.msg_code);
}

// One decompression; destroys libjpeg's state however it ends.
class JpegReader {
public:
    JpegReader()
    {
        prepareErrorManager(errors_);
        cinfo_.err = &errors_.pub;
        runLibjpeg(errors_, [this] { jpeg_create_decompress(&cinfo_); });
        cinfo_.mem->max_memory_to_use = kMaxDecoderMemory;
    }
    ~JpegReader() { jpeg_destroy_decompress(&cinfo_); }
    JpegReader(const JpegReader&) = delete;
    JpegReader& operator=(const JpegReader&) = delete;

    // The data must outlive the reader: libjpeg reads it in place.
    void readHeader(const QByteArray& data)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
        const auto size = static_cast<unsigned long>(data.size());
        runLibjpeg(errors_, [this, bytes, size] {
            jpeg_mem_src(&cinfo_, bytes, size);
            jpeg_read_header(&cinfo_, TRUE);
        });
    }

    QSize size() const { return QSize(int(cinfo_.image_width), int(cinfo_.image_height)); }
    bool hasMultipleScans()
    {
        bool multiple = false;
        runLibjpeg(errors_, [this, &multiple] { multiple = jpeg_has_multiple_scans(&cinfo_); });
        return multiple;
    }

    void refuseOversizedPicture() const
    {
        const quint64 pixels = quint64(cinfo_.image_width) * cinfo_.image_height;
        if (pixels <= kMaxPicturePixels) return;
        throw JpegError(JERR_IMAGE_TOO_BIG,
                        QStringLiteral("JPEG error #%1: picture too large (%2 x %3 pixels)")
                            .arg(JERR_IMAGE_TOO_BIG)
                            .arg(cinfo_.image_width)
                            .arg(cinfo_.image_height));
    }

    // Allocates libjpeg's buffers (and, for multi-scan files, reads all scans), then the
    // picture, so a refused memory request never leaves a large picture allocated.
    QImage decode(QImage reuse, const JpegRowsDecoded& rowsDecoded)
    {
        const bool cmyk = cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
        cinfo_.out_color_space = cmyk ? JCS_CMYK : kRgb32ColourSpace;
        runLibjpeg(errors_, [this] { jpeg_start_decompress(&cinfo_); });
        QImage image = pictureBuffer(std::move(reuse));
        std::vector<JSAMPROW> rows(image.height());
        for (int y = 0; y < image.height(); ++y)
            rows[y] = image.scanLine(y);
        if (cmyk)
            readCmykRows(image, rows.data(), rowsDecoded);
        else
            readRows(image, rows.data(), rowsDecoded);
        fillRowsNotDecoded(image, rows.data(), rowsDecoded);
        // jpeg_finish_decompress is left out on purpose: it only reads what follows the last
        // scan, and junk there must not cost a picture that is already complete.
        return image;
    }

private:
    QImage pictureBuffer(QImage reuse) const
    {
        const QSize size(int(cinfo_.output_width), int(cinfo_.output_height));
        // Only memory that no other image sees may be written over.
        if (reuse.size() == size && reuse.format() == QImage::Format_RGB32 && reuse.isDetached())
            return reuse;
        reuse = QImage(); // freed before the new picture is allocated
        QImage image(size, QImage::Format_RGB32);
        if (image.isNull()) throw JpegError(JERR_OUT_OF_MEMORY);
        return image;
    }

    // Each band is read in its own libjpeg step, so that the caller's work on it runs outside
    // the frames that libjpeg may jump out of.
    void readRows(const QImage& image, JSAMPROW* rows, const JpegRowsDecoded& rowsDecoded)
    {
        while (cinfo_.output_scanline < cinfo_.output_height) {
            const JDIMENSION first = cinfo_.output_scanline;
            JDIMENSION read = 0;
            runLibjpeg(errors_, [this, rows, first, &read] {
                read = jpeg_read_scanlines(&cinfo_, rows + first, cinfo_.output_height - first);
            });
            if (read == 0) break;
            if (rowsDecoded) rowsDecoded(image, int(first), int(read));
        }
    }

    void readCmykRows(const QImage& image, JSAMPROW* rows, const JpegRowsDecoded& rowsDecoded)
    {
        const bool inverted = cinfo_.saw_Adobe_marker;
        JSAMPARRAY cmyk = nullptr;
        runLibjpeg(errors_, [this, &cmyk] {
            cmyk = (*cinfo_.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo_), JPOOL_IMAGE,
                                               cinfo_.output_width * 4, 1);
        });
        while (cinfo_.output_scanline < cinfo_.output_height) {
            const JDIMENSION row = cinfo_.output_scanline;
            JDIMENSION read = 0;
            runLibjpeg(errors_, [this, cmyk, &read] { read = jpeg_read_scanlines(&cinfo_, cmyk, 1); });
            if (read == 0) break;
            convertCmykRow(cmyk[0], reinterpret_cast<QRgb*>(rows[row]), cinfo_.output_width, inverted);
            if (rowsDecoded) rowsDecoded(image, int(row), 1);
        }
    }

    // Adobe applications store CMYK inverted (0 = full ink); files without the Adobe marker
    // use plain ink values.
    static void convertCmykRow(const JSAMPLE* cmyk, QRgb* target, JDIMENSION width, bool inverted)
    {
        for (JDIMENSION x = 0; x < width; ++x, cmyk += 4) {
            const int c = inverted ? cmyk[0] : 255 - cmyk[0];
            const int m = inverted ? cmyk[1] : 255 - cmyk[1];
            const int y = inverted ? cmyk[2] : 255 - cmyk[2];
            const int k = inverted ? cmyk[3] : 255 - cmyk[3];
            target[x] = qRgb((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
        }
    }

    // libjpeg always yields every row when reading from memory; this only guards against
    // handing out uninitialised memory should it ever stop early. The rows are written through
    // their pointers, so that the image is never detached once rows have been handed out.
    void fillRowsNotDecoded(const QImage& image, JSAMPROW* rows, const JpegRowsDecoded& rowsDecoded) const
    {
        const int first = int(cinfo_.output_scanline);
        for (int y = first; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(rows[y]);
            std::fill(row, row + image.width(), qRgb(0, 0, 0));
        }
        if (rowsDecoded && first < image.height()) rowsDecoded(image, first, image.height() - first);
    }

    ErrorManager errors_;
    jpeg_decompress_struct cinfo_{};
};

// One compression into a buffer that libjpeg grows with malloc.
class JpegWriter {
public:
    JpegWriter()
    {
        prepareErrorManager(errors_);
        cinfo_.err = &errors_.pub;
    }
    ~JpegWriter()
    {
        jpeg_destroy_compress(&cinfo_);
        std::free(buffer_);
    }
    JpegWriter(const JpegWriter&) = delete;
    JpegWriter& operator=(const JpegWriter&) = delete;

    QByteArray encode(const QImage& rgb888, int quality, bool progressive)
    {
        std::vector<JSAMPROW> rows(rgb888.height());
        for (int y = 0; y < rgb888.height(); ++y)
            rows[y] = const_cast<JSAMPROW>(rgb888.constScanLine(y));
        const auto width = JDIMENSION(rgb888.width());
        const auto height = JDIMENSION(rgb888.height());
        JSAMPROW* rowData = rows.data();
        runLibjpeg(errors_, [=, this] {
            jpeg_create_compress(&cinfo_);
            jpeg_mem_dest(&cinfo_, &buffer_, &size_);
            cinfo_.image_width = width;
            cinfo_.image_height = height;
            cinfo_.input_components = 3;
            cinfo_.in_color_space = JCS_RGB;
            jpeg_set_defaults(&cinfo_);
            jpeg_set_quality(&cinfo_, quality, TRUE);
            if (progressive) jpeg_simple_progression(&cinfo_);
            jpeg_start_compress(&cinfo_, TRUE);
            while (cinfo_.next_scanline < cinfo_.image_height)
                jpeg_write_scanlines(&cinfo_, rowData + cinfo_.next_scanline, height - cinfo_.next_scanline);
            jpeg_finish_compress(&cinfo_);
        });
        return QByteArray(reinterpret_cast<const char*>(buffer_), qsizetype(size_));
    }

private:
    ErrorManager errors_;
    jpeg_compress_struct cinfo_{};
    unsigned char* buffer_ = nullptr;
    unsigned long size_ = 0;
};

} // namespace

DecodedJpeg DecodeJpeg(const QByteArray& data)
{
    return DecodeJpegInto(data, QImage());
}

DecodedJpeg DecodeJpegInto(const QByteArray& data, QImage reuse, const JpegRowsDecoded& rowsDecoded)
{
    JpegReader reader;
    reader.readHeader(data);
    reader.refuseOversizedPicture();
    const bool multipleScans = reader.hasMultipleScans();
    return DecodedJpeg{reader.decode(std::move(reuse), rowsDecoded), multipleScans};
}

QSize ReadJpegSize(const QByteArray& data)
{
    JpegReader reader;
    reader.readHeader(data);
    return reader.size();
}

QByteArray EncodeJpeg(const QImage& image, int quality, bool progressive)
{
    return JpegWriter().encode(image.convertToFormat(QImage::Format_RGB888), quality, progressive);
}
