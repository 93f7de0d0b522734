#include "colourprofiles.h"
#include "filebytes.h"
#include "fileops/fileresult.h"
#include "formats/colourprofile.h"
#include "formats/jpegcodec.h"
#include "formats/pictureorientation.h"
#include "formatsamples.h"
#include "jpegsegments.h"
#include "resample/neareststretch.h"
#include "resample/resamplefile.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTest>

#include <optional>

#include <jerror.h>

#ifdef Q_OS_UNIX
#include "resourcelimits.h"

#include <unistd.h>
#endif

namespace {

// A smooth picture with some detail, so that a stretch that takes the wrong pixels shows.
QImage gradient(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y,
                           qRgb(x * 255 / size.width(), y * 255 / size.height(), (x * y) % 256 / 4 + 96));
    return image;
}

// The JPEG with an EXIF block and a comment right after its start marker.
QByteArray withMetadata(const QByteArray& jpeg)
{
    QByteArray exif("Exif\0\0MM\0\x2A\0\0\0\x08\0\0", 16);
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char((exif.size() + 2) >> 8)).append(char((exif.size() + 2) & 0xFF)).append(exif);
    const QByteArray comment("\xFF\xFE\0\x0Bholiday!!", 13);
    return jpeg.left(2) + app1 + comment + jpeg.mid(2);
}

// Names in the folder, the temporary files of a write included.
QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The quantisation table segments, which the encoder derives from the quality alone.
QByteArray quantisationTables(const QByteArray& jpeg)
{
    QByteArray tables;
    for (const JpegSegment& segment : JpegHeaderSegments(jpeg))
        if (segment.marker == 0xDB) {
            const int length = quint8(jpeg[segment.offset + 2]) << 8 | quint8(jpeg[segment.offset + 3]);
            tables += jpeg.mid(segment.offset, 2 + length);
        }
    return tables;
}

