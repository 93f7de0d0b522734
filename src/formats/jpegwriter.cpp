#include "formats/jpegwriter.h"

#include <cstdlib>

using namespace libjpegsession;

namespace {

StreamDestination& destinationOf(j_compress_ptr cinfo)
{
    return *static_cast<StreamDestination*>(cinfo->client_data);
}

void startBlock(j_compress_ptr cinfo)
{
    StreamDestination& destination = destinationOf(cinfo);
    destination.pub.next_output_byte = destination.buffer.data();
    destination.pub.free_in_buffer = destination.buffer.size();
}

void handOver(j_compress_ptr cinfo, std::size_t size)
{
    const StreamDestination& destination = destinationOf(cinfo);
    if (size == 0) return;
    callOutOfLibjpeg(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_WRITE, [&destination, size] {
        (*destination.write)(reinterpret_cast<const char*>(destination.buffer.data()), qsizetype(size));
    });
}

// libjpeg calls this with the whole block full, whatever free_in_buffer says.
boolean handOverFullBlock(j_compress_ptr cinfo)
{
    handOver(cinfo, destinationOf(cinfo).buffer.size());
    startBlock(cinfo);
    return TRUE;
}

void handOverLastBlock(j_compress_ptr cinfo)
{
    const StreamDestination& destination = destinationOf(cinfo);
    handOver(cinfo, destination.buffer.size() - destination.pub.free_in_buffer);
}

} // namespace

JpegWriter::JpegWriter()
{
    prepareErrorManager(errors_);
    cinfo_.err = &errors_.pub;
    runLibjpeg(errors_, [this] { jpeg_create_compress(&cinfo_); });
    cinfo_.mem->max_memory_to_use = kMaxWorkingMemory;
}

JpegWriter::~JpegWriter()
{
    jpeg_destroy_compress(&cinfo_);
    std::free(buffer_);
}

QByteArray JpegWriter::encode(const QImage& rgb888, int quality, bool progressive)
{
    std::vector<JSAMPROW> rows(rgb888.height());
    for (int y = 0; y < rgb888.height(); ++y)
        rows[y] = const_cast<JSAMPROW>(rgb888.constScanLine(y));
    const QSize size = rgb888.size();
    const auto height = JDIMENSION(size.height());
    JSAMPROW* rowData = rows.data();
    runLibjpeg(errors_, [=, this] {
        jpeg_mem_dest(&cinfo_, &buffer_, &size_);
        configure(size, 3, JCS_RGB, quality, progressive);
        jpeg_start_compress(&cinfo_, TRUE);
        while (cinfo_.next_scanline < cinfo_.image_height)
            jpeg_write_scanlines(&cinfo_, rowData + cinfo_.next_scanline, height - cinfo_.next_scanline);
        jpeg_finish_compress(&cinfo_);
    });
    return QByteArray(reinterpret_cast<const char*>(buffer_), qsizetype(size_));
}

void JpegWriter::start(const JpegWriteBytes& write, const JpegTargetSettings& settings)
{
    stream_.write = &write;
    stream_.buffer.resize(kStreamBlockBytes);
    stream_.pub.init_destination = startBlock;
    stream_.pub.empty_output_buffer = handOverFullBlock;
    stream_.pub.term_destination = handOverLastBlock;
    cinfo_.client_data = &stream_;
    cinfo_.dest = &stream_.pub;
    runLibjpeg(errors_, [this, &settings] {
        configure(settings.size, 4, kRgb32InputColourSpace, settings.quality, settings.progressive);
        jpeg_start_compress(&cinfo_, TRUE);
        if (!settings.colourProfile.isEmpty())
            jpeg_write_icc_profile(&cinfo_,
                                   reinterpret_cast<const JOCTET*>(settings.colourProfile.constData()),
                                   static_cast<unsigned int>(settings.colourProfile.size()));
    });
}

void JpegWriter::writeRow(const QRgb* pixels)
{
    if (cinfo_.next_scanline >= cinfo_.image_height) throw JpegError(JWRN_TOO_MUCH_DATA);
    JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<QRgb*>(pixels));
    runLibjpeg(errors_, [this, rows = &row] { jpeg_write_scanlines(&cinfo_, rows, 1); });
}

void JpegWriter::finish()
{
    runLibjpeg(errors_, [this] { jpeg_finish_compress(&cinfo_); });
}

void JpegWriter::configure(const QSize& size, int components, J_COLOR_SPACE given, int quality,
                           bool progressive)
{
    cinfo_.image_width = JDIMENSION(size.width());
    cinfo_.image_height = JDIMENSION(size.height());
    cinfo_.input_components = components;
    cinfo_.in_color_space = given;
    jpeg_set_defaults(&cinfo_);
    jpeg_set_quality(&cinfo_, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo_);
}
