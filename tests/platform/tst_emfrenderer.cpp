#include "littleendian.h"
#include "platform/emfrenderer.h"
#include "platform/metafilecanvas.h"
#include "platform/pixlyerror.h"

#include <QColor>
#include <QImage>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray dwords(std::initializer_list<qint64> values)
{
    QByteArray bytes;
    for (const qint64 value : values)
        bytes += Le32(value);
    return bytes;
}

qint64 ref(const QColor& colour)
{
    return colour.red() | colour.green() << 8 | colour.blue() << 16;
}

constexpr qint64 NullPen = 0x80000008;
constexpr qint64 BlackBrush = 0x80000004;

// Builds an enhanced metafile whose reference device has 96 pixels per inch, so that device
// pixels are picture pixels when the frame is given in hundredths of a millimetre.
class Emf {
public:
    explicit Emf(int frameWidth = 2540, int frameHeight = 2540)
        : frame_(dwords({0, 0, frameWidth, frameHeight}))
    {
    }
    Emf& add(quint32 type, const QByteArray& parameters)
    {
        records_ += Le32(type) + Le32(8 + parameters.size()) + parameters;
        return *this;
    }
    Emf& add(quint32 type, std::initializer_list<qint64> values) { return add(type, dwords(values)); }
    Emf& brush(int index, const QColor& colour) { return add(39, {index, 0, ref(colour), 0}); }
    Emf& select(qint64 index) { return add(37, {index}); }
    Emf& redFill() { return brush(1, Qt::red).select(1).select(NullPen); }
    Emf& rectangle(int left, int top, int right, int bottom) { return add(43, {left, top, right, bottom}); }
    QByteArray bytes(bool withEnd = true) const
    {
        const QByteArray end = withEnd ? dwords({14, 20, 0, 0, 20}) : QByteArray();
        const QByteArray header = dwords({1, 88, 0, 0, 95, 95}) + frame_ + dwords({0x464D4520, 0x10000}) +
                                  Le32(88 + records_.size() + end.size()) + dwords({3}) + Le16(16) + Le16(0) +
                                  dwords({0, 0, 0, 960, 960, 254, 254});
        return header + records_ + end;
    }

private:
    QByteArray frame_;
    QByteArray records_;
};

bool isColour(const QImage& image, int x, int y, const QColor& colour)
{
    return QColor(image.pixel(x, y)) == colour;
}

// A 2 x 2 24-bit bitmap: top row blue, white; bottom row red, green (stored bottom row first).
QByteArray dibInfo()
{
    return dwords({40, 2, 2}) + Le16(1) + Le16(24) + dwords({0, 0, 0, 0, 0, 0});
}

QByteArray dibBits()
{
    return QByteArray("\x00\x00\xFF\x00\xFF\x00\0\0\xFF\x00\x00\xFF\xFF\xFF\0\0", 16);
}

// STRETCHDIBITS of the 2 x 2 bitmap onto (0, 0)-(96, 96); offsets count from the record's start.
QByteArray stretchDiBits(const QByteArray& info, const QByteArray& bits, qint64 infoOffset = 80,
                         int sourceRows = 2)
{
    return dwords({0, 0, 95, 95, 0, 0, 0, 0, 2, sourceRows, infoOffset, info.size(), 80 + info.size(),
                   bits.size(), 0, 0x00CC0020, 96, 96}) +
           info + bits;
}

// EXTTEXTOUTW of `text` at (10, 10), with an opaque rectangle and the string right after the fixed part.
QByteArray extTextOut(const QString& text, qint64 stringOffset = 76)
{
    QByteArray string(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    string = string.leftJustified((string.size() + 3) / 4 * 4, '\0');
    return dwords({0, 0, 0, 0, 1, 0, 0, 10, 10, text.size(), stringOffset, 2, 0, 0, 96, 40, 0}) + string;
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
        QTest::newRow("stock brush") << Emf().select(BlackBrush).rectangle(0, 0, 48, 96).bytes()
                                     << QPoint(24, 48) << QPoint(72, 48) << QColor(Qt::black);
        QTest::newRow("polygon16") << Emf()
                                          .redFill()
                                          .add(86, dwords({0, 0, 0, 0, 3}) + Le16(0) + Le16(0) + Le16(96) +
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
            << Emf().redFill().add(33, {}).select(BlackBrush).add(34, {-1}).rectangle(0, 0, 96, 48).bytes()
            << QPoint(48, 24) << QPoint(48, 72) << QColor(Qt::red);
        QTest::newRow("deleted brush slot")
            << Emf().redFill().add(40, {1}).select(BlackBrush).select(1).rectangle(0, 0, 96, 48).bytes()
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
        QTest::newRow("line with a created pen")
            << Emf().add(38, {1, 0, 6, 0, ref(Qt::blue)}).select(1).add(27, {0, 48}).add(54, {96, 48}).bytes()
            << QPoint(48, 48) << QPoint(48, 20) << QColor(Qt::blue);
        QTest::newRow("bitmap top left") << Emf().add(81, stretchDiBits(dibInfo(), dibBits())).bytes()
                                         << QPoint(24, 24) << QPoint(-1, -1) << QColor(Qt::blue);
        QTest::newRow("bitmap bottom right") << Emf().add(81, stretchDiBits(dibInfo(), dibBits())).bytes()
                                             << QPoint(72, 72) << QPoint(-1, -1) << QColor(Qt::green);
        QTest::newRow("source rows count from the bottom")
            << Emf().add(81, stretchDiBits(dibInfo(), dibBits(), 80, 1)).bytes() << QPoint(24, 24)
            << QPoint(-1, -1) << QColor(Qt::red);
        QTest::newRow("text's opaque rectangle")
            << Emf().add(25, {ref(Qt::yellow)}).add(84, extTextOut(QStringLiteral("Ab"))).bytes()
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
        const QImage image = RenderEmf(Emf().add(18, {1}).add(84, extTextOut(QStringLiteral("Ábč"))).bytes());
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
            << Emf().add(81, stretchDiBits(dibInfo(), dibBits(), 4000)).bytes();
        QTest::newRow("bitmap rows missing")
            << Emf().add(81, stretchDiBits(dibInfo(), dibBits().left(8))).bytes();
        QTest::newRow("text beyond the record")
            << Emf().add(84, extTextOut(QStringLiteral("Ab"), 0x7FFFFFFF)).bytes();
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
