#include "controls/typedcharacter.h"

#include <QKeyEvent>
#include <QTest>

class TestTypedCharacter : public QObject {
    Q_OBJECT
private slots:
    void keysTypeWhatAFieldFilterSees_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed"); // empty: no character
        QTest::newRow("digit") << int(Qt::Key_7) << "7"
                               << "7";
        QTest::newRow("letter") << int(Qt::Key_A) << "a"
                                << "a";
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << "\b"
                                   << "\b";
        QTest::newRow("Enter") << int(Qt::Key_Return) << "\r"
                               << "\r";
        QTest::newRow("Esc") << int(Qt::Key_Escape) << "\x1b"
                             << "\x1b";
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << "\x01"
                                << "\x01";
        // As X11 delivers them.
        QTest::newRow("Delete") << int(Qt::Key_Delete) << "\x7f" << QString();
        QTest::newRow("Tab") << int(Qt::Key_Tab) << "\t" << QString();
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << "\t" << QString();
        QTest::newRow("arrow") << int(Qt::Key_Left) << QString() << QString();
    }

    void keysTypeWhatAFieldFilterSees()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QString, typed);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        const std::optional<QChar> character = TypedCharacter(event);
        QCOMPARE(character.has_value(), !typed.isEmpty());
        if (character) QCOMPARE(*character, typed.at(0));
    }
};

QTEST_GUILESS_MAIN(TestTypedCharacter)
#include "tst_typedcharacter.moc"
