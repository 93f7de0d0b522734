#include "formats/pictureorientation.h"

#include <QTest>

class TestPictureOrientation : public QObject {
    Q_OBJECT

private slots:
    // The stored picture is 3 x 2; the corner that lands at the turned picture's top left, and
    // the stored pixel that lands right of it, say which way it was turned.
    void pixelsLandWhereTheOrientationSays_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("turnedSize");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<QPoint>("rightOfIt");
        QTest::newRow("1 as stored") << 1 << QSize(3, 2) << QPoint(0, 0) << QPoint(1, 0);
        QTest::newRow("2 mirrored") << 2 << QSize(3, 2) << QPoint(2, 0) << QPoint(1, 0);
        QTest::newRow("3 half turn") << 3 << QSize(3, 2) << QPoint(2, 1) << QPoint(1, 1);
        QTest::newRow("4 flipped") << 4 << QSize(3, 2) << QPoint(0, 1) << QPoint(1, 1);
        QTest::newRow("5 transposed") << 5 << QSize(2, 3) << QPoint(0, 0) << QPoint(0, 1);
        QTest::newRow("6 quarter clockwise") << 6 << QSize(2, 3) << QPoint(0, 1) << QPoint(0, 0);
        QTest::newRow("7 transversed") << 7 << QSize(2, 3) << QPoint(2, 1) << QPoint(2, 0);
        QTest::newRow("8 quarter anticlockwise") << 8 << QSize(2, 3) << QPoint(2, 0) << QPoint(2, 1);
        QTest::newRow("0 counts as stored") << 0 << QSize(3, 2) << QPoint(0, 0) << QPoint(1, 0);
        QTest::newRow("9 counts as stored") << 9 << QSize(3, 2) << QPoint(0, 0) << QPoint(1, 0);
    }

    void pixelsLandWhereTheOrientationSays()
    {
        QFETCH(int, orientation);
        QFETCH(QSize, turnedSize);
        QFETCH(QPoint, topLeft);
        QFETCH(QPoint, rightOfIt);
        QImage stored(3, 2, QImage::Format_RGB32);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                stored.setPixel(x, y, qRgb(x * 100, y * 100, 7));
        const QImage turned = Oriented(stored, orientation);
        QCOMPARE(OrientedSize(stored.size(), orientation), turnedSize);
        QCOMPARE(turned.size(), turnedSize);
        QCOMPARE(StoredPixel({0, 0}, stored.size(), orientation), topLeft);
        QCOMPARE(StoredPixel({1, 0}, stored.size(), orientation), rightOfIt);
        for (int y = 0; y < turnedSize.height(); ++y)
            for (int x = 0; x < turnedSize.width(); ++x)
                QCOMPARE(turned.pixel(x, y), stored.pixel(StoredPixel({x, y}, stored.size(), orientation)));
    }
};

QTEST_GUILESS_MAIN(TestPictureOrientation)
#include "tst_pictureorientation.moc"
