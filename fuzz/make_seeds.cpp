// Writes each fuzz target's seed files into <folder>/<reader>/, made by the generators that the
// readers' tests use.

#include "exifsamples.h"
#include "formats/jpegcodec.h"
#include "formatsamples.h"
#include "gdifiles.h"
#include "jpegsamples.h"
#include "jpegsegments.h"
#include "mp3frames.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

using Seeds = QList<QPair<QString, QByteArray>>;
using namespace gditest;

QImage solid(int width, int height, const QColor& colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray windowsFont(const QByteArray& face)
{
    return Le16(-24) + Le16(0) + Le16(0) + Le16(0) + Le16(700) + QByteArray(8, '\0') +
           face.leftJustified(32, '\0');
}

Seeds wmfSeeds()
{
    const QList<QColor> fourColours{Qt::blue, Qt::white, Qt::red, Qt::green};
    const QByteArray fourColourDib = PackedDib24({{Qt::blue, Qt::white}, {Qt::red, Qt::green}});
    const QByteArray text("\x8A\xC8p", 3);
    return {
        {"shapes.wmf",
         WmfSquare()
             .redFill()
             .ellipse(10, 10, 90, 90)
             .add(0x0324, {3, 0, 0, 100, 0, 0, 100})
             .add(0x0538, {2, 4, 4, 0, 0, 100, 0, 100, 100, 0, 100, 40, 40, 60, 40, 60, 60, 40, 60})
             .add(0x081A, {0, 50, 50, 100, 100, 100, 0, 0})
             .add(0x0830, {0, 50, 50, 100, 100, 100, 0, 0})
             .add(0x0817, {0, 50, 50, 100, 100, 100, 0, 0})
             .add(0x061C, {40, 40, 90, 90, 10, 10})
             .add(0x061D, {0x0021, 0x00F0, 50, 50, 0, 0})
             .add(0x041F, {0xFF, 0, 5, 5})
             .bytes()},
        {"lines_and_state.wmf", WmfSquare()
                                    .pen(0, 4, Qt::blue)
                                    .select(0)
                                    .add(0x0325, {2, 0, 10, 100, 10})
                                    .add(0x0214, {80, 50})
                                    .add(0x0213, {80, 100})
                                    .add(0x001E, {})
                                    .add(0x0103, {8})
                                    .window(0, 0, 1000, 1000)
                                    .add(0x020E, {50, 50})
                                    .add(0x0410, {1, 2, 1, 2})
                                    .add(0x0416, {80, 80, 20, 20})
                                    .add(0x0415, {60, 60, 40, 40})
                                    .add(0x0104, {7})
                                    .rectangle(0, 0, 60, 100)
                                    .add(0x0127, {-1})
                                    .remove(0)
                                    .bytes()},
        {"objects.wmf", WmfSquare()
                            .pen(5, 0, Qt::black)
                            .select(0)
                            .brush(0, Qt::red)
                            .brush(2, Qt::blue, 3)
                            .remove(1)
                            .brush(0, Qt::green)
                            .select(1)
                            .raw(0x0142, Le16(5) + Le16(0) + fourColourDib)
                            .select(2)
                            .rectangle(0, 0, 50, 100)
                            .bytes()},
        {"text.wmf", Wmf()
                         .placeable(0, 0, 200, 200, 96)
                         .window(0, 0, 200, 200)
                         .raw(0x02FB, windowsFont("Arial"))
                         .add(0x012D, {0})
                         .add(0x0209, {0x00FF, 0})
                         .add(0x0102, {1})
                         .add(0x012E, {24})
                         .raw(0x0521, Le16(text.size()) + text + '\0' + Le16(100) + Le16(100))
                         .add(0x0201, {0xFFFF, 0})
                         .raw(0x0A32, Le16(10) + Le16(10) + Le16(2) + Le16(2) + Le16(0) + Le16(0) +
                                          Le16(100) + Le16(50) + QByteArray("ab") + Le16(10) + Le16(10))
                         .bytes()},
        {"bitmaps.wmf",
         WmfSquare()
             .stretchDib(fourColourDib)
             .stretchDib(PackedDib24({{Qt::blue, Qt::white}, {Qt::red, Qt::green}}, true), 1)
             .stretchDib(PackedDib(8, fourColours, QByteArray("\x02\x03\0\0\x00\x01\0\0", 8)))
             .stretchDib(PackedDib(4, fourColours, QByteArray("\x23\0\0\0\x01\0\0\0", 8)))
             .stretchDib(PackedDib(1, {Qt::red, Qt::white}, QByteArray("\x40\0\0\0\x80\0\0\0", 8)))
             .stretchDib(PackedDib(32, {}, QByteArray(16, '\x7F')))
             .raw(0x0B41, Le32(0x00CC0020) + Le16(2) + Le16(2) + Le16(0) + Le16(0) + Le16(100) + Le16(100) +
                              Le16(0) + Le16(0) + fourColourDib)
             .raw(0x0940, Le32(0x00CC0020) + Le16(0) + Le16(0) + Le16(2) + Le16(2) + Le16(0) + Le16(0) +
                              fourColourDib)
             .bytes()},
        {"window_only.wmf",
         Wmf().window(1000, 2000, 200, 100).redFill().rectangle(1100, 2050, 1200, 2100).bytes()},
    };
}

Seeds emfSeeds()
{
    const QByteArray scaleByHalf("\0\0\0\x3f\0\0\0\0\0\0\0\0\0\0\0\x3f\0\0\0\0\0\0\0\0", 24);
    return {
        {"shapes.emf",
         Emf()
             .redFill()
             .add(42, {8, 8, 88, 88})
             .select(EmfBlackBrush)
             .rectangle(0, 0, 48, 96)
             .add(86, Dwords({0, 0, 0, 0, 3}) + Le16(0) + Le16(0) + Le16(96) + Le16(0) + Le16(0) + Le16(96))
             .bytes()},
        {"mapping.emf", Emf()
                            .redFill()
                            .add(17, {8})
                            .add(9, {1000, 1000})
                            .add(11, {96, 96})
                            .add(35, scaleByHalf)
                            .add(33, {})
                            .select(EmfBlackBrush)
                            .add(34, {-1})
                            .add(40, {1})
                            .rectangle(500, 500, 1000, 1000)
                            .bytes()},
        {"path_and_pen.emf", Emf()
                                 .redFill()
                                 .add(59, {})
                                 .add(27, {0, 0})
                                 .add(54, {96, 0})
                                 .add(54, {0, 96})
                                 .add(61, {})
                                 .add(60, {})
                                 .add(62, {0, 0, 0, 0})
                                 .add(38, {1, 0, 6, 0, ColourRef(Qt::blue)})
                                 .select(1)
                                 .add(27, {0, 48})
                                 .add(54, {96, 48})
                                 .bytes()},
        {"bitmap.emf", Emf().add(81, EmfStretchDiBits(DibInfoHeader(2, 2, 24), FourColourDibBits())).bytes()},
        {"text.emf", Emf()
                         .add(18, {1})
                         .add(25, {ColourRef(Qt::yellow)})
                         .add(84, EmfExtTextOut(QStringLiteral("Ábč")))
                         .bytes()},
        {"wide_frame.emf", Emf(2000000000, 1000).bytes()},
    };
}

Seeds dibSeeds()
{
    const QRgb red = qRgb(255, 0, 0);
    const QRgb green = qRgb(0, 255, 0);
    const QRgb blue = qRgb(0, 0, 255);
    return {
        {"16_bits.dib", DibInfoHeader(2, 1, 16) + Le16(0x7C00) + Le16(0x001F)},
        {"16_bits_565.dib", DibInfoHeader(2, 1, 16, BiBitfields) + Le32(0xF800) + Le32(0x07E0) +
                                Le32(0x001F) + Le32(0x07E0F800)},
        {"32_bits_fields.dib",
         DibInfoHeader(1, 1, 32, BiBitfields) + Le32(0xFF) + Le32(0xFF00) + Le32(0xFF0000) + Le32(0x332211)},
        {"top_down.dib", DibInfoHeader(1, -2, 24) + QByteArray("\xFF\0\0\0\0\0\xFF\0", 8)},
        {"8_bits.dib", DibInfoHeader(3, 1, 8, BiRgb, 2) + DibColourEntry(green) + DibColourEntry(blue) +
                           QByteArray("\x01\x00\x05\0", 4)},
        {"4_bits.dib", DibInfoHeader(2, 1, 4, BiRgb, 3) + DibColourEntry(red) + DibColourEntry(green) +
                           DibColourEntry(blue) + QByteArray("\x21\0\0\0", 4)},
        {"os2_core.dib", Le32(12) + Le16(2) + Le16(1) + Le16(1) + Le16(1) + DibColourEntry(red).left(3) +
                             DibColourEntry(blue).left(3) + QByteArray("\x40\0\0\0", 4)},
        {"png.dib", DibInfoHeader(2, 1, 0, BiPng) + EncodeWithQt(solid(2, 1, Qt::red), "png")},
        {"file.bmp", EncodeWithQt(solid(5, 3, Qt::green), "bmp")},
    };
}

Seeds iconSeeds()
{
    QFile assetIcon(QStringLiteral(PIXLY_ASSETS "/pixly.ico"));
    return {
        {"pixly.ico", assetIcon.open(QIODevice::ReadOnly) ? assetIcon.readAll() : QByteArray()},
        {"16.ico", EncodeWithQt(solid(16, 16, Qt::red), "ico")},
        {"48.ico", EncodeWithQt(NoisyImage(48, 48), "ico")},
    };
}

Seeds jpegSeeds()
{
    const QByteArray baseline = EncodeJpeg(NoisyImage(40, 24), 90, false);
    const QByteArray progressive = EncodeJpeg(NoisyImage(40, 24), 90, true);
    const std::vector<JSAMPLE> ink{255, 127, 0, 191};
    return {
        {"baseline.jpg", baseline},
        {"progressive.jpg", progressive},
        {"cut.jpg", baseline.left(baseline.size() / 2)},
        {"too_big.jpg", WithClaimedJpegSize(baseline, 65000, 65000)},
        {"too_big_progressive.jpg", WithClaimedJpegSize(progressive, 65000, 4130)},
        {"grey.jpg", EncodeSolidJpeg(8, 8, {128}, JCS_GRAYSCALE, JCS_GRAYSCALE, false, false)},
        {"rgb.jpg", EncodeSolidJpeg(8, 8, {30, 160, 220}, JCS_RGB, JCS_RGB, true, false)},
        {"cmyk.jpg", EncodeSolidJpeg(8, 8, ink, JCS_CMYK, JCS_CMYK, true, false)},
        {"ycck.jpg", EncodeSolidJpeg(8, 8, ink, JCS_CMYK, JCS_YCCK, true, false)},
        {"progressive_cmyk.jpg", EncodeSolidJpeg(8, 8, ink, JCS_CMYK, JCS_CMYK, true, true)},
    };
}

// Phone photos in every orientation, in both byte orders.
Seeds orientationSeeds()
{
    const QByteArray baseline = EncodeJpeg(NoisyImage(16, 8), 90, false);
    Seeds seeds;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        seeds.push_back(
            {QStringLiteral("motorola_%1.jpg").arg(orientation), WithExifOrientation(baseline, orientation)});
        seeds.push_back({QStringLiteral("intel_%1.jpg").arg(orientation),
                         WithExifOrientation(baseline, orientation, false)});
    }
    return seeds;
}

