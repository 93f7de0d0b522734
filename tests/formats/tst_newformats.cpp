// The formats read by their contents: HEIC, AVIF, WebP, PNG, GIF, TIFF, JPEG XL and camera RAW,
// made at test time by the Debian encoders (and a DNG by the tests' own writer).

#include "exif/exifreader.h"
#include "exifsamples.h"
#include "formats/formatdetection.h"
#include "formats/picturefile.h"
#include "formats/screenpicture.h"
#include "formatsamples.h"
#include "raisederror.h"
#include "testenvironment.h"

#include <QDir>
#include <QMap>
#include <QStandardPaths>
#include <QTest>

namespace {

const QSize Box(1009, 649);

// 128 x 64, red with a blue square in its top left corner, so that every turn shows.
QImage Stored()
{
    QImage picture(128, 64, QImage::Format_RGB32);
    picture.fill(QColor(220, 30, 30));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            picture.setPixel(x, y, qRgb(30, 30, 220));
    return picture;
}

enum class Corner { TopLeft, TopRight, BottomRight, BottomLeft };

bool IsBlue(const QColor& colour)
{
    return colour.blue() > 150 && colour.red() < 100;
}

// Only the given corner of the picture is blue.
bool BlueOnlyAt(const QImage& picture, Corner corner)
{
    const int right = picture.width() * 7 / 8, bottom = picture.height() * 7 / 8;
    const int left = picture.width() / 8, top = picture.height() / 8;
    const QList<QPoint> corners{{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    for (int i = 0; i < corners.size(); ++i)
        if (IsBlue(picture.pixelColor(corners[i])) != (i == int(corner))) return false;
    return true;
}

// Each file is made once per run; the encoders take a moment.
QByteArray Sample(const QString& key, const std::function<QByteArray()>& make)
{
    static QMap<QString, QByteArray> made;
    if (!made.contains(key)) made.insert(key, make());
    return made[key];
}

QByteArray Encoded(SampleEncoder encoder, int orientation)
{
    return Sample(QStringLiteral("%1/%2").arg(int(encoder)).arg(orientation), [=] {
        return EncodeSample(Stored(), encoder, orientation ? OrientedCameraExif(orientation) : QByteArray());
    });
}

QByteArray Dng(int orientation, bool withPreview)
{
    return Sample(QStringLiteral("dng/%1/%2").arg(orientation).arg(withPreview), [=] {
        return MakeDng(Stored(), orientation, withPreview ? JpegWithExif(Stored(), {}) : QByteArray());
    });
}

QByteArray TurnedHeic(int orientation)
{
    return Sample(QStringLiteral("irot/%1").arg(orientation),
                  [=] { return TransformedHeic(Stored(), orientation, OrientedCameraExif(orientation)); });
}

struct Stop {};

quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

// A PNG whose header claims the size; its pixel data is a few bytes.
QByteArray PngClaiming(quint32 width, quint32 height)
{
    QByteArray header("IHDR");
    for (quint32 value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.append(char(value >> shift));
    header.append(QByteArray("\x08\x02\0\0\0", 5));
    const quint32 crc = Crc32(header);
    QByteArray chunk("\0\0\0\x0D", 4);
    chunk += header;
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk.append(char(crc >> shift));
    const QByteArray png = Encoded(SampleEncoder::Png, 0);
    return png.left(8) + chunk + png.mid(33);
}

// A TIFF whose directory claims the size, over one byte of pixels.
QByteArray TiffClaiming(qint64 width, qint64 height)
{
    using namespace exiftest;
    TiffBuilder tiff(LittleEndian);
    const int ifd0 = tiff.AddIfd();
    tiff.Add(ifd0, tag::ImageWidth, Long, {width})
        .Add(ifd0, 0x0101, Long, {height})
        .Add(ifd0, 0x0102, Short, {8})
        .Add(ifd0, tag::Compression, Short, {1})
        .Add(ifd0, 0x0106, Short, {1})
        .Add(ifd0, 0x0111, Long, {8})
        .Add(ifd0, 0x0116, Long, {height})
        .Add(ifd0, 0x0117, Long, {1});
    return tiff.Build();
}

} // namespace

Q_DECLARE_METATYPE(Corner)
Q_DECLARE_METATYPE(PictureFormat)

class TestNewFormats : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char* encoder : {"heif-enc", "cwebp", "cjxl", "convert"})
            QVERIFY2(!QStandardPaths::findExecutable(encoder).isEmpty(),
                     qPrintable(QStringLiteral("%1 is missing: run scripts/install-deps.sh").arg(encoder)));
    }

