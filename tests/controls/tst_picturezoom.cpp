#include "controls/picturezoom.h"

#include <QTest>

namespace {
// Fitted, this picture is 400 x 200 at a quarter of its size, 50 pixels below the box's top.
const QSize kBox(400, 300);
const QSize kPicture(1600, 800);

QPoint startAt(const PictureZoom& zoom, const QSize& picture = kPicture)
{
    return PictureZoom::Place(zoom.State(), picture, kBox).picture.topLeft();
}

PictureZoom zoomedAt(const QPoint& pointer)
{
    PictureZoom zoom;
    zoom.Toggle(kPicture, kBox, pointer);
    return zoom;
}
} // namespace

class TestPictureZoom : public QObject {
    Q_OBJECT
private slots:
    void zCentresOnThePointerWithoutGaps_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("start");
        QTest::newRow("over the picture") << QPoint(100, 150) << QPoint(-202, -252);
        QTest::newRow("beside the picture: its centre") << QPoint(100, 20) << QPoint(-600, -250);
        QTest::newRow("top left corner, clamped") << QPoint(1, 51) << QPoint(0, 0);
        QTest::newRow("bottom right corner, clamped") << QPoint(399, 249) << QPoint(-1200, -500);
    }
    void zCentresOnThePointerWithoutGaps()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, start);
        const PictureZoom zoom = zoomedAt(pointer);
        QCOMPARE(zoom.Percent(kPicture, kBox), 100);
        QCOMPARE(startAt(zoom), start);
    }

    void wheelStepsAboutThePointer_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("percent");
        QTest::newRow("one up") << 1 << 150;
        QTest::newRow("up to 400 % at most") << 20 << 400;
        QTest::newRow("two down") << -2 << 50;
        QTest::newRow("down past the fitted scale: fitted") << -4 << 25;
    }
    void wheelStepsAboutThePointer()
    {
        QFETCH(int, steps);
        QFETCH(int, percent);
        PictureZoom zoom = zoomedAt(QPoint(200, 150));
        const QPoint pointer(90, 70);
        const QPointF before = QPointF(pointer - startAt(zoom));
        zoom.Step(steps, kPicture, kBox, pointer);
        QCOMPARE(zoom.Percent(kPicture, kBox), percent);
        QCOMPARE(zoom.Zoomed(), percent > 25);
        if (!zoom.Zoomed()) return;
        const QPointF after = QPointF(pointer - startAt(zoom)) / zoom.State().scale;
        QVERIFY2((after - before).manhattanLength() < 1.5, "the point under the pointer moved");
    }

    void dragStopsAtTheEdges()
    {
        PictureZoom zoom = zoomedAt(QPoint(200, 150));
        zoom.Pan(QPoint(-30, 20), kPicture, kBox);
        QCOMPARE(startAt(zoom), QPoint(-632, -232));
        zoom.Pan(QPoint(5000, -5000), kPicture, kBox);
        QCOMPARE(startAt(zoom), QPoint(0, -500));
    }

    void positionIsKeptAcrossPicturesAndClampedOnSmallerOnes_data()
    {
        QTest::addColumn<QSize>("next");
        QTest::addColumn<QPoint>("start");
        QTest::newRow("same size: same place") << kPicture << QPoint(-1102, -440);
        QTest::newRow("larger: same relative place") << kPicture * 2 << QPoint(-2404, -1030);
        QTest::newRow("smaller: clamped at its edge") << QSize(800, 400) << QPoint(-400, -100);
        QTest::newRow("smaller than the box: centred") << QSize(200, 100) << QPoint(100, 100);
    }
    void positionIsKeptAcrossPicturesAndClampedOnSmallerOnes()
    {
        QFETCH(QSize, next);
        QFETCH(QPoint, start);
        const PictureZoom zoom = zoomedAt(QPoint(325, 197));
        QCOMPARE(startAt(zoom, next), start);
    }
};

QTEST_APPLESS_MAIN(TestPictureZoom)
#include "tst_picturezoom.moc"
