#include "formats/pagemapping.h"

#include <QTest>

Q_DECLARE_METATYPE(gdi::Mapping)

namespace {

gdi::Mapping scaled(int mode, QPointF windowExt, QPointF viewportExt)
{
    gdi::Mapping mapping;
    mapping.mode = mode;
    mapping.windowExt = windowExt;
    mapping.viewportExt = viewportExt;
    return mapping;
}

} // namespace

class TestPageMapping : public QObject {
    Q_OBJECT
private slots:
    void logicalPointsLandInDeviceUnits_data()
    {
        QTest::addColumn<gdi::Mapping>("mapping");
        QTest::addColumn<QPointF>("logical");
        QTest::addColumn<QPointF>("device");
        // Ten device units to the millimetre; the fixed modes count upwards on the y axis.
        QTest::newRow("text: one to one") << gdi::Mapping() << QPointF(7, 9) << QPointF(7, 9);
        QTest::newRow("low metric: tenths of a millimetre")
            << scaled(gdi::MapLoMetric, {1, 1}, {1, 1}) << QPointF(100, 50) << QPointF(100, -50);
        QTest::newRow("high English: thousandths of an inch")
            << scaled(gdi::MapHiEnglish, {1, 1}, {1, 1}) << QPointF(1000, 0) << QPointF(254, 0);
        QTest::newRow("twips") << scaled(gdi::MapTwips, {1, 1}, {1, 1}) << QPointF(1440, 1440)
                               << QPointF(254, -254);
        QTest::newRow("anisotropic: each axis its own scale")
            << scaled(gdi::MapAnisotropic, {100, 100}, {200, 50}) << QPointF(10, 10) << QPointF(20, 5);
        QTest::newRow("isotropic: the smaller scale on both axes")
            << scaled(gdi::MapIsotropic, {100, 100}, {200, -50}) << QPointF(10, 10) << QPointF(5, -5);
        QTest::newRow("a window extent of 0 keeps that axis unscaled")
            << scaled(gdi::MapAnisotropic, {0, 10}, {300, 20}) << QPointF(4, 4) << QPointF(4, 8);
        gdi::Mapping moved = scaled(gdi::MapAnisotropic, {10, 10}, {20, 20});
        moved.windowOrg = {100, 100};
        moved.viewportOrg = {5, 7};
        QTest::newRow("window origin onto viewport origin") << moved << QPointF(100, 100) << QPointF(5, 7);
        gdi::Mapping turned;
        turned.world = QTransform().rotate(90);
        QTest::newRow("the world transform is left out") << turned << QPointF(3, 0) << QPointF(3, 0);
    }

    void logicalPointsLandInDeviceUnits()
    {
        QFETCH(gdi::Mapping, mapping);
        QFETCH(QPointF, logical);
        QFETCH(QPointF, device);
        const QPointF mapped = gdi::PageTransform(mapping, 10).map(logical);
        QVERIFY2(qFuzzyCompare(mapped.x() + 1, device.x() + 1) &&
                     qFuzzyCompare(mapped.y() + 1, device.y() + 1),
                 qPrintable(QStringLiteral("(%1, %2)").arg(mapped.x()).arg(mapped.y())));
    }
};

QTEST_GUILESS_MAIN(TestPageMapping)
#include "tst_pagemapping.moc"
