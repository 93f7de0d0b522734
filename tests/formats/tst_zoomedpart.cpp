#include "formats/jpegcodec.h"
#include "formats/pictureorientation.h"
#include "formats/zoomedpart.h"
#include "jpegsamples.h"
#include "jpegsegments.h"
#include "testenvironment.h"

#include <QTest>

namespace {
const QSize kBox(200, 150);
} // namespace

class TestZoomedPart : public QObject {
    Q_OBJECT
private slots:
    void partHoldsThePixelsOfTheWholePicture_data()
    {
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QPointF>("centre");
        QTest::newRow("baseline, 100 %") << false << 1 << 1.0 << QPointF(0.5, 0.5);
        QTest::newRow("progressive, 100 %, bottom right") << true << 1 << 1.0 << QPointF(1, 1);
        QTest::newRow("turned a quarter, 100 %") << false << 6 << 1.0 << QPointF(0.3, 0.7);
        QTest::newRow("400 %, read at full size") << false << 3 << 4.0 << QPointF(0.61, 0.43);
        QTest::newRow("50 %, read at half size") << true << 8 << 0.5 << QPointF(0.2, 0.4);
    }
    void partHoldsThePixelsOfTheWholePicture()
    {
        QFETCH(bool, progressive);
        QFETCH(int, orientation);
        QFETCH(double, scale);
        QFETCH(QPointF, centre);
        TestEnvironment environment;
        // Odd sides, so that the picture ends inside its last blocks.
        const QByteArray jpeg =
            WithExifOrientation(EncodeJpeg(NoisyImage(901, 603), 90, progressive), orientation);
        const ZoomState zoom{scale, centre};
        const ShownPicture part =
            ReadZoomedPart(environment.writeFile("photo.jpg", jpeg), PictureShape(kBox, true, zoom));

        const int eighths = PictureZoom::DecodeEighths(scale);
        JpegScaling wholeAtThatScale;
        wholeAtThatScale.atLeast = [eighths](const QSize& full) { return JpegScaledSize(full, eighths); };
        const QImage whole = Oriented(DecodeJpegScaled(jpeg, wholeAtThatScale).image, orientation);
        const QRectF area = part.area;
        const QRect inWhole(QRectF(area.topLeft() * eighths / 8, area.size() * eighths / 8).toRect());
        QCOMPARE(part.uprightSize, OrientedSize(QSize(901, 603), orientation));
        QVERIFY(part.picture.data.isEmpty());
        QCOMPARE(part.fitted, whole.copy(inWhole));
        QVERIFY(PictureZoom::Serves(area, double(part.fitted.width()) / area.width(), zoom, part.uprightSize,
                                    kBox));
    }

    void otherFormatsAreReadWhole()
    {
        TestEnvironment environment;
        const ShownPicture part =
            ReadZoomedPart(environment.writeFile("photo.bmp", MakeBmp(300, 250, Qt::blue)),
                           PictureShape(kBox, true, ZoomState{2, QPointF(0.1, 0.9)}));
        QCOMPARE(part.fitted.size(), QSize(300, 250));
        QCOMPARE(part.area, QRectF(0, 0, 300, 250));
    }
};

QTEST_GUILESS_MAIN(TestZoomedPart)
#include "tst_zoomedpart.moc"