Seeds mp3Seeds()
{
    using namespace mp3test;
    const QByteArray cbr = Frames(Mpeg1Stereo128, 417, 4);
    return {
        {"constant.mp3", cbr},
        {"tags.mp3", Id3v2Tag(30) + cbr + "TAG" + QByteArray(125, ' ')},
        {"junk_first.mp3", QByteArray(100, '\x11') + cbr},
        {"xing.mp3", CountingFrame(Mpeg1Stereo128, 417, 36, "Xing", 500) + Frames(Mpeg1Stereo128, 417, 1)},
        {"info_mono.mp3", CountingFrame(Mpeg1Mono128, 417, 21, "Info", 200) + Frames(Mpeg1Mono128, 417, 1)},
        {"vbri.mp3", CountingFrame(Mpeg1Stereo128, 417, 36, "VBRI", 1000) + Frames(Mpeg1Stereo128, 417, 1)},
        {"mpeg2_xing.mp3",
         CountingFrame(Mpeg2Stereo64, 208, 21, "Xing", 300) + Frames(Mpeg2Stereo64, 208, 1)},
        {"mpeg2.mp3", Frames(Mpeg2Stereo64, 208, 4)},
    };
}

Seeds m3uSeeds()
{
    const QList<QByteArray> lines{"#EXTM3U",
                                  "#EXTINF:1,a",
                                  "/etc/hostname",
                                  "#EXTINF:1,relative",
                                  "input.m3u",
                                  "#EXTINF:1,b",
                                  " /etc/hostname",
                                  "#EXTINF:1,drive",
                                  "\\etc\\hosts",
                                  "#EXTINF:1,c",
                                  ""};
    return {
        {"lf.m3u", lines.join('\n')},
        {"crlf.m3u", lines.join("\r\n") + "\r\n"},
        {"cr.m3u", lines.join('\r')},
    };
}

