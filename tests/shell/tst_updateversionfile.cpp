#include "shell/textdownload.h"
#include "shell/versionfile.h"

#include <QTest>

class TestUpdateVersionFile : public QObject {
    Q_OBJECT
private slots:
    void readsTheFirstFourLines_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("date");
        QTest::newRow("CR LF") << QByteArray("2\r\n3\r\nx\r\n1. 3. 2007\r\n") << "1. 3. 2007";
        QTest::newRow("bare LF") << QByteArray("2\n3\nx\n1. 3. 2007\n") << "1. 3. 2007";
        QTest::newRow("last line without break") << QByteArray("2\r\n3\r\nx\r\n1. 3. 2007") << "1. 3. 2007";
        QTest::newRow("more lines") << QByteArray("2\r\n3\r\nx\r\n1. 3. 2007\r\nnext\r\n") << "1. 3. 2007";
        QTest::newRow("empty date") << QByteArray("2\r\n3\r\nx\r\n\r\n") << "";
        QTest::newRow("Windows-1250 date") << QByteArray("2\r\n3\r\nx\r\n1. b\xF8"
                                                         "ezna\r\n")
                                           << "1. března";
    }

    void readsTheFirstFourLines()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, date);
        const auto published = VersionFile::Parse(contents);
        QVERIFY(published);
        QCOMPARE(published->major, QStringLiteral("2"));
        QCOMPARE(published->minor, QStringLiteral("3"));
        QCOMPARE(published->date, date);
    }

    void fewerThanFourLinesAreNoVersionFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one line") << QByteArray("3\r\n");
        QTest::newRow("three lines") << QByteArray("3\r\n0\r\nx\r\n");
        QTest::newRow("three lines, no break") << QByteArray("3\r\n0\r\nx");
    }

    void fewerThanFourLinesAreNoVersionFile()
    {
        QFETCH(QByteArray, contents);
        QVERIFY(!VersionFile::Parse(contents));
    }

    void comparesMajorThenMinorDigit_data()
    {
        QTest::addColumn<QString>("major");
        QTest::addColumn<QString>("minor");
        QTest::addColumn<bool>("newer");
        QTest::newRow("2.3") << "2"
                             << "3" << true;
        QTest::newRow("3.0") << "3"
                             << "0" << true;
        QTest::newRow("2.2") << "2"
                             << "2" << false;
        QTest::newRow("1.9") << "1"
                             << "9" << false;
        QTest::newRow("2.1") << "2"
                             << "1" << false;
        QTest::newRow("minor read by its first digit") << "2"
                                                       << "30" << true;
        QTest::newRow("major of two digits") << "10"
                                             << "0" << false;
        QTest::newRow("major with a blank") << "3 "
                                            << "0" << false;
        QTest::newRow("empty major") << ""
                                     << "9" << false;
        QTest::newRow("major not a digit") << "x"
                                           << "9" << false;
        QTest::newRow("major a non-ASCII digit") << QString(QChar(0x0663)) << "0" << false;
        QTest::newRow("minor not beginning with a digit") << "3"
                                                          << "a" << false;
        QTest::newRow("empty minor") << "3"
                                     << "" << false;
    }

    void comparesMajorThenMinorDigit()
    {
        QFETCH(QString, major);
        QFETCH(QString, minor);
        QFETCH(bool, newer);
        QCOMPARE(VersionFile::IsNewerThan({major, minor, QString()}, QStringLiteral("2.2")), newer);
    }

    void questionNamesTheVersionAndDate()
    {
        QCOMPARE(VersionFile::UpdateQuestion(
                     {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("1. 3. 2007")}),
                 QStringLiteral("Na internetu byla nalezena nová verze 2.3, přidána 1. 3. 2007\r"
                                "Chcete jí stáhnout a nainstalovat?"));
    }

    void textIsToldFromBinary_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("text");
        QTest::newRow("version file") << QByteArray("2\r\n3\r\n\tx\r\n1. 3. 2007\r\n") << true;
        QTest::newRow("Windows-1250 letters") << QByteArray("b\xF8"
                                                            "ezen")
                                              << true;
        QTest::newRow("NUL") << QByteArray("2\r\n\0\r\n", 6) << false;
        QTest::newRow("escape") << QByteArray("2\x1b[0m") << false;
        QTest::newRow("DEL") << QByteArray("2\x7f") << false;
        QTest::newRow("JPEG start") << QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10) << false;
    }

    void textIsToldFromBinary()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, text);
        QCOMPARE(IsPlainText(bytes), text);
    }
};

QTEST_APPLESS_MAIN(TestUpdateVersionFile)
#include "tst_updateversionfile.moc"
