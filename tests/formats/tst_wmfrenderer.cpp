#include "formats/metafilecanvas.h"
#include "formats/wmfrenderer.h"
#include "gdifiles.h"
#include "platform/pixlyerror.h"

#include <QColor>
#include <QImage>
#include <QtEndian>
#include <QtTest>

#include <optional>

using namespace gditest;

namespace {

bool isColour(const QImage& image, int x, int y, const QColor& colour)
{
    return QColor(image.pixel(x, y)) == colour;
}

int pixelsOtherThan(const QImage& image, const QRect& area, const QColor& colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) != colour.rgb();
    return count;
}

int nonWhitePixels(const QImage& image, const QRect& area)
{
    return pixelsOtherThan(image, area, Qt::white);
}

} // namespace

class TestWmfRenderer : public QObject {
    Q_OBJECT

private slots:
    void pictureSizeFollowsTheFrame_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QSize>("size");
        QTest::newRow("placeable box at its inch")
            << Wmf().placeable(0, 0, 1440, 720, 1440).bytes() << QSize(96, 48);
        QTest::newRow("window extent") << Wmf().window(0, 0, 300, 200).bytes() << QSize(300, 200);
        QTest::newRow("no extent") << Wmf().bytes() << QSize(1024, 768);
        QTest::newRow("huge box is capped") << Wmf().placeable(-32768, -32768, 32767, 0, 1).bytes()
                                            << QSize(MaxMetafileSide, MaxMetafileSide / 2);
        QTest::newRow("thin extent keeps one pixel")
            << Wmf().window(0, 0, 32767, 1).bytes() << QSize(4096, 1);
    }
    void pictureSizeFollowsTheFrame()
    {
        QFETCH(QByteArray, data);
        QFETCH(QSize, size);
        const QImage image = RenderWmf(data);
        QCOMPARE(image.size(), size);
        QVERIFY(isColour(image, 0, 0, Qt::white));
    }

    void filledShapesCoverTheirArea_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");
        QTest::newRow("ellipse") << WmfSquare().redFill().ellipse(10, 10, 90, 90).bytes() << QPoint(50, 50)
                                 << QPoint(13, 13);
        QTest::newRow("polygon") << WmfSquare().redFill().add(0x0324, {3, 0, 0, 100, 0, 0, 100}).bytes()
                                 << QPoint(20, 20) << QPoint(80, 80);
        QTest::newRow("polypolygon with a hole")
            << WmfSquare()
                   .redFill()
                   .add(0x0538, {2, 4, 4, 0, 0, 100, 0, 100, 100, 0, 100, 40, 40, 60, 40, 60, 60, 40, 60})
                   .bytes()
            << QPoint(20, 20) << QPoint(50, 50);
        QTest::newRow("pie, counter-clockwise from 3 to 12 o'clock")
            << WmfSquare().redFill().add(0x081A, {0, 50, 50, 100, 100, 100, 0, 0}).bytes() << QPoint(70, 30)
            << QPoint(30, 70);
        QTest::newRow("chord") << WmfSquare().redFill().add(0x0830, {0, 50, 50, 100, 100, 100, 0, 0}).bytes()
                               << QPoint(80, 20) << QPoint(60, 40);
        QTest::newRow("round rectangle")
            << WmfSquare().redFill().add(0x061C, {40, 40, 90, 90, 10, 10}).bytes() << QPoint(50, 50)
            << QPoint(12, 12);
        QTest::newRow("pattern blit")
            << WmfSquare().redFill().add(0x061D, {0x0021, 0x00F0, 50, 50, 0, 0}).bytes() << QPoint(25, 25)
            << QPoint(75, 75);
    }
    void filledShapesCoverTheirArea()
    {
        QFETCH(QByteArray, data);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        const QImage image = RenderWmf(data);
        QVERIFY(isColour(image, inside.x(), inside.y(), Qt::red));
        QVERIFY(isColour(image, outside.x(), outside.y(), Qt::white));
    }

    void rectangleHasPenAndBrush()
    {
        const QImage image = RenderWmf(WmfSquare()
                                           .pen(0, 6, Qt::blue)
                                           .select(0)
                                           .brush(0, Qt::green)
                                           .select(1)
                                           .rectangle(20, 20, 80, 60)
                                           .bytes());
        QVERIFY(isColour(image, 20, 40, Qt::blue));
        QVERIFY(isColour(image, 50, 40, Qt::green));
        QVERIFY(isColour(image, 10, 10, Qt::white));
    }

    void linesUseThePen()
    {
        const QImage image = RenderWmf(WmfSquare()
                                           .pen(0, 4, Qt::blue)
                                           .select(0)
                                           .add(0x0325, {2, 0, 10, 100, 10})
                                           .add(0x0214, {80, 50})
                                           .add(0x0213, {80, 100})
                                           .bytes());
        QVERIFY(isColour(image, 50, 10, Qt::blue));
        QVERIFY(isColour(image, 75, 80, Qt::blue));
        QVERIFY(isColour(image, 25, 80, Qt::white));
        QVERIFY(isColour(image, 50, 50, Qt::white));
    }

    void windowIsStretchedOverThePicture_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");
        QTest::newRow("shifted origin")
            << Wmf().window(1000, 2000, 200, 100).redFill().rectangle(1100, 2050, 1200, 2100).bytes()
            << QPoint(150, 75) << QPoint(50, 25);
        QTest::newRow("window scaled to the placeable box") << Wmf()
                                                                   .placeable(0, 0, 1000, 1000, 1000)
                                                                   .window(0, 0, 10, 10)
                                                                   .redFill()
                                                                   .rectangle(5, 5, 10, 10)
                                                                   .bytes()
                                                            << QPoint(72, 72) << QPoint(24, 24);
        QTest::newRow("y axis upwards")
            << Wmf().window(0, 100, 200, -100).redFill().rectangle(0, 0, 100, 50).bytes() << QPoint(50, 75)
            << QPoint(50, 25);
        QTest::newRow("viewport halves the drawing")
            << WmfSquare().add(0x020E, {50, 50}).redFill().rectangle(0, 0, 100, 100).bytes() << QPoint(25, 25)
            << QPoint(75, 75);
        QTest::newRow("restored mapping") << WmfSquare()
                                                 .add(0x001E, {})
                                                 .window(0, 0, 1000, 1000)
                                                 .add(0x0127, {-1})
                                                 .redFill()
                                                 .rectangle(50, 50, 100, 100)
                                                 .bytes()
                                          << QPoint(75, 75) << QPoint(25, 25);
    }
    void windowIsStretchedOverThePicture()
    {
        QFETCH(QByteArray, data);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        const QImage image = RenderWmf(data);
        QVERIFY(isColour(image, inside.x(), inside.y(), Qt::red));
        QVERIFY(isColour(image, outside.x(), outside.y(), Qt::white));
    }

    void objectTableReusesTheLowestFreeSlot()
    {
        // Slots: 0 pen, 1 red, 2 blue; deleting 1 puts the green brush there.
        const QImage image = RenderWmf(WmfSquare()
                                           .pen(5, 0, Qt::black)
                                           .select(0)
                                           .brush(0, Qt::red)
                                           .brush(0, Qt::blue)
                                           .remove(1)
                                           .brush(0, Qt::green)
                                           .select(1)
                                           .rectangle(0, 0, 50, 100)
                                           .remove(2)
                                           .select(2)
                                           .rectangle(50, 0, 100, 100)
                                           .bytes());
        QVERIFY(isColour(image, 25, 50, Qt::green));
        QVERIFY(isColour(image, 75, 50, Qt::green)); // selecting a deleted slot changes nothing
    }

    void restoreDcReturnsTheSavedObjects()
    {
        const QImage image = RenderWmf(WmfSquare()
                                           .redFill()
                                           .add(0x001E, {})
                                           .brush(0, Qt::blue)
                                           .select(2)
                                           .rectangle(0, 0, 50, 100)
                                           .add(0x0127, {-1})
                                           .rectangle(50, 0, 100, 100)
                                           .bytes());
        QVERIFY(isColour(image, 25, 50, Qt::blue));
        QVERIFY(isColour(image, 75, 50, Qt::red));
    }

    void clipRectanglesLimitDrawing()
    {
        const QImage image = RenderWmf(WmfSquare()
                                           .redFill()
                                           .add(0x0416, {80, 80, 20, 20})
                                           .add(0x0415, {60, 60, 40, 40})
                                           .rectangle(0, 0, 100, 100)
                                           .bytes());
        QVERIFY(isColour(image, 30, 30, Qt::red));
        QVERIFY(isColour(image, 10, 10, Qt::white));
        QVERIFY(isColour(image, 50, 50, Qt::white));
    }

    void xorPenInvertsTwice()
    {
        const QImage image = RenderWmf(WmfSquare()
                                           .redFill()
                                           .add(0x0104, {7})
                                           .rectangle(0, 0, 60, 100)
                                           .rectangle(40, 0, 100, 100)
                                           .bytes());
        QVERIFY(isColour(image, 20, 50, Qt::cyan)); // white ^ red
        QVERIFY(isColour(image, 50, 50, Qt::white));
    }

    void textIsDrawnWhereAligned_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<QRect>("area");
        QTest::newRow("top left of the point") << 0 << QRect(97, 97, 103, 43);
        QTest::newRow("right of the text at the point") << 2 << QRect(0, 97, 103, 43);
        QTest::newRow("baseline at the point") << 24 << QRect(97, 70, 103, 38);
    }
    void textIsDrawnWhereAligned()
    {
        QFETCH(int, align);
        QFETCH(QRect, area);
        QByteArray font = Le16(-24) + Le16(0) + Le16(0) + Le16(0) + Le16(700) + QByteArray(8, '\0');
        font += QByteArray("Arial").leftJustified(32, '\0');
        const QByteArray text("\x8A\xC8p", 3); // "ŠČp" in Windows-1250
        const QImage image =
            RenderWmf(Wmf()
                          .placeable(0, 0, 200, 200, 96)
                          .window(0, 0, 200, 200)
                          .raw(0x02FB, font)
                          .add(0x012D, {0})
                          .add(0x0209, {0x00FF, 0})
                          .add(0x0102, {1})
                          .add(0x012E, {align})
                          .raw(0x0521, Le16(text.size()) + text + '\0' + Le16(100) + Le16(100))
                          .bytes());
        QVERIFY(nonWhitePixels(image, area) > 40);
        QCOMPARE(nonWhitePixels(image, QRect(0, 0, 200, 200)), nonWhitePixels(image, area));
    }

    void extTextOutFillsItsOpaqueRectangle()
    {
        const QByteArray text("ab");
        const QImage image =
            RenderWmf(WmfSquare()
                          .add(0x0201, {0xFFFF, 0})
                          .raw(0x0A32, Le16(10) + Le16(10) + Le16(2) + Le16(2) + Le16(0) + Le16(0) +
                                           Le16(100) + Le16(50) + text + Le16(10) + Le16(10))
                          .bytes());
        QVERIFY(isColour(image, 90, 45, Qt::yellow));
        QVERIFY(isColour(image, 50, 75, Qt::white));
        QVERIFY(pixelsOtherThan(image, QRect(10, 10, 30, 30), Qt::yellow) > 10);
        QCOMPARE(pixelsOtherThan(image, QRect(60, 0, 40, 50), Qt::yellow), 0);
    }

    void bitmapRowsLandInPlace_data()
    {
        const QList<QColor> fourColours{Qt::blue, Qt::white, Qt::red, Qt::green};
        const QList<QList<QColor>> rows{{Qt::blue, Qt::white}, {Qt::red, Qt::green}};
        const auto stretchDib = [](const QByteArray& dib) { return WmfSquare().stretchDib(dib).bytes(); };
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<QColor>>("quadrants"); // top left, top right, bottom left, bottom right
        QTest::newRow("STRETCHDIB") << stretchDib(PackedDib24(rows)) << fourColours;
        QTest::newRow("DIBSTRETCHBLT")
            << WmfSquare()
                   .raw(0x0B41, Le32(0x00CC0020) + Le16(2) + Le16(2) + Le16(0) + Le16(0) + Le16(100) +
                                    Le16(100) + Le16(0) + Le16(0) + PackedDib24(rows))
                   .bytes()
            << fourColours;
        QTest::newRow("DIBBITBLT at a scaled window")
            << Wmf()
                   .placeable(0, 0, 2, 2, 96)
                   .window(0, 0, 2, 2)
                   .raw(0x0940, Le32(0x00CC0020) + Le16(0) + Le16(0) + Le16(2) + Le16(2) + Le16(0) + Le16(0) +
                                    PackedDib24(rows))
                   .bytes()
            << fourColours;
        QTest::newRow("top-down rows") << stretchDib(PackedDib24(rows, true)) << fourColours;
        QTest::newRow("8 bits") << stretchDib(
                                       PackedDib(8, fourColours, QByteArray("\x02\x03\0\0\x00\x01\0\0", 8)))
                                << fourColours;
        QTest::newRow("4 bits") << stretchDib(
                                       PackedDib(4, fourColours, QByteArray("\x23\0\0\0\x01\0\0\0", 8)))
                                << fourColours;
        QTest::newRow("1 bit") << stretchDib(PackedDib(1, {Qt::red, Qt::white},
                                                       QByteArray("\x40\0\0\0\x80\0\0\0", 8)))
                               << QList<QColor>{Qt::white, Qt::red, Qt::red, Qt::white};
        QTest::newRow("32 bits")
            << stretchDib(PackedDib(32, {}, QByteArray("\0\0\xFF\0\0\xFF\0\0\xFF\0\0\0\xFF\xFF\xFF\0", 16)))
            << fourColours;
    }
    void bitmapRowsLandInPlace()
    {
        QFETCH(QByteArray, data);
        QFETCH(QList<QColor>, quadrants);
        const QImage image = RenderWmf(data).scaled(100, 100);
        QVERIFY(isColour(image, 25, 25, quadrants[0]));
        QVERIFY(isColour(image, 75, 25, quadrants[1]));
        QVERIFY(isColour(image, 25, 75, quadrants[2]));
        QVERIFY(isColour(image, 75, 75, quadrants[3]));
    }

    void stretchDibSourceCountsFromTheBottom()
    {
        // The lower bitmap row (red, green) is source row 0 and fills the whole picture.
        const QImage image = RenderWmf(
            WmfSquare().stretchDib(PackedDib24({{Qt::blue, Qt::white}, {Qt::red, Qt::green}}), 1).bytes());
        QVERIFY(isColour(image, 25, 25, Qt::red));
        QVERIFY(isColour(image, 75, 75, Qt::green));
    }

    void unusableDataIsRefused_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray good = WmfSquare().redFill().ellipse(0, 0, 10, 10).bytes();
        QByteArray zeroSize = good;
        zeroSize.replace(40, 4, Le32(0)); // the first record after the headers
        QByteArray pastEnd = good;
        pastEnd.replace(40, 4, Le32(0x7FFFFFFF));
        QByteArray badType = good;
        badType.replace(22, 2, Le16(7));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a metafile") << QByteArray("GIF89a this is not a metafile at all");
        QTest::newRow("bad header type") << badType;
        QTest::newRow("placeable header alone") << good.left(22);
        QTest::newRow("truncated inside a record") << good.left(good.size() - 9);
        QTest::newRow("no end record") << WmfSquare().redFill().bytes(false);
        QTest::newRow("record of size 0") << zeroSize;
        QTest::newRow("record size past the end") << pastEnd;
        QTest::newRow("no units per inch") << Wmf().placeable(0, 0, 100, 100, 0).bytes();
        QTest::newRow("empty placeable box") << Wmf().placeable(0, 0, 0, 100, 96).bytes();
        QTest::newRow("polygon longer than its record") << WmfSquare().add(0x0324, {1000, 0, 0}).bytes();
        QTest::newRow("damaged bitmap")
            << WmfSquare()
                   .raw(0x0F43, Le32(0x00CC0020) + Le16(0) + Le16(2) + Le16(2) + Le16(0) + Le16(0) +
                                    Le16(10) + Le16(10) + Le16(0) + Le16(0) +
                                    PackedDib24({{Qt::red, Qt::red}}).left(44))
                   .bytes();
    }
    void unusableDataIsRefused()
    {
        QFETCH(QByteArray, data);
        try {
            RenderWmf(data);
            QFAIL("no error");
        } catch (const PixlyError& error) {
            QVERIFY2(error.message().startsWith("Metafile is not valid"), qPrintable(error.message()));
        }
    }

    void floodOfFullPictureFillsIsRefused()
    {
        // 1000 x 1000 pixels: the budget is 2^28 pixels, about 268 full fills; lines charge little.
        Wmf wmf;
        wmf.placeable(0, 0, 1000, 1000, 96).window(0, 0, 1000, 1000).redFill();
        for (int i = 0; i < 300; ++i)
            wmf.add(0x0325, {2, 0, i, 1000, 1000 - i});
        QVERIFY(!RenderWmf(wmf.bytes()).isNull());
        for (int i = 0; i < 300; ++i)
            wmf.rectangle(0, 0, 1000, 1000);
        QVERIFY_THROWS_EXCEPTION(PixlyError, RenderWmf(wmf.bytes()));
    }

    void floodOfClipRectanglesIsRefused()
    {
        // Scattered holes split the clip region into thousands of rectangles, each of which every
        // drawing under it pays for.
        Wmf wmf = WmfSquare().redFill();
        for (int i = 0; i < 2000; ++i)
            wmf.add(0x0415, {i * 13 % 89 + 1, i % 97 + 1, i * 13 % 89, i % 97});
        QVERIFY(!RenderWmf(wmf.bytes()).isNull());
        for (int i = 0; i < 300; ++i)
            wmf.rectangle(0, 0, 10, 10);
        QVERIFY_THROWS_EXCEPTION(PixlyError, RenderWmf(wmf.bytes()));
    }

    void unknownRecordsAreSkipped()
    {
        const QImage image =
            RenderWmf(WmfSquare().add(0x0626, {1, 2, 3, 4, 5}).redFill().rectangle(0, 0, 100, 100).bytes());
        QVERIFY(isColour(image, 50, 50, Qt::red));
    }
};

QTEST_MAIN(TestWmfRenderer)
#include "tst_wmfrenderer.moc"
