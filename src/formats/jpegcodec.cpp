#include "formats/jpegcodec.h"

#include "formats/colourprofile.h"
#include "formats/jpegwriter.h"
#include "formats/libjpegsession.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using namespace libjpegsession;

// Feeds libjpeg from the caller's reader, a block at a time; found through the decompressor's
// client_data.
struct StreamSource {
    jpeg_source_mgr pub{};
    const JpegReadBytes* read = nullptr;
    std::vector<JOCTET> buffer;
    bool startOfData = true;
};

void startReading(j_decompress_ptr) {}

void stopReading(j_decompress_ptr) {}

boolean fillFromReader(j_decompress_ptr cinfo)
{
    auto& source = *static_cast<StreamSource*>(cinfo->client_data);
    qsizetype got = 0;
    callOutOfLibjpeg(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_READ, [&source, &got] {
        const auto capacity = qsizetype(source.buffer.size());
        got = std::min((*source.read)(reinterpret_cast<char*>(source.buffer.data()), capacity), capacity);
    });
    // As libjpeg's own file source does: no data at all is an error, data that ends inside the
    // picture only a warning, and a made-up end marker lets the decoder finish with what it has.
    if (got <= 0 && source.startOfData) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    source.startOfData = false;
    if (got <= 0) {
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source.buffer[0] = 0xFF;
        source.buffer[1] = JPEG_EOI;
        got = 2;
    }
    source.pub.next_input_byte = source.buffer.data();
    source.pub.bytes_in_buffer = std::size_t(got);
    return TRUE;
}

void skipFromReader(j_decompress_ptr cinfo, long count)
{
    jpeg_source_mgr& source = *cinfo->src;
    while (count > long(source.bytes_in_buffer)) {
        count -= long(source.bytes_in_buffer);
        fillFromReader(cinfo);
    }
    if (count <= 0) return;
    source.next_input_byte += count;
    source.bytes_in_buffer -= std::size_t(count);
}