    void decoderFollowsTheContents_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<PictureFormat>("decoded");
        const QByteArray tiff("II*\0\x08\0\0\0\0\0", 10);
        QTest::newRow("JPEG saved as .heic") << "heic" << MakeJpeg(8, 8, Qt::red) << PictureFormat::Jpeg;
        QTest::newRow("PNG saved as .webp")
            << "webp" << QByteArray("\x89PNG\r\n\x1A\n....") << PictureFormat::Png;
        QTest::newRow("GIF") << "png" << QByteArray("GIF87a...") << PictureFormat::Gif;
        QTest::newRow("WebP") << "gif" << QByteArray("RIFF\0\0\0\0WEBPVP8 ", 16) << PictureFormat::WebP;
        QTest::newRow("TIFF") << "tif" << tiff << PictureFormat::Tiff;
        QTest::newRow("TIFF named as a RAW file") << "NEF" << tiff << PictureFormat::Raw;
        QTest::newRow("DNG named as TIFF") << "tiff" << Dng(1, false) << PictureFormat::Raw;
        QTest::newRow("CR2") << "tif" << QByteArray("II*\0\x10\0\0\0CR\x02\0", 13) << PictureFormat::Raw;
        QTest::newRow("Olympus") << "jpeg2" << QByteArray("IIRO\x08\0\0\0", 8) << PictureFormat::Raw;
        QTest::newRow("Panasonic") << "rw2" << QByteArray("IIU\0\x08\0\0\0", 8) << PictureFormat::Raw;
        QTest::newRow("Fujifilm") << "raf" << QByteArray("FUJIFILMCCD-RAW 0201") << PictureFormat::Raw;
        QTest::newRow("CR3") << "cr3"
                             << QByteArray("\0\0\0\x18"
                                           "ftypcrx \0\0\0\x01"
                                           "crx isom",
                                           24)
                             << PictureFormat::Raw;
        QTest::newRow("iPhone") << "heic"
                                << QByteArray("\0\0\0\x18"
                                              "ftypheic\0\0\0\0"
                                              "mif1heic",
                                              24)
                                << PictureFormat::Heif;
        QTest::newRow("AVIF") << "jpg2"
                              << QByteArray("\0\0\0\x14"
                                            "ftypavif\0\0\0\0"
                                            "mif1",
                                            20)
                              << PictureFormat::Heif;
        QTest::newRow("video under .heic") << "heic"
                                           << QByteArray("\0\0\0\x14"
                                                         "ftypmp42\0\0\0\0"
                                                         "isom",
                                                         20)
                                           << PictureFormat::Heif;
        QTest::newRow("JPEG XL codestream")
            << "png" << QByteArray("\xFF\x0A\xFA", 3) << PictureFormat::JpegXl;
        QTest::newRow("JPEG XL container")
            << "avif" << QByteArray("\0\0\0\x0CJXL \r\n\x87\n", 12) << PictureFormat::JpegXl;
        QTest::newRow("unknown contents") << "png" << QByteArray("hello") << PictureFormat::Png;
    }

    void decoderFollowsTheContents()
    {
        QFETCH(QString, extension);
        QFETCH(QByteArray, contents);
        QFETCH(PictureFormat, decoded);
        const std::optional<PictureFormat> named = FormatNamedBy(extension);
        QCOMPARE(FormatToDecode(named.value_or(PictureFormat::Heif), contents), decoded);
    }

    void showsUprightOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("upright");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<Corner>("blue");
        const QSize wide(128, 64), tall(64, 128);
        const auto add = [&](const char* row, const QString& name, const QByteArray& file, QSize turned,
                             Corner corner, QSize stored = QSize(128, 64)) {
            QTest::newRow(qPrintable(QStringLiteral("%1, upright").arg(row)))
                << name << file << true << turned << corner;
            QTest::newRow(qPrintable(QStringLiteral("%1, as stored").arg(row)))
                << name << file << false << stored << Corner::TopLeft;
        };
        add("HEIC turned by EXIF", "a.heic", Encoded(SampleEncoder::Heic, 6), tall, Corner::TopRight);
        add("HEIC rotated, EXIF not again", "a.heic", TurnedHeic(6), tall, Corner::TopRight);
        add("HEIC mirrored", "a.HEIF", TurnedHeic(2), wide, Corner::TopRight);
        add("AVIF", "a.avif", Encoded(SampleEncoder::Avif, 3), wide, Corner::BottomRight);
        add("WebP", "a.webp", Encoded(SampleEncoder::WebP, 8), tall, Corner::BottomLeft);
        add("PNG", "a.png", Encoded(SampleEncoder::Png, 6), tall, Corner::TopRight);
        add("TIFF", "a.tif", Encoded(SampleEncoder::Tiff, 6), tall, Corner::TopRight);
        add("JPEG XL by its header", "a.jxl", Encoded(SampleEncoder::Jxl, 6), tall, Corner::TopRight);
        add("GIF", "a.gif", Encoded(SampleEncoder::Gif, 0), wide, Corner::TopLeft);
        add("DNG preview", "a.dng", Dng(6, true), tall, Corner::TopRight);
        add("DNG developed at half size", "a.dng", Dng(3, false), QSize(64, 32), Corner::BottomRight,
            QSize(64, 32));
    }

    void showsUprightOnce()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(bool, upright);
        QFETCH(QSize, shown);
        QFETCH(Corner, blue);
        QVERIFY(!file.isEmpty());
        TestEnvironment environment;
        const ShownPicture picture =
            ReadShownPicture(environment.writeFile(name, file), PictureShape(Box, upright));
        QCOMPARE(picture.fitted.size(), shown);
        QVERIFY(BlueOnlyAt(picture.fitted, blue));
        // Saved as the file's own bytes; a RAW file's are read again then.
        QCOMPARE(PictureToSave(picture.picture).data, file);
    }

    // WebP is decoded by libwebp's scaling straight to the fitted size, a RAW preview by DCT scaling
    // to the smallest eighth that still covers it: neither makes the full-size picture.
    void decodesNoLargerThanTheBoxAsks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("decoded");
        const QImage large = Stored().scaled(512, 256);
        QTest::newRow("WebP") << "a.webp" << EncodeSample(large, SampleEncoder::WebP) << QSize(100, 50);
        QTest::newRow("DNG preview") << "a.dng" << MakeDng(large, 1, JpegWithExif(large, {}))
                                     << QSize(128, 64);
    }

    void decodesNoLargerThanTheBoxAsks()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QSize, decoded);
        TestEnvironment environment;
        PictureReading reading;
        reading.atLeast = [](const QSize& shown) { return shown.scaled(100, 100, Qt::KeepAspectRatio); };
        const LoadedPicture picture = LoadPictureFile(environment.writeFile(name, file), reading);
        QCOMPARE(picture.image.size(), decoded);
        QCOMPARE(picture.fullSize, QSize(512, 256));
    }

    void exifLinesAsForJpeg_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("HEIC") << "a.heic" << Encoded(SampleEncoder::Heic, 6);
        QTest::newRow("HEIC written by libheif") << "a.heic" << TurnedHeic(6);
        QTest::newRow("AVIF") << "a.avif" << Encoded(SampleEncoder::Avif, 6);
        QTest::newRow("WebP") << "a.webp" << Encoded(SampleEncoder::WebP, 6);
        QTest::newRow("PNG") << "a.png" << Encoded(SampleEncoder::Png, 6);
        QTest::newRow("JPEG XL") << "a.jxl" << Encoded(SampleEncoder::Jxl, 6);
    }

    void exifLinesAsForJpeg()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        TestEnvironment environment;
        QStringList expected, lines;
        ReadExif(environment.writeFile("source.jpg", JpegWithExif(Stored(), OrientedCameraExif(6))),
                 expected);
        ReadExif(environment.writeFile(name, file), lines);
        QCOMPARE(lines, expected);
    }

    // A TIFF or RAW file is its own EXIF block: IFD0 describes its pictures as well.
    void exifLinesOfTiffAndRaw_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("among");
        QTest::newRow("TIFF") << "a.tiff" << Encoded(SampleEncoder::Tiff, 6)
                              << QStringList{"ImageWidth=128", "Orientation=6"};
        QTest::newRow("DNG") << "a.DNG" << Dng(6, true)
                             << QStringList{"Make=Pixly", "Model=Camera X100", "Orientation=6",
                                            "ExposureTime=1/250", "DateTimeOriginal=2023:05:01 12:34:56"};
    }

    void exifLinesOfTiffAndRaw()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, among);
        TestEnvironment environment;
        QStringList lines;
        ReadExif(environment.writeFile(name, file), lines);
        for (const QString& line : among)
            QVERIFY2(lines.contains(line), qPrintable(lines.join(u'\n')));
    }

    void damagedFileIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        // Damage inside the data shows in every format that checks its data; a GIF has nothing to
        // check its pixels by, so only a cut-off one is refused.
        const auto add = [](const char* format, const QString& name, const QByteArray& whole,
                            bool checked = true) {
            QTest::newRow(qPrintable(QStringLiteral("%1 cut short").arg(format)))
                << name << whole.left(whole.size() / 2);
            QByteArray damaged = whole;
            for (qsizetype i = 40; i < damaged.size(); i += 7)
                damaged[i] = char(0xA5);
            if (checked)
                QTest::newRow(qPrintable(QStringLiteral("%1 damaged").arg(format))) << name << damaged;
        };
        add("HEIC", "a.heic", Encoded(SampleEncoder::Heic, 0));
        add("AVIF", "a.avif", Encoded(SampleEncoder::Avif, 0));
        add("WebP", "a.webp", Encoded(SampleEncoder::WebP, 0));
        add("PNG", "a.png", Encoded(SampleEncoder::Png, 0));
        add("GIF", "a.gif", Encoded(SampleEncoder::Gif, 0), false);
        add("TIFF", "a.tif", Encoded(SampleEncoder::Tiff, 0));
        add("JPEG XL", "a.jxl", Encoded(SampleEncoder::Jxl, 0));
        add("DNG", "a.dng", Dng(1, false));
        QTest::newRow("nothing of the format") << "a.cr2" << QByteArray("no camera wrote this");
    }

    void damagedFileIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        TestEnvironment environment;
        const QString path = environment.writeFile(name, file);
        QCOMPARE(RaisedErrorOf([&] { ReadShownPicture(path, PictureShape(Box, true)); }),
                 QStringLiteral("Obrázek nelze zobrazit, soubor je poškozený nebo neúplný:\r") +
                     QDir::toNativeSeparators(path));
    }

    void pictureTooLargeIsRefusedBeforeItsMemoryIsTaken_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("decompression bomb PNG") << "bomb.png" << PngClaiming(60000, 60000);
        QTest::newRow("60000 x 60000 TIFF") << "scan.tif" << TiffClaiming(60000, 60000);
        // A logical screen that Qt's reader would make whole, around a frame of one pixel.
        QTest::newRow("GIF of 24 bytes")
            << "tiny.gif"
            << QByteArray("GIF89a\x60\xEA\x60\xEA\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x01\x44\0;", 28);
    }

    void pictureTooLargeIsRefusedBeforeItsMemoryIsTaken()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        TestEnvironment environment;
        const QString path = environment.writeFile(name, file);
        QCOMPARE(RaisedErrorOf([&] { LoadPictureFile(path); }),
                 QStringLiteral("Obrázek nelze zobrazit, je příliš velký (60000 × 60000 pixelů):\r") +
                     QDir::toNativeSeparators(path));
    }

    void readAheadCanAbandonEveryFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("HEIC") << "a.heic" << Encoded(SampleEncoder::Heic, 0);
        QTest::newRow("WebP") << "a.webp" << Encoded(SampleEncoder::WebP, 0);
        QTest::newRow("PNG") << "a.png" << Encoded(SampleEncoder::Png, 0);
        QTest::newRow("JPEG XL") << "a.jxl" << Encoded(SampleEncoder::Jxl, 0);
        QTest::newRow("DNG") << "a.dng" << Dng(1, false);
    }

    // The first checkpoint already says stop: its exception, not a failure of the decoder, comes out.
    void readAheadCanAbandonEveryFormat()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        TestEnvironment environment;
        const QString path = environment.writeFile(name, file);
        QVERIFY_THROWS_EXCEPTION(Stop, ReadShownPicture(path, PictureShape(Box, true), [] { throw Stop{}; }));
    }
};

QTEST_MAIN(TestNewFormats)
#include "tst_newformats.moc"
