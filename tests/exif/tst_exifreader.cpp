#include "exif/exifreader.h"

#include "exif/exifstream.h"
#include "exifbuilder.h"
#include "exifsamples.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace exiftest;

Q_DECLARE_METATYPE(exiftest::ByteOrder)

namespace {

const QList<ByteOrder> BothOrders{BigEndian, LittleEndian};

QString OrderName(ByteOrder order)
{
    return order == BigEndian ? QStringLiteral("MM") : QStringLiteral("II");
}

const QStringList CameraLines{
    "Make=Pixly",
    "Model=Camera X100",
    "Orientation=1",
    "XResolution=72/1",
    "YResolution=72/1",
    "ResolutionUnit=2",
    "DateTime=2023:05:01 12:34:56",
    "ExposureTime=1/250",
    "FNumber=28/10",
    "ExifVersion=30 32 32 30",
    "DateTimeOriginal=2023:05:01 12:34:56",
    "ExposureBiasValue=-1/3",
    "MeteringMode=5",
    "Flash=16",
    "FocalLength=50/1",
    "MakerNote=00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF",
    "ColorSpace=1",
    "PixelXDimension=4000",
    "PixelYDimension=3000",
    "InteroperabilityIndex=R98",
    "InteroperabilityVersion=30 31 30 30",
    "FicalPlaneResolutionUnit=2",
    "GPSVersionID=2,2,0,0",
    "GPSLatitudeRef=N",
    "GPSLatitude=50/1,5/1,3000/100",
    "GPSLongitudeRef=E",
    "GPSLongitude=14/1,25/1,1234/100",
    "GPSAltitudeRef=0",
    "GPSAltitude=250/1",
    "YCbCrPositioning=1",
    "Compression=6",
    "XResolution=72/1",
    "JPEGInterchangeFormat=1234",
    "JPEGInterchangeFormatLength=5000",
};

// IFD0 with a line before and after the entry under test, so a test also sees that
// reading goes on at the next entry.
TiffBuilder AroundEntry(ByteOrder order, int& ifd0)
{
    TiffBuilder tiff(order);
    ifd0 = tiff.AddIfd();
    tiff.Add(ifd0, tag::Orientation, Short, {1});
    return tiff;
}

QStringList LinesAround(const QStringList& middle)
{
    return QStringList{"Orientation=1"} + middle + QStringList{"ResolutionUnit=2"};
}

} // namespace