template <typename Error, typename Work> std::optional<Error> failureOf(Work work)
{
    try {
        work();
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

} // namespace

class TestResampleFile : public QObject {
    Q_OBJECT
private slots:
    void sidesAreRoundedHalvesToEven_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("50 % of 3072 x 2048") << QSize(3072, 2048) << 0.5 << QSize(1536, 1024);
        QTest::newRow("200 %") << QSize(640, 480) << 2.0 << QSize(1280, 960);
        QTest::newRow("33 % of 1000") << QSize(1000, 10) << 0.33 << QSize(330, 3);
        QTest::newRow("1023 and 1025 at 50 %") << QSize(1023, 1025) << 0.5 << QSize(512, 512);
        QTest::newRow("1021 and 1027 at 50 %") << QSize(1021, 1027) << 0.5 << QSize(510, 514);
        QTest::newRow("100 %") << QSize(333, 77) << 1.0 << QSize(333, 77);
        QTest::newRow("0 %") << QSize(3072, 2048) << 0.0 << QSize(0, 0);
        QTest::newRow("tiny picture at 33 %") << QSize(1, 40) << 0.33 << QSize(0, 13);
    }

    void sidesAreRoundedHalvesToEven()
    {
        QFETCH(QSize, source);
        QFETCH(double, factor);
        QFETCH(QSize, expected);
        QCOMPARE(ResampledSize(source, factor), expected);
    }

    void resampledFileHasTheNewSize_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("50 % of 3072 x 2048") << QSize(3072, 2048) << 50 << QSize(1536, 1024);
        QTest::newRow("200 %") << QSize(300, 200) << 200 << QSize(600, 400);
        QTest::newRow("33 % of 1000") << QSize(1000, 600) << 33 << QSize(330, 198);
        QTest::newRow("1 pixel wide at 150 %") << QSize(1, 30) << 150 << QSize(2, 45);
    }

    void resampledFileHasTheNewSize()
    {
        QFETCH(QSize, source);
        QFETCH(int, percent);
        QFETCH(QSize, expected);
        TestEnvironment env;
        const QString in = env.writeFile(QStringLiteral("in/a.jpg"),
                                         MakeJpeg(source.width(), source.height(), Qt::darkCyan));
        const QString out = QDir(env.makeFolder(QStringLiteral("out"))).filePath(QStringLiteral("a.jpg"));
        QVERIFY(ResampleFile(in, out, percent / 100.0));
        QCOMPARE(ReadJpegSize(FileBytes(out)), expected);
        QCOMPARE(ReadJpegSize(FileBytes(in)), source);
        // Written at quality 90, whatever quality the source had.
        const QByteArray quality90 =
            quantisationTables(EncodeJpeg(QImage(8, 8, QImage::Format_RGB32), 90, false));
        QVERIFY(quantisationTables(FileBytes(in)) != quality90);
        QCOMPARE(quantisationTables(FileBytes(out)), quality90);
    }

    void pixelsAreThoseOfTheStretch()
    {
        TestEnvironment env;
        const QImage picture = gradient({96, 64});
        const QByteArray jpeg = EncodeJpeg(picture, 95, false);
        const QString in = env.writeFile(QStringLiteral("a.jpg"), jpeg);
        const QString out = QDir(env.startDir()).filePath(QStringLiteral("b.jpg"));
        QVERIFY(ResampleFile(in, out, 0.75));
        const QImage decodedSource = DecodeJpeg(jpeg).image;
        const QImage result = DecodeJpeg(FileBytes(out)).image;
        QCOMPARE(result.size(), QSize(72, 48));
        int largest = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 72; ++x) {
                const QRgb expected = decodedSource.pixel(NearestStretch::SourceIndex(x, 96, 72),
                                                          NearestStretch::SourceIndex(y, 64, 48));
                const QRgb got = result.pixel(x, y);
                largest = std::max({largest, std::abs(qRed(expected) - qRed(got)),
                                    std::abs(qGreen(expected) - qGreen(got)),
                                    std::abs(qBlue(expected) - qBlue(got))});
            }
        // Only the new compression separates them.
        QVERIFY2(largest <= 24, qPrintable(QString::number(largest)));
    }

    void uprightPicturesAreTurnedBeforeTheStretch_data()
    {
        QTest::addColumn<int>("orientation");
        for (int orientation = 1; orientation <= 8; ++orientation)
            QTest::addRow("%d", orientation) << orientation;
    }

    void uprightPicturesAreTurnedBeforeTheStretch()
    {
        QFETCH(int, orientation);
        TestEnvironment env;
        const QSize stored(96, 64);
        const QByteArray jpeg = EncodeJpeg(gradient(stored), 95, false);
        const QString in = env.writeFile(QStringLiteral("a.jpg"), WithExifOrientation(jpeg, orientation));
        const QString out = QDir(env.startDir()).filePath(QStringLiteral("b.jpg"));
        QVERIFY(ResampleFile(in, out, 0.75, {}, PictureTurn::Upright));
        const QImage decodedSource = DecodeJpeg(jpeg).image;
        const QImage result = DecodeJpeg(FileBytes(out)).image;
        const QSize turned = OrientedSize(stored, orientation);
        QCOMPARE(result.size(), turned * 0.75);
        int largest = 0;
        for (int y = 0; y < result.height(); ++y)
            for (int x = 0; x < result.width(); ++x) {
                const QPoint turnedPixel(NearestStretch::SourceIndex(x, turned.width(), result.width()),
                                         NearestStretch::SourceIndex(y, turned.height(), result.height()));
                const QRgb expected = decodedSource.pixel(StoredPixel(turnedPixel, stored, orientation));
                const QRgb got = result.pixel(x, y);
                largest = std::max({largest, std::abs(qRed(expected) - qRed(got)),
                                    std::abs(qGreen(expected) - qGreen(got)),
                                    std::abs(qBlue(expected) - qBlue(got))});
            }
        QVERIFY2(largest <= 24, qPrintable(QString::number(largest)));
        // As stored, the same file keeps its sides.
        QVERIFY(ResampleFile(in, out, 0.75));
        QCOMPARE(ReadJpegSize(FileBytes(out)), stored * 0.75);
    }

    void scanStructureIsKept_data()
    {
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<int>("frameMarker");
        QTest::newRow("baseline in, baseline out") << false << 0xC0;
        QTest::newRow("progressive in, progressive out") << true << 0xC2;
    }

    void scanStructureIsKept()
    {
        QFETCH(bool, progressive);
        QFETCH(int, frameMarker);
        TestEnvironment env;
        const QString in =
            env.writeFile(QStringLiteral("a.jpg"), EncodeJpeg(gradient({80, 60}), 90, progressive));
        QVERIFY(ResampleFile(in, in, 0.5));
        const QByteArray result = FileBytes(in);
        QCOMPARE(JpegFrameMarker(result), frameMarker);
        QCOMPARE(DecodeJpeg(result).multipleScans, progressive);
        QCOMPARE(DecodeJpeg(result).image.size(), QSize(40, 30));
    }

    void greyPictureComesOutInColour()
    {
        TestEnvironment env;
        QImage grey(40, 30, QImage::Format_Grayscale8);
        grey.fill(120);
        QVERIFY(grey.save(QDir(env.startDir()).filePath(QStringLiteral("grey.jpg")), "JPEG"));
        const QString in = QDir(env.startDir()).filePath(QStringLiteral("grey.jpg"));
        QCOMPARE(JpegComponentCount(FileBytes(in)), 1);
        QVERIFY(ResampleFile(in, in, 0.5));
        QCOMPARE(JpegComponentCount(FileBytes(in)), 3);
    }

    void metadataIsNotCarriedOver()
    {
        TestEnvironment env;
        const QByteArray source = withMetadata(MakeJpeg(32, 32, Qt::red));
        QVERIFY(source.contains("Exif"));
        const QString in = env.writeFile(QStringLiteral("a.jpg"), source);
        QVERIFY(ResampleFile(in, in, 0.5));
        const QByteArray result = FileBytes(in);
        QVERIFY(!result.contains("Exif"));
        QVERIFY(!result.contains("holiday"));
        for (const JpegSegment& segment : JpegHeaderSegments(result))
            QVERIFY2(segment.marker == 0xE0 || segment.marker < 0xE0 || segment.marker > 0xEF,
                     qPrintable(QString::number(segment.marker, 16)));
        QCOMPARE(JpegHeaderSegments(result).first().marker, quint8(0xE0));
    }

    // The colour profile goes along while asked, and the rest of the metadata stays out.
    void colourProfileIsKeptWhileAsked_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<ProfileKeeping>("keeping");
        QTest::addColumn<QByteArray>("profile");
        const QByteArray embedded =
            withMetadata(WithIccProfile(MakeJpeg(32, 32, Qt::red), DisplayP3Profile(), 300));
        const QImage photo = gradient(QSize(32, 32));
        QTest::newRow("embedded, kept") << embedded << ProfileKeeping::Kept << DisplayP3Profile();
        QTest::newRow("embedded, dropped") << embedded << ProfileKeeping::Dropped << QByteArray();
        QTest::newRow("Adobe RGB by EXIF, kept")
            << JpegWithExif(photo, CameraColourSpaceExif(0xFFFF, QByteArray("R03", 4)))
            << ProfileKeeping::Kept << AdobeRgbProfile();
        QTest::newRow("none") << MakeJpeg(32, 32, Qt::red) << ProfileKeeping::Kept << QByteArray();
    }
    void colourProfileIsKeptWhileAsked()
    {
        QFETCH(QByteArray, source);
        QFETCH(ProfileKeeping, keeping);
        QFETCH(QByteArray, profile);
        TestEnvironment env;
        const QString in = env.writeFile(QStringLiteral("a.jpg"), source);
        QVERIFY(ResampleFile(in, in, 0.5, {}, PictureTurn::AsStored, keeping));
        const QByteArray result = FileBytes(in);
        QCOMPARE(DecodeJpeg(result).colourProfile, profile);
        QVERIFY(!result.contains("Exif"));
        QVERIFY(!result.contains("holiday"));
    }

    void anyExtensionIsReadAsJpeg()
    {
        TestEnvironment env;
        const QString in = env.writeFile(QStringLiteral("photo.bmp"), MakeJpeg(20, 20, Qt::blue));
        QVERIFY(ResampleFile(in, in, 0.5));
        QCOMPARE(ReadJpegSize(FileBytes(in)), QSize(10, 10));
    }

    void failuresLeaveTheTargetAsItWas_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QString>("message");
        const QByteArray small = MakeJpeg(16, 16, Qt::green);
        const QString tooLarge =
            QStringLiteral("JPEG error #%1: picture too large (%2 pixels)").arg(JERR_IMAGE_TOO_BIG);
        QTest::newRow("bitmap") << MakeBmp(8, 8, Qt::red) << 0.5
                                << QStringLiteral("JPEG error #%1").arg(JERR_NO_SOI);
        QTest::newRow("empty file") << QByteArray() << 0.5
                                    << QStringLiteral("JPEG error #%1").arg(JERR_INPUT_EMPTY);
        QTest::newRow("start marker only")
            << small.left(2) << 0.5 << QStringLiteral("JPEG error #%1").arg(JERR_NO_IMAGE);
        QTest::newRow("absurd header")
            << WithClaimedJpegSize(small, 65000, 65000) << 0.5 << tooLarge.arg("65000 x 65000");
        QTest::newRow("result beyond the limit")
            << WithClaimedJpegSize(small, 16000, 16000) << 2.0 << tooLarge.arg("32000 x 32000");
        QTest::newRow("side beyond what JPEG holds")
            << WithClaimedJpegSize(small, 40000, 100) << 2.0 << tooLarge.arg("80000 x 200");
    }

    void failuresLeaveTheTargetAsItWas()
    {
        QFETCH(QByteArray, source);
        QFETCH(double, factor);
        QFETCH(QString, message);
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("photos"));
        const QString in = env.writeFile(QStringLiteral("photos/a.jpg"), source);
        const QString existing = env.writeFile(QStringLiteral("photos/b.jpg"), MakeJpeg(8, 8, Qt::yellow));
        const QByteArray before = FileBytes(existing);
        const auto error = failureOf<JpegError>([&] { ResampleFile(in, existing, factor); });
        QVERIFY(error.has_value());
        QCOMPARE(error->message(), message);
        QCOMPARE(FileBytes(existing), before);
        QCOMPARE(FileBytes(in), source);
        QCOMPARE(entriesOf(folder), (QStringList{QStringLiteral("a.jpg"), QStringLiteral("b.jpg")}));
    }

    void sideOfZeroPixelsWritesNothing()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("photos"));
        const QString in = env.writeFile(QStringLiteral("photos/a.jpg"), MakeJpeg(1, 40, Qt::green));
        const QByteArray before = FileBytes(in);
        const QString elsewhere = QDir(folder).filePath(QStringLiteral("new.jpg"));
        const auto error = failureOf<EmptyResultError>([&] { ResampleFile(in, elsewhere, 0.33); });
        QVERIFY(error.has_value());
        QCOMPARE(error->size(), QSize(0, 13));
        QCOMPARE(error->source(), in);
        QCOMPARE(error->message(),
                 QStringLiteral("Obrázek %1 by po změně velikosti měl 0 × 13 bodů a takový obrázek "
                                "nelze uložit.")
                     .arg(in));
        QVERIFY(failureOf<EmptyResultError>([&] { ResampleFile(in, in, 0.0); }).has_value());
        QCOMPARE(FileBytes(in), before);
        QCOMPARE(entriesOf(folder), QStringList{QStringLiteral("a.jpg")});
    }

    void missingSourceIsReported()
    {
        TestEnvironment env;
        const QString missing = QDir(env.startDir()).filePath(QStringLiteral("gone.jpg"));
        const auto error = failureOf<PixlyError>([&] { ResampleFile(missing, missing, 0.5); });
        QVERIFY(error.has_value());
        QVERIFY2(error->message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(missing)),
                 qPrintable(error->message()));
        QVERIFY(!QFile::exists(missing));
    }

    void failedWriteKeepsTheOriginal()
    {
#ifdef Q_OS_UNIX
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("photos"));
        const QByteArray source = EncodeJpeg(gradient({600, 400}), 95, false);
        const QString in = env.writeFile(QStringLiteral("photos/a.jpg"), source);
        QVERIFY(source.size() > 20000);
        std::optional<PixlyError> error;
        {
            const FileSizeLimit fullDisk(5000);
            error = failureOf<PixlyError>([&] { ResampleFile(in, in, 1.0); });
        }
        QVERIFY(error.has_value());
        QVERIFY2(error->message().startsWith(QStringLiteral("Cannot write file \"%1\". ").arg(in)),
                 qPrintable(error->message()));
        QCOMPARE(FileBytes(in), source);
        QCOMPARE(entriesOf(folder), QStringList{QStringLiteral("a.jpg")});
