#include "platform/pixlyerror.h"
#include "slideshow/slideinterval.h"

#include <QTest>

using SlideInterval::Unit;

Q_DECLARE_METATYPE(SlideInterval::Unit)

class TestSlideInterval : public QObject {
    Q_OBJECT
private slots:
    void changesJustBeforeTheWholeSecond_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Unit>("unit");
        QTest::addColumn<int>("interval");
        QTest::newRow("1 second") << "1" << Unit::Seconds << 999;
        QTest::newRow("5 seconds") << "5" << Unit::Seconds << 4999;
        QTest::newRow("1 minute") << "1" << Unit::Minutes << 59999;
        QTest::newRow("leading zeros") << "007" << Unit::Seconds << 6999;
        QTest::newRow("most seconds in 32 bits") << "2147483" << Unit::Seconds << 2147482999;
        QTest::newRow("most minutes in 32 bits") << "35791" << Unit::Minutes << 2147459999;
        // Text typed into the unit box keeps the interval the timer has.
        QTest::newRow("typed unit") << "3" << Unit::Unchanged << 1000;
    }

    void changesJustBeforeTheWholeSecond()
    {
        QFETCH(QString, text);
        QFETCH(Unit, unit);
        QFETCH(int, interval);
        QCOMPARE(SlideInterval::Milliseconds(text, unit, 1000), std::optional<int>(interval));
    }

    void numbersWithoutAUsableIntervalAreRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Unit>("unit");
        QTest::newRow("zero seconds") << "0" << Unit::Seconds;
        QTest::newRow("zero minutes") << "0" << Unit::Minutes;
        QTest::newRow("zero with a typed unit") << "0" << Unit::Unchanged;
        QTest::newRow("pasted negative") << "-3" << Unit::Seconds;
        QTest::newRow("seconds past 32 bits") << "2147484" << Unit::Seconds;
        QTest::newRow("minutes past 32 bits") << "35792" << Unit::Minutes;
        QTest::newRow("largest number in minutes") << "2147483647" << Unit::Minutes;
    }

    void numbersWithoutAUsableIntervalAreRefused()
    {
        QFETCH(QString, text);
        QFETCH(Unit, unit);
        QCOMPARE(SlideInterval::Milliseconds(text, unit, 1000), std::nullopt);
    }

    void textThatIsNoIntegerRaisesTheStandardError_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("too many digits") << "99999999999";
        QTest::newRow("pasted letters") << "12a";
        QTest::newRow("empty") << "";
    }

    void textThatIsNoIntegerRaisesTheStandardError()
    {
        QFETCH(QString, text);
        try {
            SlideInterval::Milliseconds(text, Unit::Seconds, 1000);
            QFAIL("no error raised");
        } catch (const InvalidIntegerError& error) {
            QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestSlideInterval)
#include "tst_slideinterval.moc"
