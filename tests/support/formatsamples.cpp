#include "formatsamples.h"

#include "exifsamples.h"
#include "formats/jpegcodec.h"

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <libheif/heif.h>

#include <array>
#include <cmath>
#include <cstring>

namespace {

using namespace exiftest;

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct Command {
    QString program;
    QStringList arguments; // "IN" and "OUT" stand for the files
    QString extension;
};

Command CommandFor(SampleEncoder encoder)
{
    switch (encoder) {
    case SampleEncoder::Heic: return {"heif-enc", {"-q", "90", "IN", "-o", "OUT"}, "heic"};
    case SampleEncoder::Avif: return {"heif-enc", {"-A", "-q", "90", "IN", "-o", "OUT"}, "avif"};
    case SampleEncoder::WebP:
        return {"cwebp", {"-quiet", "-q", "90", "-metadata", "exif,icc", "IN", "-o", "OUT"}, "webp"};
    case SampleEncoder::Jxl: return {"cjxl", {"IN", "OUT"}, "jxl"};
    case SampleEncoder::Png: return {"convert", {"IN", "OUT"}, "png"};
    case SampleEncoder::Gif: return {"convert", {"IN", "OUT"}, "gif"};
    case SampleEncoder::Tiff: return {"convert", {"IN", "OUT"}, "tif"};
    }
    return {};
}

constexpr uint16_t NewSubFileType = 0x00FE;
constexpr uint16_t ImageLength = 0x0101;
constexpr uint16_t BitsPerSample = 0x0102;
constexpr uint16_t Photometric = 0x0106;
constexpr uint16_t StripOffsets = 0x0111;
constexpr uint16_t SamplesPerPixel = 0x0115;
constexpr uint16_t RowsPerStrip = 0x0116;
constexpr uint16_t StripByteCounts = 0x0117;
constexpr uint16_t PlanarConfiguration = 0x011C;
constexpr uint16_t SubIfds = 0x014A;
constexpr uint16_t CfaRepeatPatternDim = 0x828D;
constexpr uint16_t CfaPattern = 0x828E;
constexpr uint16_t DngVersion = 0xC612;
constexpr uint16_t UniqueCameraModel = 0xC614;
constexpr uint16_t WhiteLevel = 0xC61D;
constexpr uint16_t ColorMatrix1 = 0xC621;
constexpr uint16_t AsShotNeutral = 0xC628;
constexpr uint16_t CalibrationIlluminant1 = 0xC65A;

constexpr int RawWhite = 4095;

// The sensor's value of each sRGB level: linear light.
const std::array<int, 256>& Linear()
{
    static const std::array<int, 256> values = [] {
        std::array<int, 256> linear{};
        for (int level = 0; level < 256; ++level) {
            const double v = level / 255.0;
            linear[level] =
                int(std::lround((v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4)) * RawWhite));
        }
        return linear;
    }();
    return values;
}

QByteArray CfaData(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QByteArray data(qsizetype(rgb.width()) * rgb.height() * 2, Qt::Uninitialized);
    char* out = data.data();
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const int level = (y % 2 == 0) ? (x % 2 == 0 ? qRed(row[x]) : qGreen(row[x]))
                                           : (x % 2 == 0 ? qGreen(row[x]) : qBlue(row[x]));
            const int value = Linear()[std::size_t(level)];
            *out++ = char(value & 0xFF);
            *out++ = char(value >> 8);
        }
    }
    return data;
}

// The DNG's IFDs, its data placed at the given offsets after them.
QByteArray DngStructure(const QImage& picture, int orientation, const QByteArray& preview, quint32 rawOffset,
                        quint32 previewOffset)
{
    TiffBuilder tiff(LittleEndian);
    const int ifd0 = tiff.AddIfd();
    const int exif = tiff.AddIfd();
    const int previewIfd = preview.isEmpty() ? -1 : tiff.AddIfd();
    const QSize previewSize = preview.isEmpty() ? QSize() : ReadJpegSize(preview);
    const qint64 width = picture.width(), height = picture.height();
    tiff.Add(ifd0, NewSubFileType, Long, {0})
        .Add(ifd0, tag::ImageWidth, Long, {width})
        .Add(ifd0, ImageLength, Long, {height})
        .Add(ifd0, BitsPerSample, Short, {16})
        .Add(ifd0, tag::Compression, Short, {1})
        .Add(ifd0, Photometric, Short, {32803})
        .AddAscii(ifd0, tag::Make, QByteArray("Pixly", 6))
        .AddAscii(ifd0, tag::Model, QByteArray("Camera X100", 12))
        .Add(ifd0, StripOffsets, Long, {rawOffset})
        .Add(ifd0, tag::Orientation, Short, {orientation})
        .Add(ifd0, SamplesPerPixel, Short, {1})
        .Add(ifd0, RowsPerStrip, Long, {height})
        .Add(ifd0, StripByteCounts, Long, {width * height * 2})
        .Add(ifd0, PlanarConfiguration, Short, {1});
    if (previewIfd >= 0) tiff.AddPointer(ifd0, SubIfds, previewIfd);
    tiff.Add(ifd0, CfaRepeatPatternDim, Short, {2, 2})
        .Add(ifd0, CfaPattern, Byte, {0, 1, 1, 2})
        .AddPointer(ifd0, tag::ExifPointer, exif)
        .Add(ifd0, DngVersion, Byte, {1, 4, 0, 0})
        .AddAscii(ifd0, UniqueCameraModel, QByteArray("Pixly Camera X100", 18))
        .Add(ifd0, WhiteLevel, Short, {RawWhite})
        // XYZ to linear sRGB, so that the camera's values are linear sRGB.
        .Add(ifd0, ColorMatrix1, SRational,
             {32406, 10000, -15372, 10000, -4986, 10000, -9689, 10000, 18758, 10000, 415, 10000, 557, 10000,
              -2040, 10000, 10570, 10000})
        .Add(ifd0, AsShotNeutral, Rational, {1, 1, 1, 1, 1, 1})
        .Add(ifd0, CalibrationIlluminant1, Short, {21});
    tiff.Add(exif, tag::ExposureTime, Rational, {1, 250})
        .Add(exif, tag::FNumber, Rational, {28, 10})
        .AddAscii(exif, tag::DateTimeOriginal, QByteArray("2023:05:01 12:34:56", 20));
    if (previewIfd >= 0)
        tiff.Add(previewIfd, NewSubFileType, Long, {1})
            .Add(previewIfd, tag::ImageWidth, Long, {previewSize.width()})
            .Add(previewIfd, ImageLength, Long, {previewSize.height()})
            .Add(previewIfd, BitsPerSample, Short, {8, 8, 8})
            .Add(previewIfd, tag::Compression, Short, {7})
            .Add(previewIfd, Photometric, Short, {6})
            .Add(previewIfd, StripOffsets, Long, {previewOffset})
            .Add(previewIfd, SamplesPerPixel, Short, {3})
            .Add(previewIfd, RowsPerStrip, Long, {previewSize.height()})
            .Add(previewIfd, StripByteCounts, Long, {preview.size()})
            .Add(previewIfd, PlanarConfiguration, Short, {1});
    return tiff.Build();
}