#else
        QSKIP("needs a limit on file sizes");
#endif
    }

    void readOnlyFolderKeepsTheOriginal()
    {
#ifdef Q_OS_UNIX
        if (geteuid() == 0) QSKIP("root writes into read-only folders");
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("photos"));
        const QByteArray source = MakeJpeg(40, 40, Qt::red);
        const QString in = env.writeFile(QStringLiteral("photos/a.jpg"), source);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        const auto error = failureOf<PixlyError>([&] { ResampleFile(in, in, 0.5); });
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(error.has_value());
        QVERIFY2(error->message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(in)),
                 qPrintable(error->message()));
        QCOMPARE(FileBytes(in), source);
        QCOMPARE(entriesOf(folder), QStringList{QStringLiteral("a.jpg")});
#else
        QSKIP("needs POSIX permissions");
#endif
    }

    void temporaryFileThatCannotBeMadeKeepsTheOriginal()
    {
#ifdef Q_OS_UNIX
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("photos"));
        const QByteArray source = MakeJpeg(40, 40, Qt::red);
        const QString in = env.writeFile(QStringLiteral("photos/a.jpg"), source);
        std::optional<PixlyError> error;
        {
            const OneMoreFileLimit limit;
            error = failureOf<PixlyError>([&] { ResampleFile(in, in, 0.5); });
        }
        QVERIFY(error.has_value());
        QVERIFY2(error->message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(in)),
                 qPrintable(error->message()));
        QCOMPARE(FileBytes(in), source);
        QCOMPARE(entriesOf(folder), QStringList{QStringLiteral("a.jpg")});
