#include "colourprofiles.h"
#include "formats/colourprofile.h"
#include "formats/matrixshaper.h"
#include "formats/screenpicture.h"
#include "formats/zoomedpart.h"
#include "formatsamples.h"
#include "testenvironment.h"

#include <QBuffer>
#include <QColorSpace>
#include <QTest>

namespace {

const QSize kBox(200, 150);
const QColor kStored(200, 60, 30);
const QColor kSwapped(30, 200, 60);
// A colour as a camera set to Adobe RGB stores it, and the same colour in sRGB.
const QColor kAdobeStored(150, 100, 50);
const QColor kAdobeInSrgb(167, 100, 42);

QImage Solid(const QColor& colour)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray PngWithProfile(const QColor& colour, const QByteArray& profile)
{
    QImage image = Solid(colour);
    image.setColorSpace(QColorSpace::fromIccProfile(profile));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The profile with its tag table and tags overwritten.
QByteArray Damaged(QByteArray profile)
{
    for (qsizetype i = 128; i < profile.size(); ++i)
        profile[i] = 'x';
    return profile;
}

cmsHPROFILE Open(const QByteArray& icc)
{
    return icc.isEmpty() ? cmsCreate_sRGBProfile()
                         : cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size()));
}

bool Near(const QColor& shown, const QColor& expected, int steps = 6)
{
    return std::abs(shown.red() - expected.red()) <= steps &&
           std::abs(shown.green() - expected.green()) <= steps &&
           std::abs(shown.blue() - expected.blue()) <= steps;
}

} // namespace

class TestColourManagement : public QObject {
    Q_OBJECT
private slots:
    void picturesShowInTheScreensColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("managed");
        QTest::addColumn<bool>("zoomed");
        QTest::addColumn<QColor>("shown");
        const QByteArray swappedJpeg =
            WithIccProfile(MakeJpeg(64, 48, kStored), ChannelSwappingProfile(), 200);
        const QByteArray adobeJpeg =
            JpegWithExif(Solid(kAdobeStored), CameraColourSpaceExif(0xFFFF, QByteArray("R03", 4)));
        QTest::newRow("JPEG, profile in segments") << "a.jpg" << swappedJpeg << true << false << kSwapped;
        QTest::newRow("JPEG, management off") << "a.jpg" << swappedJpeg << false << false << kStored;
        QTest::newRow("JPEG, 100 % part") << "a.jpg" << swappedJpeg << true << true << kSwapped;
        QTest::newRow("PNG") << "a.png" << PngWithProfile(kStored, ChannelSwappingProfile()) << true << false
                             << kSwapped;
        QTest::newRow("PNG read whole for 100 %")
            << "a.png" << PngWithProfile(kStored, ChannelSwappingProfile()) << true << true << kSwapped;
        for (const auto& [name, encoder] :
             {std::pair("a.webp", SampleEncoder::WebP), std::pair("a.heic", SampleEncoder::Heic),
              std::pair("a.jxl", SampleEncoder::Jxl)})
            QTest::newRow(name) << name << EncodeSample(Solid(kStored), encoder, {}, ChannelSwappingProfile())
                                << true << false << kSwapped;
        QTest::newRow("damaged profile: sRGB")
            << "a.jpg" << WithIccProfile(MakeJpeg(64, 48, kStored), Damaged(ChannelSwappingProfile())) << true
            << false << kStored;
        QTest::newRow("Adobe RGB by EXIF") << "a.jpg" << adobeJpeg << true << false << kAdobeInSrgb;
        QTest::newRow("Adobe RGB by EXIF, management off")
            << "a.jpg" << adobeJpeg << false << false << kAdobeStored;
        QTest::newRow("EXIF says sRGB")
            << "a.jpg" << JpegWithExif(Solid(kAdobeStored), CameraColourSpaceExif(1, QByteArray("R98", 4)))
            << true << false << kAdobeStored;
        QTest::newRow("uncalibrated without R03")
            << "a.jpg"
            << JpegWithExif(Solid(kAdobeStored), CameraColourSpaceExif(0xFFFF, QByteArray("THM", 4))) << true
            << false << kAdobeStored;
    }
    void picturesShowInTheScreensColours()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(bool, managed);
        QFETCH(bool, zoomed);
        QFETCH(QColor, shown);
        TestEnvironment environment;
        const QString path = environment.writeFile(name, file);
        const PictureShape shape(kBox, false, zoomed ? ZoomState{1, {0.5, 0.5}} : ZoomState{},
                                 ShownColours{managed, {}});
        const QImage picture = (zoomed ? ReadZoomedPart(path, shape) : ReadShownPicture(path, shape)).fitted;
        const QColor centre = picture.pixelColor(picture.width() / 2, picture.height() / 2);
        QVERIFY2(Near(centre, shown), qPrintable(centre.name()));
    }

    // The tables that convert between matrix profiles give LittleCMS's own colours.
    void tablesGiveLittleCmsColours_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("Display P3 to sRGB") << DisplayP3Profile() << QByteArray();
        QTest::newRow("Adobe RGB to sRGB") << AdobeRgbProfile() << QByteArray();
        QTest::newRow("sRGB to Display P3") << QByteArray() << DisplayP3Profile();
        QTest::newRow("swapped to Adobe RGB") << ChannelSwappingProfile() << AdobeRgbProfile();
    }
    void tablesGiveLittleCmsColours()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, target);
        cmsHPROFILE from = Open(source);
        cmsHPROFILE to = Open(target);
        const auto tables = MatrixShaperConversion::Between(from, to);
        cmsHTRANSFORM transform =
            cmsCreateTransform(from, TYPE_BGRA_8, to, TYPE_BGRA_8, INTENT_PERCEPTUAL, 0);
        QVERIFY(tables && transform);
        std::vector<QRgb> colours;
        for (int r = 0; r < 256; r += 5)
            for (int g = 0; g < 256; g += 5)
                for (int b = 0; b < 256; b += 5)
                    colours.push_back(qRgb(r, g, b));
        std::vector<QRgb> byTables = colours;
        tables->Convert(byTables.data(), qsizetype(byTables.size()));
        cmsDoTransform(transform, colours.data(), colours.data(), cmsUInt32Number(colours.size()));
        for (std::size_t i = 0; i < colours.size(); ++i)
            QVERIFY2(Near(QColor(byTables[i]), QColor(colours[i]), 1),
                     qPrintable(QColor(byTables[i]).name() + " " + QColor(colours[i]).name()));
        cmsDeleteTransform(transform);
        cmsCloseProfile(from);
        cmsCloseProfile(to);
    }

    // On a screen of its own profile a picture in that profile needs no conversion, and one in
    // sRGB is converted to it.
    void screenProfileIsTheTarget()
    {
        TestEnvironment environment;
        const QString swapped = environment.writeFile(
            "a.jpg", WithIccProfile(MakeJpeg(64, 48, kStored), ChannelSwappingProfile()));
        const QString plain = environment.writeFile("b.jpg", MakeJpeg(64, 48, kSwapped));
        const PictureShape shape(kBox, false, {}, ShownColours{true, ChannelSwappingProfile()});
        QVERIFY(Near(ReadShownPicture(swapped, shape).fitted.pixelColor(32, 24), kStored));
        QVERIFY(Near(ReadShownPicture(plain, shape).fitted.pixelColor(32, 24), kStored));
    }
};

QTEST_MAIN(TestColourManagement)
#include "tst_colourmanagement.moc"