struct HeifWriter {
    static heif_error Write(heif_context*, const void* data, size_t size, void* target)
    {
        static_cast<QByteArray*>(target)->append(static_cast<const char*>(data), qsizetype(size));
        return {heif_error_Ok, heif_suberror_Unspecified, ""};
    }
};

} // namespace

QByteArray JpegWithExif(const QImage& picture, const QByteArray& exifTiff)
{
    const QByteArray jpeg = EncodeJpeg(picture, 95, false);
    if (exifTiff.isEmpty()) return jpeg;
    const QByteArray data = QByteArray("Exif\0\0", 6) + exifTiff;
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char((data.size() + 2) >> 8)).append(char((data.size() + 2) & 0xFF)).append(data);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

QByteArray OrientedCameraExif(int orientation)
{
    TiffBuilder tiff(BigEndian);
    const int ifd0 = tiff.AddIfd();
    const int exif = tiff.AddIfd();
    tiff.AddAscii(ifd0, tag::Make, QByteArray("Pixly", 6))
        .AddAscii(ifd0, tag::Model, QByteArray("Camera X100", 12))
        .Add(ifd0, tag::Orientation, Short, {orientation})
        .AddAscii(ifd0, tag::DateTime, QByteArray("2023:05:01 12:34:56", 20))
        .AddPointer(ifd0, tag::ExifPointer, exif);
    tiff.Add(exif, tag::ExposureTime, Rational, {1, 250})
        .Add(exif, tag::FNumber, Rational, {28, 10})
        .AddAscii(exif, tag::DateTimeOriginal, QByteArray("2023:05:01 12:34:56", 20));
    return tiff.Build();
}

QByteArray EncodeSample(const QImage& picture, SampleEncoder encoder, const QByteArray& exifTiff,
                        const QByteArray& iccProfile)
{
    QTemporaryDir folder;
    const Command command = CommandFor(encoder);
    const bool withExif = !exifTiff.isEmpty();
    const QString input = folder.filePath(withExif ? "in.jpg" : "in.png");
    const QString output = folder.filePath("out." + command.extension);
    QImage tagged = picture;
    if (!iccProfile.isEmpty()) tagged.setColorSpace(QColorSpace::fromIccProfile(iccProfile));
    if (!(withExif ? WriteFile(input, JpegWithExif(picture, exifTiff)) : tagged.save(input, "PNG")))
        return {};
    QStringList arguments = command.arguments;
    arguments.replaceInStrings(QStringLiteral("IN"), input);
    arguments.replaceInStrings(QStringLiteral("OUT"), output);
    QProcess process;
    process.start(command.program, arguments);
    // The encoders of HEIC and AVIF take a long while for a camera-size picture on a busy machine.
    const int megapixels = int(qint64(picture.width()) * picture.height() / 1000000);
    if (!process.waitForFinished(60000 + 60000 * megapixels) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return ReadFile(output);
}

QByteArray TransformedHeic(const QImage& picture, int orientation, const QByteArray& exifTiff)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 90);
    heif_image* image = nullptr;
    heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), std::size_t(rgb.width()) * 3);
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation(orientation);
    heif_image_handle* handle = nullptr;
    heif_context_encode_image(context, image, encoder, options, &handle);
    // libheif writes the offset before the TIFF header itself.
    if (!exifTiff.isEmpty())
        heif_context_add_exif_metadata(context, handle, exifTiff.constData(), int(exifTiff.size()));
    QByteArray file;
    heif_writer writer{1, HeifWriter::Write};
    heif_context_write(context, &writer, &file);
    heif_image_handle_release(handle);
    heif_encoding_options_free(options);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return file;
}

QByteArray MakeDng(const QImage& picture, int orientation, const QByteArray& previewJpeg)
{
    const QByteArray placed = DngStructure(picture, orientation, previewJpeg, 0, 0);
    const auto rawOffset = quint32(placed.size());
    const QByteArray raw = CfaData(picture);
    const QByteArray structure =
        DngStructure(picture, orientation, previewJpeg, rawOffset, rawOffset + quint32(raw.size()));
    return structure + raw + previewJpeg;
}
