#include "formats/emfrenderer.h"
#include "formats/metafilecanvas.h"
#include "gdifiles.h"
#include "platform/pixlyerror.h"

#include <QColor>
#include <QImage>
#include <QtEndian>
#include <QtTest>

using namespace gditest;

namespace {

bool isColour(const QImage& image, int x, int y, const QColor& colour)
{
    return QColor(image.pixel(x, y)) == colour;
}

} // namespace

class TestEmfRenderer : public QObject {
    Q_OBJECT

private slots:
    void pictureSizeFollowsTheFrame()
    {
        QCOMPARE(RenderEmf(Emf(5080, 2540).bytes()).size(), QSize(192, 96));
        QCOMPARE(RenderEmf(Emf(0, 0).bytes()).size(), QSize(95, 95)); // the bounds, in device pixels
        QCOMPARE(RenderEmf(Emf(2000000000, 1000).bytes()).size(), QSize(MaxMetafileSide, 1));
    }

    void shapesAndStateLandInPlace_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("ellipse") << Emf().redFill().add(42, {8, 8, 88, 88}).bytes() << QPoint(48, 48)
                                 << QPoint(11, 11) << QColor(Qt::red);
        QTest::newRow("stock brush") << Emf().select(EmfBlackBrush).rectangle(0, 0, 48, 96).bytes()
                                     << QPoint(24, 48) << QPoint(72, 48) << QColor(Qt::black);
        QTest::newRow("polygon16") << Emf()
                                          .redFill()
                                          .add(86, Dwords({0, 0, 0, 0, 3}) + Le16(0) + Le16(0) + Le16(96) +
                                                       Le16(0) + Le16(0) + Le16(96))
                                          .bytes()
                                   << QPoint(20, 20) << QPoint(80, 80) << QColor(Qt::red);
        QTest::newRow("anisotropic window") << Emf()
                                                   .redFill()
                                                   .add(17, {8})
                                                   .add(9, {1000, 1000})
                                                   .add(11, {96, 96})
                                                   .rectangle(500, 500, 1000, 1000)
                                                   .bytes()
                                            << QPoint(72, 72) << QPoint(24, 24) << QColor(Qt::red);
        QTest::newRow("world transform")
            << Emf()
                   .redFill()
                   .add(35, QByteArray("\0\0\0\x3f\0\0\0\0\0\0\0\0\0\0\0\x3f\0\0\0\0\0\0\0\0",
                                       24)) // scale by 0.5
                   .rectangle(0, 0, 96, 96)
                   .bytes()
            << QPoint(24, 24) << QPoint(72, 72) << QColor(Qt::red);
        QTest::newRow("restored brush")
            << Emf().redFill().add(33, {}).select(EmfBlackBrush).add(34, {-1}).rectangle(0, 0, 96, 48).bytes()
            << QPoint(48, 24) << QPoint(48, 72) << QColor(Qt::red);
        QTest::newRow("deleted brush slot")
            << Emf().redFill().add(40, {1}).select(EmfBlackBrush).select(1).rectangle(0, 0, 96, 48).bytes()
            << QPoint(48, 24) << QPoint(48, 72) << QColor(Qt::black);
        QTest::newRow("filled path") << Emf()
                                            .redFill()
                                            .add(59, {})
                                            .add(27, {0, 0})
                                            .add(54, {96, 0})
                                            .add(54, {0, 96})
                                            .add(61, {})
                                            .add(60, {})
                                            .add(62, {0, 0, 0, 0})
                                            .bytes()
                                     << QPoint(20, 20) << QPoint(80, 80) << QColor(Qt::red);
        QTest::newRow("line with a created pen") << Emf()
                                                        .add(38, {1, 0, 6, 0, ColourRef(Qt::blue)})
                                                        .select(1)
                                                        .add(27, {0, 48})
                                                        .add(54, {96, 48})
                                                        .bytes()
                                                 << QPoint(48, 48) << QPoint(48, 20) << QColor(Qt::blue);
        QTest::newRow("bitmap top left")
            << Emf().add(81, EmfStretchDiBits(DibInfoHeader(2, 2, 24), FourColourDibBits())).bytes()
            << QPoint(24, 24) << QPoint(-1, -1) << QColor(Qt::blue);
        QTest::newRow("bitmap bottom right")
            << Emf().add(81, EmfStretchDiBits(DibInfoHeader(2, 2, 24), FourColourDibBits())).bytes()
            << QPoint(72, 72) << QPoint(-1, -1) << QColor(Qt::green);
        QTest::newRow("source rows count from the bottom")
            << Emf().add(81, EmfStretchDiBits(DibInfoHeader(2, 2, 24), FourColourDibBits(), 80, 1)).bytes()
            << QPoint(24, 24) << QPoint(-1, -1) << QColor(Qt::red);
        QTest::newRow("text's opaque rectangle")
            << Emf().add(25, {ColourRef(Qt::yellow)}).add(84, EmfExtTextOut(QStringLiteral("Ab"))).bytes()
            << QPoint(90, 35) << QPoint(48, 70) << QColor(Qt::yellow);
    }
    void shapesAndStateLandInPlace()
    {
        QFETCH(QByteArray, data);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        QFETCH(QColor, colour);
        const QImage image = RenderEmf(data);
        QVERIFY(isColour(image, inside.x(), inside.y(), colour));
        if (outside.x() >= 0) QVERIFY(isColour(image, outside.x(), outside.y(), Qt::white));
    }

    void textIsDrawn()
    {
        const QImage image =
            RenderEmf(Emf().add(18, {1}).add(84, EmfExtTextOut(QStringLiteral("Ábč"))).bytes());
        int dark = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 48; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        QVERIFY(dark > 10);
        QVERIFY(isColour(image, 48, 70, Qt::white));
    }

    void unusableDataIsRefused_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray good = Emf().redFill().rectangle(0, 0, 10, 10).bytes();
        QByteArray zeroSize = good;
        zeroSize.replace(92, 4, Le32(0)); // the first record after the header
        QByteArray pastEnd = good;
        pastEnd.replace(92, 4, Le32(0x7FFFFFF0));
        QByteArray badSignature = good;
        badSignature[40] = 'X';
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a Windows metafile")
            << QByteArray::fromHex("d7cdc69a000000000000e803e80360030000") + QByteArray(80, '\0');
        QTest::newRow("bad signature") << badSignature;
        QTest::newRow("truncated") << good.left(good.size() - 30);
        QTest::newRow("no end record") << Emf().redFill().bytes(false);
        QTest::newRow("record of size 0") << zeroSize;
        QTest::newRow("record size past the end") << pastEnd;
        QTest::newRow("points beyond the record") << Emf().add(86, {0, 0, 0, 0, 0x40000000}).bytes();
        QTest::newRow("bitmap beyond the record")
            << Emf().add(81, EmfStretchDiBits(DibInfoHeader(2, 2, 24), FourColourDibBits(), 4000)).bytes();
        QTest::newRow("bitmap rows missing")
            << Emf().add(81, EmfStretchDiBits(DibInfoHeader(2, 2, 24), FourColourDibBits().left(8))).bytes();
        QTest::newRow("text beyond the record")
            << Emf().add(84, EmfExtTextOut(QStringLiteral("Ab"), 0x7FFFFFFF)).bytes();
    }
    void unusableDataIsRefused()
    {
        QFETCH(QByteArray, data);
        try {
            RenderEmf(data);
            QFAIL("no error");
        } catch (const PixlyError& error) {
            QVERIFY2(error.message().startsWith("Enhanced metafile is not valid"),
                     qPrintable(error.message()));
        }
    }
};

QTEST_MAIN(TestEmfRenderer)
#include "tst_emfrenderer.moc"
