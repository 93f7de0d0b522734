#include "formats/exiforientation.h"
#include "formats/jpegcodec.h"
#include "jpegsegments.h"

#include <QImage>
#include <QTest>

class TestExifOrientation : public QObject {
    Q_OBJECT

    static QByteArray plainJpeg()
    {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        return EncodeJpeg(image, 80, false);
    }

private slots:
    void readsTheOrientation_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<int>("expected");
        const QByteArray jpeg = plainJpeg();
        for (int value = 1; value <= 8; ++value) {
            QTest::addRow("%d, Motorola", value) << WithExifOrientation(jpeg, value) << value;
            QTest::addRow("%d, Intel", value) << WithExifOrientation(jpeg, value, false) << value;
        }
        QTest::newRow("no EXIF") << jpeg << 1;
        QTest::newRow("0") << WithExifOrientation(jpeg, 0) << 1;
        QTest::newRow("9") << WithExifOrientation(jpeg, 9) << 1;
        QTest::newRow("stored as a long") << WithExifOrientation(jpeg, 6, true, 4) << 1;
        QTest::newRow("two values") << WithExifOrientation(jpeg, 6, true, 3, 2) << 1;
        QTest::newRow("block cut short") << WithExifOrientation(jpeg, 6).left(30) << 1;
        QTest::newRow("not a JPEG") << QByteArray("BM\x06\0\0\0", 6) << 1;
        QByteArray xmpFirst = WithExifOrientation(jpeg, 8);
        xmpFirst.insert(2, QByteArray("\xFF\xE1\0\x06http", 8));
        QTest::newRow("XMP before the EXIF block") << xmpFirst << 8;
        QByteArray lengthTooLong = WithExifOrientation(jpeg, 6);
        lengthTooLong[4] = char(0x7F);
        QTest::newRow("segment longer than the file") << lengthTooLong << 1;
    }

    void readsTheOrientation()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(int, expected);
        QCOMPARE(ReadExifOrientation(jpeg), expected);
    }
};

QTEST_GUILESS_MAIN(TestExifOrientation)
#include "tst_exiforientation.moc"
