// The newer formats at phone and camera sizes: a 12 MP (4032 x 3024) photo-like picture as HEIC,
// AVIF, WebP, JPEG XL and PNG, made by the Debian encoders, and a 24 MP (6000 x 4000) DNG with a
// full-size preview JPEG. For each it prints milliseconds for
//   (a) the library's own full decode of the file in this process (libheif, libjxl and LibRaw's
//       full development through their own calls; Qt's plug-ins for WebP and PNG),
//   (b) a cold step: PictureCache::Load of a file nothing was read ahead for, until the picture
//       fitted into the 1009 x 649 picture box is ready to paint,
//   (c) a warm step: the same after it was read ahead while the user looked at the current one
//       for a second,
// and (d) the resident memory of a fresh process after 5 pictures in the main viewer and 3 full
// screen (1280 x 1024).
// Goals: (b) at most 1.0 x (a), for RAW at most 0.25 x (a); (c) at most 30 ms; (d) at most 250 MB.
// Times are medians over the passes. Usage: bench_formats [passes]

#include "controls/picturebox.h"
#include "formats/jpegcodec.h"
#include "formatsamples.h"
#include "photolikepicture.h"
#include "platform/freedmemory.h"
#include "viewer/picturecache.h"
#include "viewer/picturerequests.h"
#include "viewersteps.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <jxl/decode_cxx.h>
#include <jxl/thread_parallel_runner_cxx.h>
#include <libheif/heif.h>
#include <libraw/libraw.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr int kFiles = 8;

int threads()
{
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

// (a) for each library, as a program that uses it directly would decode the whole picture.
void heifFullDecode(const QByteArray& file)
{
    heif_context* context = heif_context_alloc();
    heif_context_set_max_decoding_threads(context, threads());
    heif_context_read_from_memory_without_copy(context, file.constData(), std::size_t(file.size()), nullptr);
    heif_image_handle* handle = nullptr;
    heif_context_get_primary_image_handle(context, &handle);
    heif_image* image = nullptr;
    heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
    heif_image_release(image);
    heif_image_handle_release(handle);
    heif_context_free(context);
}

void jxlFullDecode(const QByteArray& file)
{
    const auto decoder = JxlDecoderMake(nullptr);
    const auto runner = JxlThreadParallelRunnerMake(nullptr, threads());
    JxlDecoderSetParallelRunner(decoder.get(), JxlThreadParallelRunner, runner.get());
    JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_FULL_IMAGE);
    JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(file.constData()),
                       std::size_t(file.size()));
    JxlDecoderCloseInput(decoder.get());
    const JxlPixelFormat format{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    std::vector<uint8_t> pixels;
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(decoder.get());
        if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
            std::size_t size = 0;
            JxlDecoderImageOutBufferSize(decoder.get(), &format, &size);
            pixels.resize(size);
            JxlDecoderSetImageOutBuffer(decoder.get(), &format, pixels.data(), size);
        } else if (status != JXL_DEC_SUCCESS && status != JXL_DEC_FULL_IMAGE) {
            return;
        } else if (status == JXL_DEC_FULL_IMAGE) {
            return;
        }
    }
}

void qtFullDecode(const QByteArray& file)
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(0);
    reader.read();
}

void rawFullDevelopment(const QByteArray& file)
{
    const auto raw = std::make_unique<LibRaw>();
    raw->imgdata.params.output_bps = 8;
    raw->open_buffer(const_cast<char*>(file.constData()), std::size_t(file.size()));
    raw->unpack();
    raw->dcraw_process();
    LibRaw::dcraw_clear_mem(raw->dcraw_make_mem_image());
}

struct Format {
    const char* name;
    QString extension;
    std::function<QByteArray(const QImage&)> make;
    std::function<void(const QByteArray&)> fullDecode;
    double goal = 1.0;
    double full = 0, cold = 0, warm = 0, resident = 0;
};

QStringList filesIn(const QString& folder)
{
    QStringList paths;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name))
        paths << QDir(folder).filePath(name);
    return paths;
}

} // namespace

int main(int argc, char** argv)
{
    // As the program does at start.
    KeepFreedMemoryForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.value(1) == u"--resident")
        return PrintResidentAfterStepping(filesIn(arguments.value(2)), {"VmRSS"});
    const int passes = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;

    std::printf("making the files (4032 x 3024, the DNG 6000 x 4000) ...\n");
    const QImage phone = PhotoLikePicture(1, 4032, 3024);
    const auto encoded = [](SampleEncoder encoder) {
        return [encoder](const QImage& picture) { return EncodeSample(picture, encoder); };
    };
    Format formats[] = {
        {"HEIC", "heic", encoded(SampleEncoder::Heic), heifFullDecode},
        {"AVIF", "avif", encoded(SampleEncoder::Avif), heifFullDecode},
        {"WebP", "webp", encoded(SampleEncoder::WebP), qtFullDecode},
        {"JPEG XL", "jxl", encoded(SampleEncoder::Jxl), jxlFullDecode},
        {"PNG", "png", encoded(SampleEncoder::Png), qtFullDecode},
        {"RAW (DNG)", "dng",
         [](const QImage&) {
             const QImage camera = PhotoLikePicture(2, 6000, 4000);
             return MakeDng(camera, 1, EncodeJpeg(camera, 90, false));
         },
         rawFullDevelopment, 0.25},
    };
    QTemporaryDir root;
    for (Format& format : formats) {
        const QByteArray file = format.make(phone);
        if (file.isEmpty()) {
            std::fprintf(stderr, "%s: the encoder failed\n", format.name);
            return 1;
        }
        const QString folder = root.filePath(format.extension);
        const QStringList paths = WriteCopies(folder, file, kFiles, format.extension);
        std::vector<double> full;
        for (int pass = 0; pass < passes; ++pass)
            full.push_back(Milliseconds([&] { format.fullDecode(ReadFile(paths[0])); }));
        format.full = Median(full);
        format.cold = ColdStep(paths, 2, passes);
        format.warm = WarmStep(paths);
        format.resident = ResidentOfChild({QStringLiteral("--resident"), folder}, {"VmRSS"})[0];
        std::printf("%-10s done (%.1f MB)\n", format.name, file.size() / 1e6);
    }

    std::printf("\nms (medians), box %d x %d, %d passes, %d threads\n", kMainViewerBox.width(),
                kMainViewerBox.height(), passes, QThread::idealThreadCount());
    std::printf("%-10s %10s %10s %8s %8s %10s %10s\n", "", "(a) full", "(b) cold", "(b)/(a)", "goal",
                "(c) warm", "(d) MB");
    for (const Format& f : formats)
        std::printf("%-10s %10.1f %10.1f %8.2f %8.2f %10.1f %10.0f\n", f.name, f.full, f.cold,
                    f.cold / f.full, f.goal, f.warm, f.resident);
    std::printf("goals: (b)/(a) at most the goal column; (c) at most 30 ms; (d) at most 250 MB\n");
    return 0;
}
