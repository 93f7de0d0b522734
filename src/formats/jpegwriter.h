#pragma once

// One libjpeg compression, of the JPEG codec: a whole picture into memory, or rows one at a time
// through the caller's writer.

#include "formats/jpegcodec.h"
#include "formats/libjpegsession.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <vector>

// Hands libjpeg's output to the caller's writer, a block at a time; found through the
// compressor's client_data.
struct StreamDestination {
    jpeg_destination_mgr pub{};
    const JpegWriteBytes* write = nullptr;
    std::vector<JOCTET> buffer;
};

class JpegWriter {
public:
    JpegWriter();
    ~JpegWriter();
    JpegWriter(const JpegWriter&) = delete;
    JpegWriter& operator=(const JpegWriter&) = delete;

    // Encodes a Format_RGB888 picture whole.
    QByteArray encode(const QImage& rgb888, int quality, bool progressive);

    // Starts a compression whose rows come one at a time. The writer must outlive the JpegWriter.
    void start(const JpegWriteBytes& write, const JpegTargetSettings& settings);
    void writeRow(const QRgb* pixels);
    // Raises libjpeg's error when fewer rows came than the picture has.
    void finish();

private:
    // Only called inside a libjpeg step.
    void configure(const QSize& size, int components, J_COLOR_SPACE given, int quality, bool progressive);

    libjpegsession::ErrorManager errors_;
    jpeg_compress_struct cinfo_{};
    unsigned char* buffer_ = nullptr;
    unsigned long size_ = 0;
    StreamDestination stream_;
};
