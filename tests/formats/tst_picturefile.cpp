#include "filebytes.h"
#include "formats/jpegcodec.h"
#include "formats/picturefile.h"
#include "jpegsamples.h"
#include "raisederror.h"
#include "testenvironment.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(PictureFormat)

namespace {

QImage decodeWithQt(const QByteArray& bytes, const char* format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    return reader.read();
}

QByteArray makeIcon(int size, const QColor& colour)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    return EncodeWithQt(image, "ico");
}

// A JPEG with a comment segment, which any re-encoding would drop.
QByteArray jpegWithComment()
{
    const QByteArray comment("Pixly test comment");
    QByteArray segment("\xFF\xFE", 2);
    segment.append(char((comment.size() + 2) >> 8)).append(char((comment.size() + 2) & 0xFF)).append(comment);
    return MakeJpeg(40, 30, QColor(10, 120, 200)).insert(2, segment);
}

// A bitmap whose header claims 65000 x 65000 pixels over a few bytes of data.
QByteArray bitmapClaimingHugeSize()
{
    QByteArray bmp = MakeBmp(4, 4, Qt::green);
    const qint32 side = 65000;
    for (int offset : {18, 22})
        for (int i = 0; i < 4; ++i)
            bmp[offset + i] = char((side >> (8 * i)) & 0xFF);
    return bmp;
}

bool closeTo(QRgb pixel, const QColor& expected)
{
    return std::abs(qRed(pixel) - expected.red()) <= 4 && std::abs(qGreen(pixel) - expected.green()) <= 4 &&
           std::abs(qBlue(pixel) - expected.blue()) <= 4;
}

} // namespace