// One decompression; destroys libjpeg's state however it ends.
class JpegReader {
public:
    JpegReader()
    {
        prepareErrorManager(errors_);
        cinfo_.err = &errors_.pub;
        runLibjpeg(errors_, [this] { jpeg_create_decompress(&cinfo_); });
        cinfo_.mem->max_memory_to_use = kMaxWorkingMemory;
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
            keepColourSegments();
            jpeg_read_header(&cinfo_, TRUE);
        });
    }

    // The reader must outlive the JpegReader.
    void readHeader(const JpegReadBytes& read)
    {
        stream_.read = &read;
        stream_.buffer.resize(kStreamBlockBytes);
        stream_.pub.init_source = startReading;
        stream_.pub.fill_input_buffer = fillFromReader;
        stream_.pub.skip_input_data = skipFromReader;
        stream_.pub.resync_to_restart = jpeg_resync_to_restart;
        stream_.pub.term_source = stopReading;
        cinfo_.client_data = &stream_;
        cinfo_.src = &stream_.pub;
        runLibjpeg(errors_, [this] {
            keepColourSegments();
            jpeg_read_header(&cinfo_, TRUE);
        });
    }

    // After the header: the embedded ICC profile (APP2, in as many segments as it takes), or what
    // the EXIF block (APP1) says.
    QByteArray colourProfile()
    {
        JOCTET* icc = nullptr;
        unsigned int size = 0;
        bool found = false;
        runLibjpeg(errors_,
                   [this, &icc, &size, &found] { found = jpeg_read_icc_profile(&cinfo_, &icc, &size); });
        QByteArray embedded;
        if (found) embedded = QByteArray(reinterpret_cast<const char*>(icc), qsizetype(size));
        std::free(icc);
        QByteArray exif;
        for (jpeg_saved_marker_ptr marker = cinfo_.marker_list; marker && exif.isEmpty();
             marker = marker->next) {
            const QByteArray segment = QByteArray::fromRawData(reinterpret_cast<const char*>(marker->data),
                                                               qsizetype(marker->data_length));
            if (marker->marker == JPEG_APP0 + 1 && segment.startsWith(QByteArray("Exif\0\0", 6)))
                exif = segment.mid(6);
        }
        return JpegColourProfile(embedded, exif);
    }

    QSize size() const { return QSize(int(cinfo_.image_width), int(cinfo_.image_height)); }
    bool hasMultipleScans()
    {
        bool multiple = false;
        runLibjpeg(errors_, [this, &multiple] { multiple = jpeg_has_multiple_scans(&cinfo_); });
        return multiple;
    }

    void refuseOversizedPicture() const { refuseOversized(cinfo_.image_width, cinfo_.image_height); }

    // The smallest n/8 scale whose output is at least wanted both ways (full size when none is).
    void scaleToAtLeast(const QSize& wanted)
    {
        if (wanted.isEmpty()) return;
        for (unsigned int eighths = 1; eighths <= 8; ++eighths) {
            runLibjpeg(errors_, [this, eighths] {
                cinfo_.scale_num = eighths;
                cinfo_.scale_denom = 8;
                jpeg_calc_output_dimensions(&cinfo_);
            });
            if (int(cinfo_.output_width) >= wanted.width() && int(cinfo_.output_height) >= wanted.height())
                return;
        }
    }

    // The checkpoint must outlive the JpegReader. libjpeg calls its progress monitor between
    // passes over the data, including while it reads the scans of a multi-scan file.
    void watch(const std::function<void()>& checkpoint)
    {
        if (!checkpoint) return;
        progress_.checkpoint = &checkpoint;
        progress_.pub.progress_monitor = reportProgress;
        cinfo_.progress = &progress_.pub;
    }

    // Allocates libjpeg's buffers (and, for multi-scan files, reads all scans), then the
    // picture, so a refused memory request never leaves a large picture allocated.
    QImage decode(QImage reuse)
    {
        const bool cmyk = startDecompress();
        QImage image = pictureBuffer(std::move(reuse));
        std::vector<JSAMPROW> rows(image.height());
        for (int y = 0; y < image.height(); ++y)
            rows[y] = image.scanLine(y);
        if (cmyk)
            readCmykRows(rows.data());
        else
            readRows(rows.data());
        fillRowsNotDecoded(image, rows.data());
        // jpeg_finish_decompress is left out on purpose: it only reads what follows the last
        // scan, and junk there must not cost a picture that is already complete.
        return image;
    }

    // Prepares decoding one row at a time; a multi-scan file is read whole here.
    void startRows()
    {
        if (!startDecompress()) return;
        runLibjpeg(errors_, [this] {
            cmykRow_ = (*cinfo_.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo_), JPOOL_IMAGE,
                                                   cinfo_.output_width * 4, 1);
        });
    }

    // Decodes the next row into target, output_width pixels.
    void readRow(QRgb* target)
    {
        JSAMPROW row = cmykRow_ ? cmykRow_[0] : reinterpret_cast<JSAMPROW>(target);
        JDIMENSION read = 0;
        runLibjpeg(errors_, [this, rows = &row, &read] { read = jpeg_read_scanlines(&cinfo_, rows, 1); });
        if (read == 0)
            std::fill(target, target + cinfo_.output_width, qRgb(0, 0, 0));
        else if (cmykRow_)
            convertCmykRow(cmykRow_[0], target, cinfo_.output_width, cinfo_.saw_Adobe_marker);
    }

    // Passes over the next count rows.
    void skipRows(int count)
    {
        runLibjpeg(errors_, [this, count] { jpeg_skip_scanlines(&cinfo_, JDIMENSION(count)); });
    }

    // Decodes only the region's rows and columns, at its scale. Libjpeg cuts at iMCU boundaries,
    // and the pixels next to a cut are made without their neighbours, so an iMCU more is decoded
    // on every side and left out.
    QImage decodeRegion(const JpegRegion& region)
    {
        runLibjpeg(errors_, [this, &region] {
            cinfo_.scale_num = JDIMENSION(std::clamp(region.eighths, 1, 8));
            cinfo_.scale_denom = 8;
        });
        startRows();
        const QRect wanted =
            region.rect.intersected(QRect(0, 0, int(cinfo_.output_width), int(cinfo_.output_height)));
        if (wanted.isEmpty()) throw JpegError(JERR_BAD_CROP_SPEC);
        const int marginX = cinfo_.max_h_samp_factor * cinfo_.min_DCT_scaled_size;
        const int marginY = cinfo_.max_v_samp_factor * cinfo_.min_DCT_scaled_size;
        auto left = JDIMENSION(std::max(0, wanted.x() - marginX));
        auto width = JDIMENSION(std::min(int(cinfo_.output_width), wanted.right() + 1 + marginX)) - left;
        runLibjpeg(errors_, [this, &left, &width] { jpeg_crop_scanline(&cinfo_, &left, &width); });
        const int firstRow = std::max(0, wanted.y() - marginY);
        if (firstRow > 0) skipRows(firstRow);
        QImage image(wanted.size(), QImage::Format_RGB32);
        if (image.isNull()) throw JpegError(JERR_OUT_OF_MEMORY);
        std::vector<QRgb> row(cinfo_.output_width);
        const int skipped = wanted.x() - int(left);
        for (int y = firstRow; y <= wanted.bottom(); ++y) {
            readRow(row.data());
            if (y >= wanted.y())
                std::copy_n(row.begin() + skipped, wanted.width(),
                            reinterpret_cast<QRgb*>(image.scanLine(y - wanted.y())));
        }
        return image;
    }

