#include "littleendian.h"
#include "platform/dibdecoder.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <QtTest>

#include <optional>

namespace {

enum : quint32 { BiRgb = 0, BiRle8 = 1, BiBitfields = 3, BiPng = 5 };

// A BITMAPINFOHEADER; a negative height stores the rows from the top.
QByteArray infoHeader(qint32 width, qint32 height, int bitCount, quint32 compression = BiRgb,
                      quint32 coloursUsed = 0)
{
    return Le32(40) + Le32(quint32(width)) + Le32(quint32(height)) + Le16(1) + Le16(bitCount) +
           Le32(compression) + Le32(0) + Le32(0) + Le32(0) + Le32(coloursUsed) + Le32(0);
}

// Colour table entries as stored: blue, green, red and a reserved byte.
QByteArray entry(QRgb colour)
{
    return QByteArray(1, char(qBlue(colour))) + char(qGreen(colour)) + char(qRed(colour)) + '\0';
}

QImage fromRows(int width, const QList<QRgb>& pixelsTopFirst)
{
    QImage image(width, int(pixelsTopFirst.size()) / width, QImage::Format_RGB32);
    for (int i = 0; i < pixelsTopFirst.size(); ++i)
        image.setPixel(i % width, i / width, pixelsTopFirst[i]);
    return image;
}

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

const QRgb Red = qRgb(255, 0, 0);
const QRgb Green = qRgb(0, 255, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb Black = qRgb(0, 0, 0);

} // namespace

class TestDibDecoder : public QObject {
    Q_OBJECT
private slots:
    void pixelsAreRead_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QByteArray>("bits");
        QTest::addColumn<QImage>("expected");
        QTest::addColumn<bool>("bottomUp");

        QTest::newRow("16 bits, 5-5-5 by default")
            << infoHeader(2, 1, 16) << Le16(0x7C00) + Le16(0x001F) << fromRows(2, {Red, Blue}) << true;
        QTest::newRow("16 bits, 5-6-5 bit fields")
            << infoHeader(2, 1, 16, BiBitfields) + Le32(0xF800) + Le32(0x07E0) + Le32(0x001F)
            << Le16(0x07E0) + Le16(0xF800) << fromRows(2, {Green, Red}) << true;
        QTest::newRow("32 bits, bit fields in another order")
            << infoHeader(1, 1, 32, BiBitfields) + Le32(0x0000FF) + Le32(0x00FF00) + Le32(0xFF0000)
            << QByteArray("\x11\x22\x33\0", 4) << fromRows(1, {qRgb(0x11, 0x22, 0x33)}) << true;
        QTest::newRow("bottom-up rows") << infoHeader(1, 2, 24) << QByteArray("\xFF\0\0\0\0\0\xFF\0", 8)
                                        << fromRows(1, {Red, Blue}) << true;
        QTest::newRow("top-down rows") << infoHeader(1, -2, 24) << QByteArray("\xFF\0\0\0\0\0\xFF\0", 8)
                                       << fromRows(1, {Blue, Red}) << false;
        // Indices past the colours used are black, not whatever follows the table.
        QTest::newRow("8 bits, fewer colours used than the depth has")
            << infoHeader(3, 1, 8, BiRgb, 2) + entry(Green) + entry(Blue) << QByteArray("\x01\x00\x05\0", 4)
            << fromRows(3, {Blue, Green, Black}) << true;
        QTest::newRow("OS/2 core header with 3-byte colours")
            << Le32(12) + Le16(2) + Le16(1) + Le16(1) + Le16(1) + entry(Red).left(3) + entry(Blue).left(3)
            << QByteArray("\x40\0\0\0", 4) << fromRows(2, {Red, Blue}) << true;
        QTest::newRow("embedded PNG") << infoHeader(2, 1, 24, BiPng) << png(fromRows(2, {Green, Red}))
                                      << fromRows(2, {Green, Red}) << false;
        // The usual way to write one: the depth is the embedded file's business.
        QTest::newRow("embedded PNG with a bit count of 0")
            << infoHeader(2, 1, 0, BiPng) << png(fromRows(2, {Red, Blue})) << fromRows(2, {Red, Blue})
            << false;
    }

