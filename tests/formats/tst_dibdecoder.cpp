#include "formats/dibdecoder.h"
#include "gdifiles.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <QtTest>

#include <optional>

using namespace gditest;

namespace {

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
            << DibInfoHeader(2, 1, 16) << Le16(0x7C00) + Le16(0x001F) << fromRows(2, {Red, Blue}) << true;
        QTest::newRow("16 bits, 5-6-5 bit fields")
            << DibInfoHeader(2, 1, 16, BiBitfields) + Le32(0xF800) + Le32(0x07E0) + Le32(0x001F)
            << Le16(0x07E0) + Le16(0xF800) << fromRows(2, {Green, Red}) << true;
        QTest::newRow("32 bits, bit fields in another order")
            << DibInfoHeader(1, 1, 32, BiBitfields) + Le32(0x0000FF) + Le32(0x00FF00) + Le32(0xFF0000)
            << QByteArray("\x11\x22\x33\0", 4) << fromRows(1, {qRgb(0x11, 0x22, 0x33)}) << true;
        QTest::newRow("bottom-up rows") << DibInfoHeader(1, 2, 24) << QByteArray("\xFF\0\0\0\0\0\xFF\0", 8)
                                        << fromRows(1, {Red, Blue}) << true;
        QTest::newRow("top-down rows") << DibInfoHeader(1, -2, 24) << QByteArray("\xFF\0\0\0\0\0\xFF\0", 8)
                                       << fromRows(1, {Blue, Red}) << false;
        // Indices past the colours used are black, not whatever follows the table.
        QTest::newRow("8 bits, fewer colours used than the depth has")
            << DibInfoHeader(3, 1, 8, BiRgb, 2) + DibColourEntry(Green) + DibColourEntry(Blue)
            << QByteArray("\x01\x00\x05\0", 4) << fromRows(3, {Blue, Green, Black}) << true;
        QTest::newRow("OS/2 core header with 3-byte colours")
            << Le32(12) + Le16(2) + Le16(1) + Le16(1) + Le16(1) + DibColourEntry(Red).left(3) +
                   DibColourEntry(Blue).left(3)
            << QByteArray("\x40\0\0\0", 4) << fromRows(2, {Red, Blue}) << true;
        QTest::newRow("embedded PNG") << DibInfoHeader(2, 1, 24, BiPng) << png(fromRows(2, {Green, Red}))
                                      << fromRows(2, {Green, Red}) << false;
        // The usual way to write one: the depth is the embedded file's business.
        QTest::newRow("embedded PNG with a bit count of 0")
            << DibInfoHeader(2, 1, 0, BiPng) << png(fromRows(2, {Red, Blue})) << fromRows(2, {Red, Blue})
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
            << DibInfoHeader(2, 1, 4, BiRgb, 3) + DibColourEntry(Red) + DibColourEntry(Green) +
                   DibColourEntry(Blue) + QByteArray("\x21\0\0\0", 4)
            << fromRows(2, {Blue, Green});
        QTest::newRow("masks after the header") << DibInfoHeader(1, 1, 16, BiBitfields) + Le32(0x001F) +
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
        QTest::newRow("header shorter than it says") << DibInfoHeader(1, 1, 24).left(30) << row;
        QTest::newRow("unknown header size") << Le32(20) + QByteArray(16, '\0') << row;
        QTest::newRow("no width") << DibInfoHeader(0, 1, 24) << row;
        QTest::newRow("no height") << DibInfoHeader(1, 0, 24) << row;
        QTest::newRow("wider than 65536") << DibInfoHeader(65537, 1, 1) << QByteArray(8196, '\0');
        QTest::newRow("more than 2^26 pixels") << DibInfoHeader(8193, -8192, 1) << QByteArray();
        QTest::newRow("more than 32 bits per pixel") << DibInfoHeader(1, 1, 48) << QByteArray(8, '\0');
        QTest::newRow("more than 65536 colours used") << DibInfoHeader(1, 1, 8, BiRgb, 65537) << row;
        QTest::newRow("colour table cut off")
            << DibInfoHeader(1, 1, 8, BiRgb, 4) + DibColourEntry(Red) << row;
        QTest::newRow("bit-field masks missing") << DibInfoHeader(1, 1, 16, BiBitfields) << row;
        QTest::newRow("rows missing") << DibInfoHeader(2, 2, 24) << QByteArray(12, '\0');
        QTest::newRow("damaged PNG") << DibInfoHeader(2, 1, 24, BiPng) << QByteArray("\x89PNG\r\n", 6);
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
        QTest::newRow("run-length 8 bits") << DibInfoHeader(1, 1, 8, BiRle8, 1) + DibColourEntry(Red);
        QTest::newRow("bit fields on 24 bits")
            << DibInfoHeader(1, 1, 24, BiBitfields) + Le32(0xFF0000) + Le32(0xFF00) + Le32(0xFF);
        QTest::newRow("2 bits per pixel") << DibInfoHeader(1, 1, 2, BiRgb, 1) + DibColourEntry(Red);
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