class TestPictureFile : public QObject {
    Q_OBJECT

private slots:
    void loadsByExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<PictureFormat>("format");
        QTest::addColumn<QSize>("size");
        const QColor colour(200, 60, 30);
        QTest::newRow("jpg") << "photo.jpg" << MakeJpeg(21, 13, colour) << PictureFormat::Jpeg
                             << QSize(21, 13);
        QTest::newRow("JPEG") << "PHOTO.JPEG" << MakeJpeg(8, 9, colour) << PictureFormat::Jpeg << QSize(8, 9);
        QTest::newRow("bmp") << "scan.bmp" << MakeBmp(5, 7, colour) << PictureFormat::Bitmap << QSize(5, 7);
        QTest::newRow("Bmp") << "scan.Bmp" << MakeBmp(3, 2, colour) << PictureFormat::Bitmap << QSize(3, 2);
        QTest::newRow("ico") << "pixly.ico" << makeIcon(32, colour) << PictureFormat::Icon << QSize(32, 32);
        QTest::newRow("several dots")
            << "a.b.photo.jpg" << MakeJpeg(4, 4, colour) << PictureFormat::Jpeg << QSize(4, 4);
    }

    void loadsByExtension()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(PictureFormat, format);
        QFETCH(QSize, size);
        TestEnvironment environment;
        const LoadedPicture picture = LoadPictureFile(environment.writeFile(name, contents));
        QCOMPARE(picture.format, format);
        QCOMPARE(picture.image.size(), size);
        QCOMPARE(picture.data, contents);
        QVERIFY(closeTo(picture.image.pixel(0, 0), QColor(200, 60, 30)));
    }

    void refusesWithMessage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message");
        const QByteArray jpeg = MakeJpeg(16, 16, Qt::red);
        const QByteArray png = EncodeWithQt(QImage(4, 4, QImage::Format_RGB32), "png");
        QTest::newRow("empty JPEG") << "empty.jpg" << QByteArray() << "JPEG error #42";
        QTest::newRow("bitmap named .jpg") << "picture.jpg" << MakeBmp(4, 4, Qt::red) << "JPEG error #53";
        QTest::newRow("JPEG named .bmp") << "photo.bmp" << jpeg << "Bitmap image is not valid";
        QTest::newRow("empty bitmap") << "empty.bmp" << QByteArray() << "Bitmap image is not valid";
        QTest::newRow("bitmap claiming 65000 x 65000")
            << "huge.bmp" << bitmapClaimingHugeSize() << "Bitmap image is not valid";
        QTest::newRow("JPEG named .ico") << "photo.ico" << jpeg << "Icon image is not valid";
        QTest::newRow("psd") << "layers.psd" << QByteArray("8BPS") << "Unknown picture file extension (.psd)";
        QTest::newRow("PSD as written")
            << "LAYERS.PSD" << QByteArray("8BPS") << "Unknown picture file extension (.PSD)";
        QTest::newRow("valid png under .svg") << "shot.svg" << png << "Unknown picture file extension (.svg)";
        QTest::newRow("no extension") << "README" << jpeg << "Unknown picture file extension (.)";
        QTest::newRow("dot only in folder")
            << "album.2024/README" << jpeg << "Unknown picture file extension (.)";
        QTest::newRow("last extension counts")
            << "photo.jpg.bak" << jpeg << "Unknown picture file extension (.bak)";
        QTest::newRow("wmf") << "drawing.wmf" << QByteArray("\xD7\xCD\xC6\x9A", 4)
                             << "Metafile is not valid: the file is too short";
        QTest::newRow("emf") << "drawing.EMF" << QByteArray(44, '\0')
                             << "Enhanced metafile is not valid: the file is too short";
    }

    void refusesWithMessage()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        TestEnvironment environment;
        const QString path = environment.writeFile(name, contents);
        QCOMPARE(RaisedErrorOf([&] { LoadPictureFile(path); }), message);
    }

    void fileThatCannotBeOpened_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("missing file") << false;
        QTest::newRow("folder named like a picture") << true;
    }

    void fileThatCannotBeOpened()
    {
        QFETCH(bool, folder);
        TestEnvironment environment;
        const QString path = folder ? environment.makeFolder(QStringLiteral("album.jpg"))
                                    : QDir::toNativeSeparators(environment.startDir() + "/missing.jpg");
        const QString prefix = QStringLiteral("Cannot open file \"%1\". ").arg(path);
        const QString message = RaisedErrorOf([&] { LoadPictureFile(path); });
        QVERIFY2(message.startsWith(prefix) && message.size() > prefix.size(), qPrintable(message));
    }

    void extensionIsJudgedBeforeOpening()
    {
        TestEnvironment environment;
        const QString path = environment.startDir() + "/missing.psd";
        QCOMPARE(RaisedErrorOf([&] { LoadPictureFile(path); }),
                 QStringLiteral("Unknown picture file extension (.psd)"));
    }

    void savesJpegBytesUnchanged()
    {
        TestEnvironment environment;
        const QByteArray original = jpegWithComment();
        QCOMPARE(PictureBytesToSave(LoadPictureFile(environment.writeFile("photo.jpg", original))), original);
        QVERIFY(PictureBytesToSave(LoadedPicture{}).isEmpty());
    }

    void savesInLoadedFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("readerFormat");
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("bitmap") << "scan.bmp" << MakeBmp(6, 5, QColor(20, 200, 90)) << QByteArray("bmp")
                                << QByteArray("BM");
        QTest::newRow("icon") << "pixly.ico" << makeIcon(16, QColor(20, 200, 90)) << QByteArray("ico")
                              << QByteArray("\0\0\1\0", 4);
    }

    void savesInLoadedFormat()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, readerFormat);
        QFETCH(QByteArray, signature);
        TestEnvironment environment;
        const LoadedPicture picture = LoadPictureFile(environment.writeFile(name, contents));
        const QByteArray written = PictureBytesToSave(picture);
        QVERIFY(written.startsWith(signature));
        const QImage reread = decodeWithQt(written, readerFormat.constData());
        QCOMPARE(reread.size(), picture.image.size());
        QCOMPARE(reread.pixel(2, 3), picture.image.pixel(2, 3));
    }
};

QTEST_GUILESS_MAIN(TestPictureFile)
#include "tst_picturefile.moc"