private:
    // Only called inside a libjpeg step, before the header is read.
    void keepColourSegments()
    {
        jpeg_save_markers(&cinfo_, JPEG_APP0 + 1, 0xFFFF);
        jpeg_save_markers(&cinfo_, JPEG_APP0 + 2, 0xFFFF);
    }

    // Starts decompressing into RGB32 or, for CMYK and YCCK files, into CMYK that the reader
    // converts itself; true for the latter.
    bool startDecompress()
    {
        const bool cmyk = cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
        cinfo_.out_color_space = cmyk ? JCS_CMYK : kRgb32ColourSpace;
        runLibjpeg(errors_, [this] { jpeg_start_decompress(&cinfo_); });
        return cmyk;
    }

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

    void readRows(JSAMPROW* rows)
    {
        while (cinfo_.output_scanline < cinfo_.output_height) {
            const JDIMENSION first = cinfo_.output_scanline;
            JDIMENSION read = 0;
            runLibjpeg(errors_, [this, rows, first, &read] {
                read = jpeg_read_scanlines(&cinfo_, rows + first, cinfo_.output_height - first);
            });
            if (read == 0) break;
        }
    }

    void readCmykRows(JSAMPROW* rows)
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
    // handing out uninitialised memory should it ever stop early.
    void fillRowsNotDecoded(const QImage& image, JSAMPROW* rows) const
    {
        for (int y = int(cinfo_.output_scanline); y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(rows[y]);
            std::fill(row, row + image.width(), qRgb(0, 0, 0));
        }
    }

    struct Progress {
        jpeg_progress_mgr pub{};
        const std::function<void()>* checkpoint = nullptr;
    };

    static void reportProgress(j_common_ptr cinfo)
    {
        const auto* progress = reinterpret_cast<const Progress*>(cinfo->progress);
        callOutOfLibjpeg(cinfo, JERR_NOTIMPL, [progress] { (*progress->checkpoint)(); });
    }

    ErrorManager errors_;
    jpeg_decompress_struct cinfo_{};
    StreamSource stream_;
    JSAMPARRAY cmykRow_ = nullptr;
    Progress progress_;
};

} // namespace

DecodedJpeg DecodeJpeg(const QByteArray& data)
{
    return DecodeJpegInto(data, QImage());
}

DecodedJpeg DecodeJpegInto(const QByteArray& data, QImage reuse)
{
    JpegReader reader;
    reader.readHeader(data);
    reader.refuseOversizedPicture();
    const bool multipleScans = reader.hasMultipleScans();
    QByteArray profile = reader.colourProfile();
    return DecodedJpeg{reader.decode(std::move(reuse)), multipleScans, reader.size(), std::move(profile)};
}

namespace {

DecodedJpeg decodeScaled(JpegReader& reader, const JpegScaling& scaling)
{
    reader.refuseOversizedPicture();
    const bool multipleScans = reader.hasMultipleScans();
    QByteArray profile = reader.colourProfile();
    if (scaling.region)
        if (const std::optional<JpegRegion> region = scaling.region(reader.size()))
            return DecodedJpeg{reader.decodeRegion(*region), multipleScans, reader.size(),
                               std::move(profile)};
    if (scaling.atLeast) reader.scaleToAtLeast(scaling.atLeast(reader.size()));
    return DecodedJpeg{reader.decode(QImage()), multipleScans, reader.size(), std::move(profile)};
}

} // namespace

DecodedJpeg DecodeJpegScaled(const QByteArray& data, const JpegScaling& scaling)
{
    JpegReader reader;
    reader.watch(scaling.checkpoint);
    reader.readHeader(data);
    return decodeScaled(reader, scaling);
}

DecodedJpeg DecodeJpegScaled(const JpegReadBytes& read, const JpegScaling& scaling)
{
    JpegReader reader;
    reader.watch(scaling.checkpoint);
    reader.readHeader(read);
    return decodeScaled(reader, scaling);
}

QSize JpegScaledSize(const QSize& fullSize, int eighths)
{
    const auto scaled = [eighths](int side) { return int((qint64(side) * eighths + 7) / 8); };
    return QSize(scaled(fullSize.width()), scaled(fullSize.height()));
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

void TranscodeJpeg(const JpegReadBytes& read, const JpegWriteBytes& write, const JpegPlanTarget& plan,
                   const JpegNeedsRow& needsRow, const JpegTakeRow& takeRow)
{
    JpegReader reader;
    reader.readHeader(read);
    reader.refuseOversizedPicture();
    const QSize size = reader.size();
    const JpegTargetSettings target =
        plan(JpegSourceFacts{size, reader.hasMultipleScans(), reader.colourProfile()});
    refuseOversized(quint64(std::max(target.size.width(), 0)), quint64(std::max(target.size.height(), 0)));
    reader.startRows();
    JpegWriter writer;
    writer.start(write, target);
    std::vector<QRgb> row(std::size_t(size.width()));
    const JpegWriteRow writeRow = [&writer](const QRgb* pixels) { writer.writeRow(pixels); };
    for (int y = 0; y < size.height();) {
        int skipped = 0;
        while (y + skipped < size.height() && !needsRow(y + skipped))
            ++skipped;
        if (skipped > 0) {
            reader.skipRows(skipped);
            y += skipped;
            continue;
        }
        reader.readRow(row.data());
        takeRow(y, row.data(), writeRow);
        ++y;
    }
    writer.finish();
}