class TestExifReader : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    int files_ = 0;

    QString Write(const QByteArray& contents)
    {
        const QString path = dir_.filePath(QStringLiteral("photo%1.jpg").arg(files_++));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QStringList Read(const QByteArray& contents)
    {
        QStringList lines;
        ReadExif(Write(contents), lines);
        return lines;
    }

    // The message of the error that reading the file raises, or "" when it raises none.
    QString ReadError(const QByteArray& contents)
    {
        try {
            Read(contents);
        } catch (const PixlyError& error) {
            return error.message();
        }
        return QString();
    }

private slots:
    void cameraFileGivesItsLinesInFileOrder_data()
    {
        QTest::addColumn<ByteOrder>("order");
        for (const ByteOrder order : BothOrders)
            QTest::newRow(qPrintable(OrderName(order))) << order;
    }

    void cameraFileGivesItsLinesInFileOrder()
    {
        QFETCH(ByteOrder, order);
        QCOMPARE(Read(ExifJpeg(CameraTiff(order))), CameraLines);
    }

    void linesAreAppendedToTheList()
    {
        QStringList lines{"kept"};
        ReadExif(Write(ExifJpeg(CameraTiff(BigEndian))), lines);
        QCOMPARE(lines, QStringList{"kept"} + CameraLines);
    }

    void segmentsBeforeTheExifSegmentAreSkipped()
    {
        const QByteArray jfif = Segment(0xE0, QByteArray("JFIF\0\x01\x02\0\0\x01\0\x01\0\0", 14));
        const QByteArray table = Segment(0xDB, QByteArray(65, '\x01'));
        const QByteArray empty = Segment(0xE2, QByteArray());
        QCOMPARE(Read(Jpeg({jfif, table, empty, ExifSegment(CameraTiff(LittleEndian).Build())})),
                 CameraLines);
    }

    void valuesAreFormattedByType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int64_t>>("elements");
        QTest::addColumn<QString>("expected");
        QTest::newRow("BYTE, four inline") << int(Byte) << QList<int64_t>{2, 2, 0, 0} << "2,2,0,0";
        QTest::newRow("BYTE, one") << int(Byte) << QList<int64_t>{255} << "255";
        QTest::newRow("BYTE, at an offset") << int(Byte) << QList<int64_t>{1, 2, 3, 4, 250} << "1,2,3,4,250";
        QTest::newRow("SHORT, one") << int(Short) << QList<int64_t>{640} << "640";
        QTest::newRow("SHORT, two inline") << int(Short) << QList<int64_t>{65535, 0} << "65535,0";
        QTest::newRow("SHORT, at an offset") << int(Short) << QList<int64_t>{1, 2, 3} << "1,2,3";
        QTest::newRow("LONG, one") << int(Long) << QList<int64_t>{4000000000} << "4000000000";
        QTest::newRow("LONG, at an offset") << int(Long) << QList<int64_t>{1, 4294967295} << "1,4294967295";
        QTest::newRow("RATIONAL") << int(Rational) << QList<int64_t>{72, 1} << "72/1";
        QTest::newRow("RATIONAL, three")
            << int(Rational) << QList<int64_t>{50, 1, 5, 1, 3000, 100} << "50/1,5/1,3000/100";
        QTest::newRow("RATIONAL, unsigned")
            << int(Rational) << QList<int64_t>{4294967295, 2147483648} << "4294967295/2147483648";
        QTest::newRow("UNDEFINED, four inline")
            << int(Undefined) << QList<int64_t>{0x30, 0x32, 0x32, 0x30} << "30 32 32 30";
        QTest::newRow("UNDEFINED, at an offset")
            << int(Undefined) << QList<int64_t>{0x00, 0xAB, 0x0F, 0x01, 0xFF} << "00 AB 0F 01 FF";
        QTest::newRow("SLONG, one") << int(SLong) << QList<int64_t>{-5} << "-5";
        QTest::newRow("SLONG, at an offset")
            << int(SLong) << QList<int64_t>{-1, 2147483647, -2147483648} << "-1,2147483647,-2147483648";
        QTest::newRow("SRATIONAL") << int(SRational) << QList<int64_t>{-1, 3} << "-1/3";
        QTest::newRow("SRATIONAL, two")
            << int(SRational) << QList<int64_t>{5, -7, -2147483648, 1} << "5/-7,-2147483648/1";
    }

    void valuesAreFormattedByType()
    {
        QFETCH(int, type);
        QFETCH(QList<int64_t>, elements);
        QFETCH(QString, expected);
        for (const ByteOrder order : BothOrders) {
            int ifd0 = 0;
            TiffBuilder tiff = AroundEntry(order, ifd0);
            tiff.Add(ifd0, tag::ImageWidth, static_cast<uint16_t>(type), elements)
                .Add(ifd0, tag::ResolutionUnit, Short, {2});
            QCOMPARE(Read(ExifJpeg(tiff)), LinesAround({"ImageWidth=" + expected}));
        }
    }

    void asciiValuesLoseTheirControlCharacters_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("DateTime, 20 bytes") << QByteArray("2023:05:01 12:34:56", 20) << "2023:05:01 12:34:56";
        QTest::newRow("inline") << QByteArray("abc", 4) << "abc";
        QTest::newRow("without NUL") << QByteArray("abcdefg") << "abcdefg";
        QTest::newRow("line breaks and tabs") << QByteArray("a\tb\r\nc\x01 d ", 11) << "abc d ";
        QTest::newRow("Windows-1250") << QByteArray("\x8A\xE8\xED", 4) << QString::fromUtf8("Ščí");
        QTest::newRow("only NULs") << QByteArray(6, '\0') << "";
    }

    void asciiValuesLoseTheirControlCharacters()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        for (const ByteOrder order : BothOrders) {
            int ifd0 = 0;
            TiffBuilder tiff = AroundEntry(order, ifd0);
            tiff.AddAscii(ifd0, tag::Make, bytes).Add(ifd0, tag::ResolutionUnit, Short, {2});
            QCOMPARE(Read(ExifJpeg(tiff)), LinesAround({"Make=" + expected}));
        }
    }

    void imageWidthAsShortAndAsLongIsTheSame()
    {
        for (const ByteOrder order : BothOrders) {
            for (const Type type : {Short, Long}) {
                TiffBuilder tiff(order);
                tiff.Add(tiff.AddIfd(), tag::ImageWidth, type, {3000});
                QCOMPARE(Read(ExifJpeg(tiff)), QStringList{"ImageWidth=3000"});
            }
        }
    }

    // Entries whose count and value field are written as given: counts of zero, counts
    // that are negative as 32-bit numbers, counts far beyond the file, odd types.
    void entriesWithRawCountsAndTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<uint>("count");
        QTest::addColumn<uint>("valueField");
        QTest::addColumn<QStringList>("middle"); // empty: the IFD fails at this entry

        QTest::newRow("BYTE, count 0") << int(Byte) << 0u << 0u << QStringList{"ImageWidth="};
        QTest::newRow("ASCII, count 0") << int(Ascii) << 0u << 0u << QStringList{"ImageWidth="};
        QTest::newRow("SHORT, count 0") << int(Short) << 0u << 0u << QStringList{"ImageWidth="};
        QTest::newRow("UNDEFINED, count 0") << int(Undefined) << 0u << 0u << QStringList{"ImageWidth="};
        QTest::newRow("LONG, count 0 prints the field")
            << int(Long) << 0u << 1234u << QStringList{"ImageWidth=1234"};
        QTest::newRow("SLONG, count 0 prints the field")
            << int(SLong) << 0u << 0xFFFFFFFFu << QStringList{"ImageWidth=-1"};
        QTest::newRow("RATIONAL, count 0") << int(Rational) << 0u << 8u << QStringList{"ImageWidth="};
        QTest::newRow("SRATIONAL, count 0, offset outside the section")
            << int(SRational) << 0u << 65536u << QStringList{};

        // Counts of 2^31 and more read as negative ones: no element, but the offset is still sought.
        QTest::newRow("ASCII, count 4000000000")
            << int(Ascii) << 4000000000u << 8u << QStringList{"ImageWidth="};
        QTest::newRow("UNDEFINED, count 4000000000")
            << int(Undefined) << 4000000000u << 8u << QStringList{"ImageWidth="};
        QTest::newRow("ASCII, count 4000000000, offset outside the section")
            << int(Ascii) << 4000000000u << 65536u << QStringList{};
        QTest::newRow("BYTE, count 2^31") << int(Byte) << 0x80000000u << 8u << QStringList{"ImageWidth="};
        QTest::newRow("RATIONAL, count 2^32-1")
            << int(Rational) << 0xFFFFFFFFu << 8u << QStringList{"ImageWidth="};

        // Offsets are 32-bit: ExifStart (12) + 0xFFFFFFFA is file offset 6, the "Exif" header.
        QTest::newRow("offset wrapping round")
            << int(Ascii) << 6u << 0xFFFFFFFAu << QStringList{"ImageWidth=Exif"};
        QTest::newRow("offset wrapping to a negative one") << int(Byte) << 5u << 0x80000000u << QStringList{};

        for (const Type type : {Byte, Ascii, Short, Long, Rational, Undefined, SLong, SRational}) {
            QTest::addRow("type %d, count 2^31-1", int(type))
                << int(type) << 0x7FFFFFFFu << 8u << QStringList{};
            QTest::addRow("type %d, count 100000", int(type)) << int(type) << 100000u << 8u << QStringList{};
            QTest::addRow("type %d, offset outside the section", int(type))
                << int(type) << 9u << 65536u << QStringList{};
        }
        for (const int type : {0, int(SByte), int(SShort), int(Float), int(Double), 13, 0xFFFF})
            QTest::addRow("unprintable type %d", type) << type << 1u << 0u << QStringList{};
    }

    void entriesWithRawCountsAndTypes()
    {
        QFETCH(int, type);
        QFETCH(uint, count);
        QFETCH(uint, valueField);
        QFETCH(QStringList, middle);
        for (const ByteOrder order : BothOrders) {
            int ifd0 = 0;
            TiffBuilder tiff = AroundEntry(order, ifd0);
            tiff.AddRaw(ifd0, tag::ImageWidth, static_cast<uint16_t>(type), count, valueField)
                .Add(ifd0, tag::ResolutionUnit, Short, {2});
            const QStringList expected =
                middle.isEmpty() ? QStringList{"Orientation=1"} : LinesAround(middle);
            QCOMPARE(Read(ExifJpeg(tiff)), expected);
        }
    }

    void valuesMustLieInTheFile()
    {
        const QByteArray trailing("0123456789");
        for (const ByteOrder order : BothOrders) {
            for (const uint32_t count : {10u, 11u}) {
                TiffBuilder tiff(order);
                const int ifd0 = tiff.AddIfd();
                tiff.AddRaw(ifd0, tag::Make, Ascii, count, 0).Add(ifd0, tag::Orientation, Short, {1});
                // The value field is the one thing changed, so the file keeps its size.
                const qsizetype exifStart = 12;
                const auto lastTen = static_cast<uint32_t>(ExifJpeg(tiff, trailing).size() - exifStart - 10);
                TiffBuilder placed(order);
                const int placedIfd0 = placed.AddIfd();
                placed.AddRaw(placedIfd0, tag::Make, Ascii, count, lastTen)
                    .Add(placedIfd0, tag::Orientation, Short, {1});
                const QStringList expected =
                    count == 10 ? QStringList{"Make=0123456789", "Orientation=1"} : QStringList{};
                QCOMPARE(Read(ExifJpeg(placed, trailing)), expected);
            }
        }
    }

    void valuesMustLieInTheExifSection()
    {
        const QByteArray filler(70000, 'A');
        for (const ByteOrder order : BothOrders) {
            for (const uint32_t count : {536u, 537u}) {
                // ExifStart + 65000 + 536 is the first byte past the 64 KiB section.
                TiffBuilder tiff(order);
                const int ifd0 = tiff.AddIfd();
                tiff.AddRaw(ifd0, tag::Make, Ascii, count, 65000).Add(ifd0, tag::Orientation, Short, {1});
                const QStringList expected =
                    count == 536 ? QStringList{"Make=" + QString(536, u'A'), "Orientation=1"} : QStringList{};
                QCOMPARE(Read(ExifJpeg(tiff, filler)), expected);
            }
        }
    }

    // One GPS IFD, reached through many pointers, whose only entry claims far more values
    // than the file holds: each read must fail at once, without allocating or reading
    // the count's worth.
    void hugeCountsFailWithoutCost_data()
    {
        QTest::addColumn<int>("type");
        for (const Type type : {Byte, Ascii, Short, Long, Rational, Undefined, SLong, SRational})
            QTest::addRow("type %d", int(type)) << int(type);
    }

    void hugeCountsFailWithoutCost()
    {
        QFETCH(int, type);
        const int pointers = 1000;
        TiffBuilder tiff(BigEndian);
        const int ifd0 = tiff.AddIfd();
        const int gps = tiff.AddIfd();
        for (int i = 0; i < pointers; ++i)
            tiff.AddPointer(ifd0, tag::GpsPointer, gps);
        tiff.AddRaw(gps, tag::GpsLatitude, static_cast<uint16_t>(type), 0x7FFFFFFF, 8);
        const QStringList lines = Read(ExifJpeg(tiff, QByteArray(200000, '\x41')));
        QCOMPARE(lines, QStringList(pointers, QStringLiteral("GPS Info Pointer=[ ERROR ]")));
    }

    void unknownTagsAreNamedByNumber()
    {
        TiffBuilder tiff(LittleEndian);
        const int ifd0 = tiff.AddIfd();
        const int gps = tiff.AddIfd();
        tiff.Add(ifd0, 0xA420, Short, {7})
            .AddPointer(ifd0, tag::GpsPointer, gps)
            .Add(gps, tag::ImageWidth, Short, {8})
            .Add(gps, 0x001B, Short, {9});
        QCOMPARE(Read(ExifJpeg(tiff)), (QStringList{"Tag A420=7", "Tag 0100=8", "Tag 001B=9"}));
    }

    void gpsPointerBeyondTheSectionGivesAnErrorLine()
    {
        for (const ByteOrder order : BothOrders) {
            TiffBuilder tiff(order);
            const int ifd0 = tiff.AddIfd();
            const int ifd1 = tiff.AddIfd();
            tiff.AddAscii(ifd0, tag::Make, QByteArray("Pixly", 6))
                .AddRaw(ifd0, tag::GpsPointer, Long, 1, 65536)
                .Add(ifd0, tag::Orientation, Short, {1})
                .SetNext(ifd0, ifd1)
                .Add(ifd1, tag::Compression, Short, {6});
            QCOMPARE(Read(ExifJpeg(tiff)), (QStringList{"Make=Pixly", "GPS Info Pointer=[ ERROR ]",
                                                        "Orientation=1", "Compression=6"}));
        }
    }

    void floatEntryEndsTheExifIfd()
    {
        for (const ByteOrder order : BothOrders) {
            TiffBuilder tiff(order);
            const int ifd0 = tiff.AddIfd();
            const int exif = tiff.AddIfd();
            const int linked = tiff.AddIfd();
            tiff.AddPointer(ifd0, tag::ExifPointer, exif)
                .Add(ifd0, tag::Orientation, Short, {1})
                .Add(exif, tag::ExposureTime, Rational, {1, 250})
                .AddRaw(exif, 0x9206, Float, 1, 0x3F800000)
                .Add(exif, tag::FNumber, Rational, {28, 10})
                .SetNext(exif, linked)
                .Add(linked, tag::Flash, Short, {1});
            QCOMPARE(Read(ExifJpeg(tiff)),
                     (QStringList{"ExposureTime=1/250", "Exif IFD=[ ERROR ]", "Orientation=1"}));
        }
    }

    void nextIfdLinks_data()
    {
        QTest::addColumn<bool>("inExifIfd");
        QTest::addColumn<uint>("next");
        QTest::addColumn<QStringList>("expected");
        const QStringList ifd0Lines{"Make=Pixly", "ExposureTime=1/250"};
        QTest::newRow("IFD0, 65536") << false << 65536u << ifd0Lines;
        QTest::newRow("IFD0, 2^32-1") << false << 0xFFFFFFFFu << ifd0Lines;
        QTest::newRow("IFD0, to IFD1") << false << 0u << ifd0Lines + QStringList{"Compression=6"};
        QTest::newRow("Exif IFD, 65536")
            << true << 65536u << QStringList{"Make=Pixly", "ExposureTime=1/250", "Exif IFD=[ ERROR ]"};
        QTest::newRow("Exif IFD, to a linked IFD")
            << true << 0u << QStringList{"Make=Pixly", "ExposureTime=1/250", "Compression=6"};
    }

    void nextIfdLinks()
    {
        QFETCH(bool, inExifIfd);
        QFETCH(uint, next);
        QFETCH(QStringList, expected);
        for (const ByteOrder order : BothOrders) {
            TiffBuilder tiff(order);
            const int ifd0 = tiff.AddIfd();
            const int exif = tiff.AddIfd();
            const int linked = tiff.AddIfd();
            tiff.AddAscii(ifd0, tag::Make, QByteArray("Pixly", 6))
                .AddPointer(ifd0, tag::ExifPointer, exif)
                .Add(exif, tag::ExposureTime, Rational, {1, 250})
                .Add(linked, tag::Compression, Short, {6});
            const int linking = inExifIfd ? exif : ifd0;
            if (next == 0)
                tiff.SetNext(linking, linked);
            else
                tiff.SetNextRaw(linking, next);
            QCOMPARE(Read(ExifJpeg(tiff)), expected);
        }
    }

    void longChainOfLinkedIfdsIsReadWhole()
    {
        TiffBuilder tiff(BigEndian);
        QStringList expected;
        for (int i = 0; i < 10; ++i) {
            const int ifd = tiff.AddIfd();
            tiff.Add(ifd, tag::ImageWidth, Short, {i});
            if (i > 0) tiff.SetNext(i - 1, ifd);
            expected.append(QStringLiteral("ImageWidth=%1").arg(i));
        }
        QCOMPARE(Read(ExifJpeg(tiff)), expected);
    }

    void loopsEndInAFailedRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");
        for (const ByteOrder order : BothOrders) {
            const QString name = OrderName(order);
            {
                TiffBuilder tiff(order);
                const int ifd0 = tiff.AddIfd();
                tiff.AddAscii(ifd0, tag::Make, QByteArray("Pixly", 6)).SetNext(ifd0, ifd0);
                QTest::addRow("IFD0 links to itself, %s", qPrintable(name))
                    << ExifJpeg(tiff) << QStringList{"Make=Pixly"};
            }
            {
                TiffBuilder tiff(order);
                const int ifd0 = tiff.AddIfd();
                const int ifd1 = tiff.AddIfd();
                tiff.AddAscii(ifd0, tag::Make, QByteArray("Pixly", 6))
                    .SetNext(ifd0, ifd1)
                    .Add(ifd1, tag::Compression, Short, {6})
                    .SetNext(ifd1, ifd0);
                QTest::addRow("IFD1 links back to IFD0, %s", qPrintable(name))
                    << ExifJpeg(tiff) << QStringList{"Make=Pixly", "Compression=6"};
            }
            {
                TiffBuilder tiff(order);
                const int ifd0 = tiff.AddIfd();
                tiff.AddAscii(ifd0, tag::Make, QByteArray("Pixly", 6))
                    .AddPointer(ifd0, tag::ExifPointer, ifd0)
                    .Add(ifd0, tag::Orientation, Short, {1});
                QTest::addRow("Exif pointer to IFD0, %s", qPrintable(name))
                    << ExifJpeg(tiff) << QStringList{"Make=Pixly", "Exif IFD=[ ERROR ]", "Orientation=1"};
            }
            {
                TiffBuilder tiff(order);
                const int ifd0 = tiff.AddIfd();
                const int gps = tiff.AddIfd();
                tiff.AddPointer(ifd0, tag::GpsPointer, gps)
                    .Add(ifd0, tag::Orientation, Short, {1})
                    .Add(gps, tag::GpsVersionId, Byte, {2, 2, 0, 0})
                    .AddPointer(gps, tag::GpsPointer, gps)
                    .AddAscii(gps, tag::GpsLatitudeRef, QByteArray("N", 2));
                QTest::addRow("GPS IFD points at itself, %s", qPrintable(name))
                    << ExifJpeg(tiff)
                    << QStringList{"GPSVersionID=2,2,0,0", "Tag 8825=[ ERROR ]", "GPSLatitudeRef=N",
                                   "Orientation=1"};
            }
            {
                TiffBuilder tiff(order);
                const int ifd0 = tiff.AddIfd();
                const int exif = tiff.AddIfd();
                tiff.AddPointer(ifd0, tag::ExifPointer, exif)
                    .Add(ifd0, tag::Orientation, Short, {1})
                    .Add(exif, tag::ExposureTime, Rational, {1, 250})
                    .SetNext(exif, exif);
                QTest::addRow("Exif IFD links to itself, %s", qPrintable(name))
                    << ExifJpeg(tiff)
                    << QStringList{"ExposureTime=1/250", "Exif IFD=[ ERROR ]", "Orientation=1"};
            }
            {
                TiffBuilder tiff(order);
                const int ifd0 = tiff.AddIfd();
                const int exif = tiff.AddIfd();
                const int interop = tiff.AddIfd();
                tiff.AddPointer(ifd0, tag::ExifPointer, exif)
                    .AddPointer(exif, tag::InteropPointer, interop)
                    .Add(exif, tag::FNumber, Rational, {28, 10})
                    .AddAscii(interop, tag::InteropIndex, QByteArray("R98", 4))
                    .AddPointer(interop, tag::ExifPointer, exif);
                QTest::addRow("Interoperability IFD points back at the Exif IFD, %s", qPrintable(name))
                    << ExifJpeg(tiff)
                    << QStringList{"InteroperabilityIndex=R98", "Tag 8769=[ ERROR ]", "FNumber=28/10"};
            }
            {
                TiffBuilder tiff(order);
                const int ifd0 = tiff.AddIfd();
                const int exif = tiff.AddIfd();
                tiff.AddPointer(ifd0, tag::ExifPointer, exif)
                    .AddPointer(ifd0, tag::ExifPointer, exif)
                    .Add(exif, tag::Flash, Short, {16});
                QTest::addRow("an IFD shared by two pointers is no loop, %s", qPrintable(name))
                    << ExifJpeg(tiff) << QStringList{"Flash=16", "Flash=16"};
            }
        }
    }

    void loopsEndInAFailedRead()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QCOMPARE(Read(file), expected);
    }

    void deepNestingIsCutShort()
    {
        const QStringList lines = Read(ExifJpeg(NestedTiff(BigEndian, 1000)));
        // The deepest IFD read gets its child's error line; every IFD above it still
        // gives its own line, the outermost last.
        QVERIFY(lines.size() > 10);
        QVERIFY(lines.size() < 1000);
        QCOMPARE(lines.first(), QStringLiteral("Exif IFD=[ ERROR ]"));
        for (int i = 1; i < lines.size(); ++i)
            QCOMPARE(lines.at(i), QStringLiteral("ImageWidth=%1").arg(lines.size() - 1 - i));
    }

    void pointersFanningOutToSharedIfdsAreCutShort()
    {
        const int fanOut = 1000;
        const QStringList lines = Read(ExifJpeg(FanOutTiff(LittleEndian, fanOut)));
        // Read naively this block gives fanOut^3 lines.
        QVERIFY(lines.size() > fanOut);
        QVERIFY(lines.size() < 100 * fanOut);
        for (int i = 0; i < fanOut; ++i)
            QCOMPARE(lines.at(i), QStringLiteral("ImageWidth=%1").arg(i));
        QCOMPARE(lines.last(), QStringLiteral("Exif IFD=[ ERROR ]"));
    }

    void onlyTheFirstApp1SegmentIsExamined()
    {
        const QByteArray xmp = Segment(0xE1, QByteArray("http://ns.adobe.com/xap/1.0/\0<x/>", 34));
        QCOMPARE(Read(Jpeg({xmp, ExifSegment(CameraTiff(BigEndian).Build())})), QStringList{});
    }

    void filesWithoutExifDataGiveNoLines_data()
    {
        const QByteArray tiff = CameraTiff(BigEndian).Build();
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a JPEG") << QByteArray("GIF89a\x01\x00\x01\x00", 10);
        QTest::newRow("no marker after the start") << QByteArray("\xFF\xD8\x00\xE1", 4);
        QTest::newRow("end of image first") << QByteArray("\xFF\xD8\xFF\xD9", 4) + ExifSegment(tiff);
        QTest::newRow("scan data first") << Jpeg({}, ExifSegment(tiff));
        QTest::newRow("APP1 not Exif") << Jpeg({Segment(0xE1, "Exig\0\0" + tiff)});
        QTest::newRow("Exif without its zero word")
            << Jpeg({Segment(0xE1, QByteArray("Exif\0\1", 6) + tiff)});
        QTest::newRow("bad byte order") << Jpeg({ExifSegment("MI" + tiff.mid(2))});
        QTest::newRow("not 42") << Jpeg({ExifSegment(QByteArray("MM\0\x2B", 4) + tiff.mid(4))});
    }

    void filesWithoutExifDataGiveNoLines()
    {
        QFETCH(QByteArray, file);
        QCOMPARE(Read(file), QStringList{});
    }

    void readingPastTheEndBeforeIfd0Raises_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("one byte") << QByteArray("\xFF", 1);
        QTest::newRow("only the start of image") << QByteArray("\xFF\xD8", 2);
        QTest::newRow("segment longer than the file") << QByteArray("\xFF\xD8\xFF\xE0\x00\x50JFIF\0", 11);
        QTest::newRow("ends in the Exif header") << QByteArray("\xFF\xD8\xFF\xE1\x00\x10\x45\x78", 8);
        QTest::newRow("ends in the TIFF header") << QByteArray("\xFF\xD8\xFF\xE1\x00\x10\x45xif\0\0MM\0", 15);
    }

    void readingPastTheEndBeforeIfd0Raises()
    {
        QFETCH(QByteArray, file);
        QCOMPARE(ReadError(file), QStringLiteral("Out of bounds"));
    }

    void truncatedFilesNeverFailInsideTheIfds()
    {
        const QByteArray whole = ExifJpeg(CameraTiff(BigEndian));
        const qsizetype ifd0Reached = 12 + 8; // start of the TIFF header + its 8 bytes
        for (qsizetype size = 0; size <= whole.size(); ++size) {
            const QByteArray file = whole.left(size);
            if (size > 0 && size < ifd0Reached) {
                QCOMPARE(ReadError(file), QStringLiteral("Out of bounds"));
                continue;
            }
            const QStringList lines = Read(file);
            for (const QString& line : lines)
                QVERIFY2(CameraLines.contains(line) || line.endsWith(u"=[ ERROR ]"), qPrintable(line));
        }
    }

    void missingFileRaisesTheOpenError()
    {
        const QString path = dir_.filePath(QStringLiteral("missing.jpg"));
        QFile probe(path);
        QVERIFY(!probe.open(QIODevice::ReadOnly));
        const QString expected = QStringLiteral("Cannot open file \"%1\". %2")
                                     .arg(QDir::toNativeSeparators(path), probe.errorString());
        QStringList lines;
        try {
            ReadExif(path, lines);
            QFAIL("no error raised");
        } catch (const PixlyError& error) {
            QCOMPARE(error.message(), expected);
        }
        QVERIFY(lines.isEmpty());
    }

    void tagNamesComeFromTheKindsTable_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("name");
        QTest::newRow("IFD0 first") << 0 << 0x0100 << "ImageWidth";
        QTest::newRow("IFD0 last") << 0 << 0xA302 << "CFAPattern";
        QTest::newRow("Exif pointer") << 0 << 0x8769 << "Exif IFD";
        QTest::newRow("GPS pointer") << 0 << 0x8825 << "GPS Info Pointer";
        QTest::newRow("interoperability pointer") << 1 << 0xA005 << "Interoperability IFD Pointer";
        QTest::newRow("misspelt as written") << 1 << 0xA210 << "FicalPlaneResolutionUnit";
        QTest::newRow("Exif IFD") << 1 << 0x9286 << "UserComment";
        QTest::newRow("GPS first") << 2 << 0x0000 << "GPSVersionID";
        QTest::newRow("GPS last") << 2 << 0x001A << "GPSDestDistance";
        QTest::newRow("GPS DOP") << 2 << 0x000B << "GPSDOP";
        QTest::newRow("interoperability first") << 3 << 0x0001 << "InteroperabilityIndex";
        QTest::newRow("interoperability last") << 3 << 0x1002 << "RelatedImageLength";
        QTest::newRow("unknown in IFD0") << 0 << 0xA420 << "Tag A420";
        QTest::newRow("main tag in GPS IFD") << 2 << 0x0100 << "Tag 0100";
        QTest::newRow("GPS tag in IFD0") << 0 << 0x0001 << "Tag 0001";
        QTest::newRow("main tag in interoperability IFD") << 3 << 0x8769 << "Tag 8769";
        QTest::newRow("no such kind") << 4 << 0x0100 << "Tag 0100";
        QTest::newRow("highest tag") << 0 << 0xFFFF << "Tag FFFF";
    }

    void tagNamesComeFromTheKindsTable()
    {
        QFETCH(int, kind);
        QFETCH(int, tag);
        QFETCH(QString, name);
        QCOMPARE(TagName(kind, tag), name);
    }

    void cleanAsciiDropsControlCharacters_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("NUL terminated") << QByteArray("Canon", 6) << "Canon";
        QTest::newRow("spaces stay") << QByteArray("  a  b  ") << "  a  b  ";
        QTest::newRow("controls go") << QByteArray("\x01x\x1Fy\x7F\n", 6) << QString::fromUtf8("xy\x7F");
        QTest::newRow("Windows-1250") << QByteArray("P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD", 16)
                                      << QString::fromUtf8("Příliš žluťoučký");
    }

    void cleanAsciiDropsControlCharacters()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        QCOMPARE(CleanAscii(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestExifReader)
#include "tst_exifreader.moc"