Seeds favouritesSeeds()
{
    QByteArray numbered;
    for (int line = 0; line < 105; ++line)
        numbered += "E" + QByteArray::number(line) + ";/p\r\n";
    return {
        {"plain.dat", "Foto;/home/a;b;c\r\nA;\r\nB;/b\r\n;/c\r\nD;/d\r\n"},
        {"first_without_separator.dat", "/home/x\nB;/b\nC;/c"},
        {"windows_1250.dat", "\x8A"
                             "umava \xE8"
                             "esk\xE1;/foto/\x9Eluv\xEC\r\nA;/x\x81\x98\r\n"},
        {"utf8.dat",
         QByteArray("\xEF\xBB\xBF") + QStringLiteral("Кино;/home/кино\r\nA;/x").toUtf8() + "\xFF\r\n"},
        {"numbered.dat", numbered},
    };
}

Seeds versionSeeds()
{
    return {
        {"crlf.dat", "2\r\n3\r\nx\r\n1. 3. 2007\r\nnext\r\n"},
        {"lf.dat", "2\n3\nx\n1. b\xF8"
                   "ezna"},
        {"three_lines.dat", "3\r\n0\r\nx\r\n"},
    };
}

// The files of the newer formats that the tests make, small.
struct FormatFiles {
    QImage picture = NoisyImage(32, 16);
    QByteArray exif = OrientedCameraExif(6);
    QByteArray heic = EncodeSample(picture, SampleEncoder::Heic, exif);
    QByteArray avif = EncodeSample(picture, SampleEncoder::Avif);
    QByteArray turnedHeic = TransformedHeic(picture, 6, exif);
    QByteArray webp = EncodeSample(picture, SampleEncoder::WebP, exif);
    QByteArray plainWebp = EncodeSample(picture, SampleEncoder::WebP);
    QByteArray png = EncodeSample(picture, SampleEncoder::Png, exif);
    QByteArray gif = EncodeSample(picture, SampleEncoder::Gif);
    QByteArray tiff = EncodeSample(picture, SampleEncoder::Tiff, exif);
    QByteArray jxl = EncodeSample(picture, SampleEncoder::Jxl, exif);
    QByteArray pixelJxl = EncodeSample(picture, SampleEncoder::Jxl);
    QByteArray dng = MakeDng(picture, 6, JpegWithExif(picture, {}));
    QByteArray bareDng = MakeDng(picture, 1);
};

