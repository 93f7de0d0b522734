#include "formats/jpegcodec.h"
#include "jpegsamples.h"
#include "jpegsegments.h"
#include "platform/pixlyerror.h"
#include "testenvironment.h"

#include <QBuffer>
#include <QColor>
#include <QImageReader>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

std::optional<JpegError> decodeError(const QByteArray& data)
{
    try {
        DecodeJpeg(data);
    } catch (const JpegError& error) {
        return error;
    }
    return std::nullopt;
}

int largestChannelDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

bool closeTo(QRgb pixel, const QColor& expected, int tolerance)
{
    return std::abs(qRed(pixel) - expected.red()) <= tolerance &&
           std::abs(qGreen(pixel) - expected.green()) <= tolerance &&
           std::abs(qBlue(pixel) - expected.blue()) <= tolerance;
}

QImage decodeWithQt(const QByteArray& jpeg)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "jpeg").read();
}

} // namespace

class TestJpegCodec : public QObject {
    Q_OBJECT

private slots:
    void emptyDataIsError42()
    {
        const std::optional<JpegError> error = decodeError(QByteArray());
        QVERIFY(error.has_value());
        QCOMPARE(error->code(), 42);
        QCOMPARE(error->message(), QStringLiteral("JPEG error #42"));
    }

    void damagedDataIsRefused_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("code");
        QByteArray random(2000, Qt::Uninitialized);
        QRandomGenerator generator(3);
        for (char& byte : random)
            byte = char(generator.bounded(256));
        random[0] = 'x'; // never a start-of-image marker by chance
        const QByteArray jpeg = MakeJpeg(32, 32, Qt::red);
        QTest::newRow("random bytes") << random << int(JERR_NO_SOI);
        QTest::newRow("bitmap data") << MakeBmp(8, 8, Qt::red) << int(JERR_NO_SOI);
        QTest::newRow("start marker only") << jpeg.left(2) << int(JERR_NO_IMAGE);
        QTest::newRow("cut before the frame header")
            << jpeg.left(JpegFrameHeaderOffset(jpeg)) << int(JERR_NO_IMAGE);
    }

    void damagedDataIsRefused()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, code);
        const std::optional<JpegError> error = decodeError(data);
        QVERIFY(error.has_value());
        QCOMPARE(error->code(), code);
        QCOMPARE(error->message(), QStringLiteral("JPEG error #%1").arg(code));
    }

    void truncatedScanKeepsDecodedRows()
    {
        const QByteArray complete = EncodeJpeg(NoisyImage(256, 256), 90, false);
        const QImage whole = DecodeJpeg(complete).image;
        const QImage cut = DecodeJpeg(complete.left(complete.size() / 2)).image;
        QCOMPARE(cut.size(), QSize(256, 256));
        QCOMPARE(cut.copy(0, 0, 256, 64), whole.copy(0, 0, 256, 64));
        QVERIFY(cut.copy(0, 192, 256, 64) != whole.copy(0, 192, 256, 64));
    }

    void absurdDimensionsAreRefused_data()
    {
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("baseline 65000 x 65000") << false << 65000 << 65000;
        QTest::newRow("progressive 65000 x 65000") << true << 65000 << 65000;
        QTest::newRow("just over the limit") << false << 65000 << 4130;
    }

    void absurdDimensionsAreRefused()
    {
        QFETCH(bool, progressive);
        QFETCH(int, width);
        QFETCH(int, height);
        const QByteArray small = EncodeJpeg(NoisyImage(16, 16), 90, progressive);
        const QByteArray claimed = WithClaimedJpegSize(small, width, height);
        QCOMPARE(ReadJpegSize(claimed), QSize(width, height));
        const std::optional<JpegError> error = decodeError(claimed);
        QVERIFY(error.has_value());
        QCOMPARE(error->code(), int(JERR_IMAGE_TOO_BIG));
        QCOMPARE(error->message(), QStringLiteral("JPEG error #%1: picture too large (%2 x %3 pixels)")
                                       .arg(int(JERR_IMAGE_TOO_BIG))
                                       .arg(width)
                                       .arg(height));
    }

    void progressiveWorkingMemoryIsCapped()
    {
        // Below the pixel limit, but full-resolution colour keeps 1.5 GB of coefficients.
        const QByteArray small = EncodeSolidJpeg(16, 16, {200, 100, 50}, JCS_RGB, JCS_YCbCr, false, true);
        const std::optional<JpegError> error = decodeError(WithClaimedJpegSize(small, 16000, 16000));
        QVERIFY(error.has_value());
        QCOMPARE(error->code(), int(JERR_NO_BACKING_STORE));
    }

    void coloursAreDecoded_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<int>("components");
        QTest::addColumn<QColor>("expected");
        // Ink C 0, M 128, Y 255, K 64 on paper is red 191, green 95, blue 0.
        const std::vector<JSAMPLE> ink{0, 128, 255, 64};
        const std::vector<JSAMPLE> invertedInk{255, 127, 0, 191};
        const QColor inkColour(191, 95, 0);
        QTest::newRow("grey-scale") << EncodeSolidJpeg(24, 16, {128}, JCS_GRAYSCALE, JCS_GRAYSCALE, false,
                                                       false)
                                    << 1 << QColor(128, 128, 128);
        QTest::newRow("YCbCr") << MakeJpeg(24, 16, QColor(200, 40, 90)) << 3 << QColor(200, 40, 90);
        QTest::newRow("RGB") << EncodeSolidJpeg(24, 16, {30, 160, 220}, JCS_RGB, JCS_RGB, true, false) << 3
                             << QColor(30, 160, 220);
        QTest::newRow("Adobe CMYK, inverted")
            << EncodeSolidJpeg(24, 16, invertedInk, JCS_CMYK, JCS_CMYK, true, false) << 4 << inkColour;
        QTest::newRow("Adobe YCCK, inverted")
            << EncodeSolidJpeg(24, 16, invertedInk, JCS_CMYK, JCS_YCCK, true, false) << 4 << inkColour;
        QTest::newRow("plain CMYK") << EncodeSolidJpeg(24, 16, ink, JCS_CMYK, JCS_CMYK, false, false) << 4
                                    << inkColour;
        QTest::newRow("progressive CMYK")
            << EncodeSolidJpeg(24, 16, invertedInk, JCS_CMYK, JCS_CMYK, true, true) << 4 << inkColour;
    }

    void coloursAreDecoded()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(int, components);
        QFETCH(QColor, expected);
        QCOMPARE(JpegComponentCount(jpeg), components);
        const QImage image = DecodeJpeg(jpeg).image;
        QCOMPARE(image.size(), QSize(24, 16));
        QCOMPARE(image.format(), QImage::Format_RGB32);
        for (const QPoint& point : {QPoint(0, 0), QPoint(23, 15), QPoint(11, 8)})
            QVERIFY2(closeTo(image.pixel(point), expected, 4),
                     qPrintable(QColor(image.pixel(point)).name() + " instead of " + expected.name()));
        QCOMPARE(qAlpha(image.pixel(5, 5)), 255);
    }

    void scanStructureRoundTrips_data()
    {
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<int>("frameMarker");
        QTest::newRow("baseline") << false << 0xC0;
        QTest::newRow("progressive") << true << 0xC2;
    }

    void scanStructureRoundTrips()
    {
        QFETCH(bool, progressive);
        QFETCH(int, frameMarker);
        const QImage source = NoisyImage(64, 48);
        const QByteArray jpeg = EncodeJpeg(source, 90, progressive);
        QCOMPARE(JpegFrameMarker(jpeg), frameMarker);
        const DecodedJpeg decoded = DecodeJpeg(jpeg);
        QCOMPARE(decoded.multipleScans, progressive);
        QCOMPARE(decoded.image.size(), source.size());
        const QImage qts = decodeWithQt(jpeg);
        QCOMPARE(qts.size(), source.size());
        QVERIFY(largestChannelDifference(decoded.image, qts) <= 2);
        QVERIFY(largestChannelDifference(decoded.image, source) <= 60);
    }

    void encodedFileIsPlainColourJpeg_data()
    {
        QTest::addColumn<QImage>("source");
        QImage grey(20, 10, QImage::Format_Grayscale8);
        grey.fill(90);
        QImage withText = NoisyImage(20, 10);
        withText.setText(QStringLiteral("Description"), QStringLiteral("holiday"));
        QTest::newRow("grey-scale source") << grey;
        QTest::newRow("source with text") << withText;
        QTest::newRow("indexed source") << NoisyImage(20, 10).convertToFormat(QImage::Format_Indexed8);
    }

    void encodedFileIsPlainColourJpeg()
    {
        QFETCH(QImage, source);
        const QByteArray jpeg = EncodeJpeg(source, 90, false);
        QCOMPARE(JpegComponentCount(jpeg), 3);
        for (const JpegSegment& segment : JpegHeaderSegments(jpeg)) {
            const bool application = segment.marker >= 0xE0 && segment.marker <= 0xEF;
            QVERIFY2((application && segment.marker == 0xE0) || (!application && segment.marker != 0xFE),
                     qPrintable(QString::number(segment.marker, 16)));
        }
        const QImage decoded = DecodeJpeg(jpeg).image;
        QCOMPARE(decoded.size(), source.size());
        QVERIFY(largestChannelDifference(decoded, source.convertToFormat(QImage::Format_RGB32)) <= 60);
    }

    void qualityControlsCompression()
    {
        const QImage source = NoisyImage(96, 96);
        QVERIFY(EncodeJpeg(source, 95, false).size() > EncodeJpeg(source, 20, false).size());
    }

    void emptyPictureCannotBeEncoded()
    {
        try {
            EncodeJpeg(QImage(), 90, false);
            QFAIL("an empty picture was encoded");
        } catch (const JpegError& error) {
            QCOMPARE(error.code(), int(JERR_EMPTY_IMAGE));
        }
    }

    void transcodeHandsOverTheDecodedRows_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("phase");
        // Chroma stored at half resolution is upsampled from neighbouring rows, which rows passed
        // over must still provide.
        const QByteArray baseline = EncodeJpeg(NoisyImage(101, 77), 90, false);
        const QByteArray progressive = EncodeJpeg(NoisyImage(101, 77), 90, true);
        const QByteArray cmyk = EncodeSolidJpeg(24, 40, {255, 127, 0, 191}, JCS_CMYK, JCS_CMYK, true, false);
        QTest::newRow("every row") << baseline << 1 << 0;
        QTest::newRow("even rows") << baseline << 2 << 0;
        QTest::newRow("odd rows") << baseline << 2 << 1;
        QTest::newRow("every third row") << baseline << 3 << 2;
        QTest::newRow("every twentieth row") << baseline << 20 << 7;
        QTest::newRow("progressive, even rows") << progressive << 2 << 0;
        QTest::newRow("progressive, every seventh row") << progressive << 7 << 3;
        QTest::newRow("progressive, every twentieth row") << progressive << 20 << 19;
        QTest::newRow("CMYK, every third row") << cmyk << 3 << 1;
    }

    void transcodeHandsOverTheDecodedRows()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(int, period);
        QFETCH(int, phase);
        const QImage whole = DecodeJpeg(jpeg).image;
        const auto needed = [&](int row) { return row % period == phase; };
        int neededRows = 0;
        for (int y = 0; y < whole.height(); ++y)
            neededRows += needed(y) ? 1 : 0;

        QBuffer source;
        source.setData(jpeg);
        source.open(QIODevice::ReadOnly);
        QByteArray written;
        QList<int> rowsTaken;
        int differingRows = 0;
        TranscodeJpeg(
            [&](char* buffer, qsizetype capacity) { return qsizetype(source.read(buffer, capacity)); },
            [&](const char* data, qsizetype size) { written.append(data, size); },
            [&](const JpegSourceFacts& facts) {
                return JpegTargetSettings{QSize(facts.size.width(), neededRows), 90, false};
            },
            needed,
            [&](int row, const QRgb* pixels, const JpegWriteRow& writeRow) {
                rowsTaken << row;
                const auto* expected = reinterpret_cast<const QRgb*>(whole.constScanLine(row));
                if (!std::equal(pixels, pixels + whole.width(), expected)) ++differingRows;
                writeRow(pixels);
            });
        QCOMPARE(int(rowsTaken.size()), neededRows);
        QVERIFY(std::all_of(rowsTaken.begin(), rowsTaken.end(), needed));
        QVERIFY(std::is_sorted(rowsTaken.begin(), rowsTaken.end()));
        QCOMPARE(differingRows, 0);
        QCOMPARE(DecodeJpeg(written).image.size(), QSize(whole.width(), neededRows));
    }

    void sizeComesFromHeader()
    {
        QCOMPARE(ReadJpegSize(MakeJpeg(33, 17, Qt::blue)), QSize(33, 17));
        QVERIFY_THROWS_EXCEPTION(JpegError, ReadJpegSize(QByteArray()));
    }
};

QTEST_GUILESS_MAIN(TestJpegCodec)
#include "tst_jpegcodec.moc"