    void pixelsAreRead()
    {
        QFETCH(QByteArray, info);
        QFETCH(QByteArray, bits);
        QFETCH(QImage, expected);
        QFETCH(bool, bottomUp);
        const std::optional<gdi::Dib> dib = gdi::DecodeDib(info, bits);
        QVERIFY(dib);
        QCOMPARE(dib->image, expected);
        QCOMPARE(dib->bottomUp, bottomUp);
    }

    void packedRowsFollowTheMasksAndTheTable_data()
    {
        QTest::addColumn<QByteArray>("packed");
        QTest::addColumn<QImage>("expected");
        QTest::newRow("colour table of the colours used")
            << infoHeader(2, 1, 4, BiRgb, 3) + entry(Red) + entry(Green) + entry(Blue) +
                   QByteArray("\x21\0\0\0", 4)
            << fromRows(2, {Blue, Green});
        QTest::newRow("masks after the header") << infoHeader(1, 1, 16, BiBitfields) + Le32(0x001F) +
                                                       Le32(0x07E0) + Le32(0xF800) + Le16(0x001F) + Le16(0)
                                                << fromRows(1, {Red});
    }

    void packedRowsFollowTheMasksAndTheTable()
    {
        QFETCH(QByteArray, packed);
        QFETCH(QImage, expected);
        const std::optional<gdi::Dib> dib = gdi::DecodePackedDib(packed);
        QVERIFY(dib);
        QCOMPARE(dib->image, expected);
    }

    void damagedBitmapsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QByteArray>("bits");
        const QByteArray row(4, '\0');
        QTest::newRow("header shorter than it says") << infoHeader(1, 1, 24).left(30) << row;
        QTest::newRow("unknown header size") << Le32(20) + QByteArray(16, '\0') << row;
        QTest::newRow("no width") << infoHeader(0, 1, 24) << row;
        QTest::newRow("no height") << infoHeader(1, 0, 24) << row;
        QTest::newRow("wider than 65536") << infoHeader(65537, 1, 1) << QByteArray(8196, '\0');
        QTest::newRow("more than 2^26 pixels") << infoHeader(8193, -8192, 1) << QByteArray();
        QTest::newRow("more than 32 bits per pixel") << infoHeader(1, 1, 48) << QByteArray(8, '\0');
        QTest::newRow("more than 65536 colours used") << infoHeader(1, 1, 8, BiRgb, 65537) << row;
        QTest::newRow("colour table cut off") << infoHeader(1, 1, 8, BiRgb, 4) + entry(Red) << row;
        QTest::newRow("bit-field masks missing") << infoHeader(1, 1, 16, BiBitfields) << row;
        QTest::newRow("rows missing") << infoHeader(2, 2, 24) << QByteArray(12, '\0');
        QTest::newRow("damaged PNG") << infoHeader(2, 1, 24, BiPng) << QByteArray("\x89PNG\r\n", 6);
    }

    void damagedBitmapsAreRefused()
    {
        QFETCH(QByteArray, info);
        QFETCH(QByteArray, bits);
        QVERIFY(!gdi::DecodeDib(info, bits));
        QVERIFY(!gdi::DecodePackedDib(info + bits));
    }

    void compressionsNotReadGiveANullImage_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::newRow("run-length 8 bits") << infoHeader(1, 1, 8, BiRle8, 1) + entry(Red);
        QTest::newRow("bit fields on 24 bits")
            << infoHeader(1, 1, 24, BiBitfields) + Le32(0xFF0000) + Le32(0xFF00) + Le32(0xFF);
        QTest::newRow("2 bits per pixel") << infoHeader(1, 1, 2, BiRgb, 1) + entry(Red);
    }

    void compressionsNotReadGiveANullImage()
    {
        QFETCH(QByteArray, info);
        const std::optional<gdi::Dib> dib = gdi::DecodeDib(info, QByteArray(4, '\0'));
        QVERIFY(dib);
        QVERIFY(dib->image.isNull());
    }
};

QTEST_MAIN(TestDibDecoder)
#include "tst_dibdecoder.moc"
