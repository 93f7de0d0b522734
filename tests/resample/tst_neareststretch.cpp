#include "resample/neareststretch.h"

#include <QImage>
#include <QTest>

#include <cmath>
#include <vector>

namespace {

// Every pixel tells where it came from.
QImage coordinatePicture(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x & 255, y & 255, (x >> 8) | (y >> 8) << 4));
    return image;
}

// The reference: target pixel i covers the source from i * source / target on, and takes the
// source pixel in which that edge lies.
int referenceIndex(int targetIndex, int sourceLength, int targetLength)
{
    return int(std::floor(double(targetIndex) * double(sourceLength) / double(targetLength)));
}

struct Stretched {
    QImage picture;
    std::vector<int> sourceRowAtWrite; // the source row being taken when each target row came
    bool complete = false;
};

Stretched stretchRowByRow(const QImage& source, const QSize& target)
{
    NearestStretch stretch(source.size(), target);
    Stretched result{QImage(target, QImage::Format_RGB32), {}, false};
    int written = 0;
    for (int y = 0; y < source.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        stretch.TakeRow(y, row, [&](const QRgb* pixels) {
            QVERIFY(written < target.height());
            std::copy(pixels, pixels + target.width(),
                      reinterpret_cast<QRgb*>(result.picture.scanLine(written)));
            result.sourceRowAtWrite.push_back(y);
            ++written;
        });
    }
    result.complete = stretch.Complete() && written == target.height();
    return result;
}

} // namespace

class TestNearestStretch : public QObject {
    Q_OBJECT
private slots:
    void pixelMappingMatchesTheReference_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("target");
        QTest::newRow("halving") << QSize(12, 8) << QSize(6, 4);
        QTest::newRow("odd halving 1023 -> 512") << QSize(1023, 3) << QSize(512, 2);
        QTest::newRow("33 % of 1000") << QSize(1000, 7) << QSize(330, 2);
        QTest::newRow("doubling") << QSize(5, 3) << QSize(10, 6);
        QTest::newRow("uneven enlargement") << QSize(3, 7) << QSize(7, 9);
        QTest::newRow("same size") << QSize(9, 4) << QSize(9, 4);
        QTest::newRow("to one pixel") << QSize(9, 4) << QSize(1, 1);
        QTest::newRow("from one pixel") << QSize(1, 1) << QSize(4, 3);
        QTest::newRow("wide, beyond 8 bits") << QSize(700, 300) << QSize(301, 299);
    }

    void pixelMappingMatchesTheReference()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, target);
        const QImage original = coordinatePicture(source);
        const Stretched result = stretchRowByRow(original, target);
        QVERIFY(result.complete);
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x) {
                const int sx = referenceIndex(x, source.width(), target.width());
                const int sy = referenceIndex(y, source.height(), target.height());
                QVERIFY2(
                    result.picture.pixel(x, y) == original.pixel(sx, sy),
                    qPrintable(
                        QStringLiteral("target %1,%2 should be source %3,%4").arg(x).arg(y).arg(sx).arg(sy)));
            }
    }

    void halvingKeepsTheEvenRowsAndColumns()
    {
        QCOMPARE(NearestStretch::SourceIndex(0, 6000, 3000), 0);
        QCOMPARE(NearestStretch::SourceIndex(1, 6000, 3000), 2);
        QCOMPARE(NearestStretch::SourceIndex(2999, 6000, 3000), 5998);
        QCOMPARE(NearestStretch::SourceIndex(511, 1023, 512), 1021);
    }

    void largestSidesStayExact()
    {
        // Products beyond 32 bits must not wrap.
        QCOMPARE(NearestStretch::SourceIndex(65499, 65500, 65500), 65499);
        QCOMPARE(NearestStretch::SourceIndex(131000 - 1, 65500, 131000), 65499);
    }

    void rowsAreWrittenAsSoonAsTheirSourceRowArrives()
    {
        const Stretched doubled = stretchRowByRow(coordinatePicture({4, 3}), {8, 6});
        QCOMPARE(doubled.sourceRowAtWrite, (std::vector<int>{0, 0, 1, 1, 2, 2}));
        const Stretched halved = stretchRowByRow(coordinatePicture({4, 6}), {2, 3});
        QCOMPARE(halved.sourceRowAtWrite, (std::vector<int>{0, 2, 4}));
    }

    void incompleteUntilTheLastRow()
    {
        NearestStretch stretch({2, 4}, {2, 2});
        const std::vector<QRgb> row(2, qRgb(1, 2, 3));
        int written = 0;
        const auto count = [&](const QRgb*) { ++written; };
        stretch.TakeRow(0, row.data(), count);
        stretch.TakeRow(1, row.data(), count);
        QVERIFY(!stretch.Complete());
        stretch.TakeRow(2, row.data(), count);
        QVERIFY(stretch.Complete());
        stretch.TakeRow(3, row.data(), count);
        QCOMPARE(written, 2);
    }
};

QTEST_GUILESS_MAIN(TestNearestStretch)
#include "tst_neareststretch.moc"
