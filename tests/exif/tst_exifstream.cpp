#include "exif/exifstream.h"
#include "raisederror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestExifStream : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    // A file whose byte at offset i is i mod 251, so every read shows where it came from.
    QString WriteCounting(qsizetype size)
    {
        QByteArray contents(size, '\0');
        for (qsizetype i = 0; i < size; ++i)
            contents[i] = static_cast<char>(i % 251);
        return Write(contents);
    }

    QString Write(const QByteArray& contents)
    {
        const QString path = dir_.filePath(QStringLiteral("data%1.bin").arg(contents.size()));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void openingFillsTheBufferFromTheStart()
    {
        TrxFileStream stream(WriteCounting(3000));
        QCOMPARE(stream.BufStart(), 0);
        QCOMPARE(stream.BufLen(), 1024);
        QCOMPARE(stream.Position(), 0);
        QCOMPARE(stream.ByteOrder(), TrxFileStream::BigEndian);
        QCOMPARE(stream.Size(), 3000);
        QVERIFY(!stream.Eof());
    }

    void emptyFileIsAtItsEnd()
    {
        TrxFileStream stream(Write(QByteArray()));
        QVERIFY(stream.Eof());
        QCOMPARE(RaisedErrorOf([&] { stream.ReadByte(); }), QStringLiteral("Out of bounds"));
    }

    void readsOutsideTheBufferRefillItThere()
    {
        TrxFileStream stream(WriteCounting(3000));
        QCOMPARE(stream.ReadByteAt(1500), 1500 % 251);
        QCOMPARE(stream.BufStart(), 1500);
        QCOMPARE(stream.BufLen(), 1024);
        QCOMPARE(stream.Position(), 1501);
        QCOMPARE(stream.ReadByteAt(2523), 2523 % 251);
        QCOMPARE(stream.BufStart(), 1500);
        QCOMPARE(stream.ReadByteAt(100), 100);
        QCOMPARE(stream.BufStart(), 100);
        QCOMPARE(stream.ReadByteAt(2990), 2990 % 251);
        QCOMPARE(stream.BufStart(), 2990);
        QCOMPARE(stream.BufLen(), 10);
    }

    void readsOutsideTheFileAreOutOfBounds_data()
    {
        QTest::addColumn<int>("offset");
        QTest::newRow("just past the end") << 3000;
        QTest::newRow("far past the end") << 0x7FFFFFFF;
        QTest::newRow("before the start") << -1;
        QTest::newRow("most negative") << int(INT32_MIN);
    }

    void readsOutsideTheFileAreOutOfBounds()
    {
        QFETCH(int, offset);
        TrxFileStream stream(WriteCounting(3000));
        QCOMPARE(RaisedErrorOf([&] { stream.ReadByteAt(offset); }), QStringLiteral("Out of bounds"));
        QVERIFY(stream.Eof());
        QCOMPARE(stream.Position(), 0);
    }

    void seekMovesWithoutFilling()
    {
        TrxFileStream stream(WriteCounting(3000));
        QVERIFY(!RaisedErrorOf([&] { stream.ReadByteAt(5000); }).isEmpty());
        stream.Seek(10);
        QCOMPARE(stream.Position(), 10);
        QVERIFY(stream.Eof());
        QCOMPARE(stream.ReadByte(), 10);
        QVERIFY(!stream.Eof());
        QCOMPARE(stream.Position(), 11);
    }

    void wordsAndLongsFollowTheByteOrder()
    {
        TrxFileStream stream(Write(QByteArray("\x12\x34\x56\x78\xFE\xDC\xBA\x98", 8)));
        QCOMPARE(stream.ReadWord(), 0x1234);
        QCOMPARE(stream.ReadWord(), 0x5678);
        QCOMPARE(stream.ReadLong(), 0xFEDCBA98u);
        stream.SetByteOrder(TrxFileStream::LittleEndian);
        stream.Seek(0);
        QCOMPARE(stream.ReadWord(), 0x3412);
        QCOMPARE(stream.ReadWord(), 0x7856);
        QCOMPARE(stream.ReadLong(), 0x98BADCFEu);
    }

    void readBlockReadsCharactersOnward()
    {
        TrxFileStream stream(WriteCounting(3000));
        stream.Seek(1020);
        QByteArray text(8, 'x');
        QCOMPARE(stream.ReadBlock(text, 8), 8);
        QCOMPARE(text, QByteArray("\x10\x11\x12\x13\x14\x15\x16\x17", 8));
        QCOMPARE(stream.Position(), 1028);
    }

    void readBlockNeverWritesBeyondTheText()
    {
        TrxFileStream stream(WriteCounting(3000));
        QByteArray text(4, 'x');
        QCOMPARE(stream.ReadBlock(text, 100), 4);
        QCOMPARE(text, QByteArray("\x00\x01\x02\x03", 4));
        QCOMPARE(stream.ReadBlock(text, -5), 0);
    }

    void readBlockPastTheEndIsOutOfBounds()
    {
        TrxFileStream stream(WriteCounting(3000));
        stream.Seek(2996);
        QByteArray text(8, 'x');
        QCOMPARE(RaisedErrorOf([&] { stream.ReadBlock(text, 8); }), QStringLiteral("Out of bounds"));
        // Once the last fill found nothing, nothing more is read.
        stream.Seek(0);
        QCOMPARE(stream.ReadBlock(text, 8), 0);
    }

    void exifSeeksStayWithinTheSection()
    {
        TrxExifStream stream(WriteCounting(3000));
        stream.Seek(1000000);
        QCOMPARE(stream.Position(), 1000000);
        stream.SetExifStart(12);
        stream.Seek(12 + 65535);
        QCOMPARE(stream.Position(), 12 + 65535);
        QCOMPARE(RaisedErrorOf([&] { stream.Seek(12 + 65536); }),
                 QStringLiteral("Exif section out of bounds"));
        QCOMPARE(stream.Position(), 12 + 65535);
        // A wrapped-around offset is no seek past the section; reading there fails instead.
        stream.Seek(-4);
        QCOMPARE(stream.Position(), -4);
        QCOMPARE(RaisedErrorOf([&] { stream.ReadByte(); }), QStringLiteral("Out of bounds"));
    }

    void forwardReadsMayLeaveTheSection()
    {
        TrxExifStream stream(WriteCounting(70000));
        stream.SetExifStart(12);
        stream.Seek(12 + 65535);
        stream.ReadLong();
        QCOMPARE(stream.Position(), 12 + 65539);
    }

    void bytesAvailableEndAtTheFileOrTheSection()
    {
        TrxExifStream stream(WriteCounting(70000));
        QCOMPARE(stream.BytesAvailableAt(1000), 69000);
        QCOMPARE(stream.BytesAvailableAt(70000), 0);
        QCOMPARE(stream.BytesAvailableAt(80000), 0);
        QCOMPARE(stream.BytesAvailableAt(-1), 0);
        stream.SetExifStart(100);
        QCOMPARE(stream.BytesAvailableAt(100), 65536);
        QCOMPARE(stream.BytesAvailableAt(65635), 1);
        QCOMPARE(stream.BytesAvailableAt(65636), 0);
        stream.SetExifStart(10000);
        QCOMPARE(stream.BytesAvailableAt(10000), 60000);
    }

    void missingFileFailsWithTheSystemsReason()
    {
        const QString path = dir_.filePath(QStringLiteral("missing.jpg"));
        QFile probe(path);
        QVERIFY(!probe.open(QIODevice::ReadOnly));
        const QString message = RaisedErrorOf([&] { TrxFileStream stream(path); });
        QCOMPARE(message, QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(path), probe.errorString()));
    }
};

QTEST_GUILESS_MAIN(TestExifStream)
#include "tst_exifstream.moc"