Seeds containerSeeds(const FormatFiles& f)
{
    return {{"exif.heic", f.heic}, {"turned.heic", f.turnedHeic}, {"exif.webp", f.webp},
            {"exif.png", f.png},   {"exif.tif", f.tiff},          {"preview.dng", f.dng}};
}

Seeds detectionSeeds(const FormatFiles& f)
{
    Seeds seeds;
    for (const auto& [name, file] : containerSeeds(f) + Seeds{{"a.gif", f.gif}, {"a.jxl", f.pixelJxl}})
        seeds.append({name, file.left(64)});
    return seeds;
}

bool writeSeeds(const QDir& folder, const QString& reader, const Seeds& seeds)
{
    const QDir target(folder.filePath(reader));
    if (!target.mkpath(QStringLiteral("."))) return false;
    for (const auto& [name, contents] : seeds) {
        QFile file(target.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return false;
        }
    }
    return true;
}

// The seeds of a target whose first bytes choose how it reads the rest.
Seeds withControlBytes(Seeds seeds, const QByteArray& control)
{
    for (auto& seed : seeds)
        seed.second.prepend(control);
    return seeds;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QList<QPair<QString, Seeds>> readers{
        {"exifreader", exiftest::SeedFiles()},
        {"exiforientation", orientationSeeds()},
        {"wmfrenderer", wmfSeeds()},
        {"emfrenderer", emfSeeds()},
        {"dibdecoder", dibSeeds()},
        {"iconloader", iconSeeds()},
        {"jpegdecoder", jpegSeeds()},
        {"mp3length", mp3Seeds()},
        {"m3uplaylist", m3uSeeds()},
        {"favouritesfile", favouritesSeeds()},
        {"versionfile", versionSeeds()},
        {"shownpicture", withControlBytes(jpegSeeds(), QByteArray("\x03\x80", 2))},
        {"resample", withControlBytes(jpegSeeds(), QByteArray("\x31\x01", 2))},
    };
    const FormatFiles f;
    const QList<QPair<QString, Seeds>> newerReaders{
        {"formatdetection", detectionSeeds(f)},
        {"containerexif", containerSeeds(f)},
        {"heifdecoder", {{"a.heic", f.heic}, {"a.avif", f.avif}, {"turned.heic", f.turnedHeic}}},
        {"jxldecoder", {{"from_jpeg.jxl", f.jxl}, {"pixels.jxl", f.pixelJxl}}},
        {"rawdecoder", {{"preview.dng", f.dng}, {"developed.dng", f.bareDng}}},
        {"qtpicturereader", {{"a.png", f.png}, {"a.gif", f.gif}, {"a.webp", f.webp}, {"a.tif", f.tiff}}},
        {"webpdecoder", {{"exif.webp", f.webp}, {"plain.webp", f.plainWebp}}},
    };
    for (const auto& [reader, seeds] : newerReaders) {
        for (const auto& [name, contents] : seeds)
            if (contents.isEmpty()) {
                std::fprintf(stderr, "cannot make the seed %s of %s\n", qPrintable(name), qPrintable(reader));
                return 1;
            }
        if (!writeSeeds(folder, reader, seeds)) return 1;
    }
    for (const auto& [reader, seeds] : readers) {
        if (!writeSeeds(folder, reader, seeds)) return 1;
    }
    return 0;
}