#else
        QSKIP("needs a limit on open files");
#endif
    }

    void readOnlyFileIsNotWrittenOver()
    {
#ifdef Q_OS_UNIX
        if (geteuid() == 0) QSKIP("root writes over read-only files");
        TestEnvironment env;
        const QByteArray source = MakeJpeg(40, 40, Qt::red);
        const QString in = env.writeFile(QStringLiteral("a.jpg"), source);
        QFile::setPermissions(in, QFile::ReadOwner);
        const auto error = failureOf<PixlyError>([&] { ResampleFile(in, in, 0.5); });
        QVERIFY(error.has_value());
        QCOMPARE(error->message(),
                 QStringLiteral("Cannot create file \"%1\". ").arg(in) + SystemReason(EACCES));
        QCOMPARE(FileBytes(in), source);
#else
        QSKIP("needs POSIX permissions");
#endif
    }

    void folderInTheTargetsPlaceIsKept()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("out"));
        const QString target = env.makeFolder(QStringLiteral("out/a.jpg"));
        env.writeFile(QStringLiteral("out/a.jpg/inside.txt"), "kept");
        const QString in = env.writeFile(QStringLiteral("a.jpg"), MakeJpeg(40, 40, Qt::red));
        QVERIFY(failureOf<PixlyError>([&] { ResampleFile(in, target, 0.5); }).has_value());
        QVERIFY(QFileInfo(target).isDir());
        QCOMPARE(FileBytes(QDir(target).filePath(QStringLiteral("inside.txt"))), QByteArray("kept"));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("a.jpg")});
    }

    void declinedReplacementKeepsTheTarget()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("photos"));
        const QByteArray source = MakeJpeg(40, 40, Qt::red);
        const QString in = env.writeFile(QStringLiteral("photos/a.jpg"), source);
        bool asked = false;
        QVERIFY(!ResampleFile(in, in, 0.5, [&] {
            asked = true;
            return false;
        }));
        QVERIFY(asked);
        QCOMPARE(FileBytes(in), source);
        QCOMPARE(entriesOf(folder), QStringList{QStringLiteral("a.jpg")});
    }

    void inPlaceLeavesOnlyTheNewFile()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("photos"));
        const QString in = env.writeFile(QStringLiteral("photos/a.jpg"), MakeJpeg(64, 48, Qt::red));
        QVERIFY(ResampleFile(in, in, 0.5, [] { return true; }));
        QCOMPARE(ReadJpegSize(FileBytes(in)), QSize(32, 24));
        QCOMPARE(entriesOf(folder), QStringList{QStringLiteral("a.jpg")});
    }
};

QTEST_GUILESS_MAIN(TestResampleFile)
#include "tst_resamplefile.moc"
