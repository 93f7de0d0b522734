#include "controls/picturebox.h"
#include "formats/areaaveragefit.h"
#include "formats/jpegcodec.h"
#include "formats/picturefile.h"
#include "formats/pictureorientation.h"
#include "formats/screenpicture.h"
#include "jpegsegments.h"
#include "platform/pixlyerror.h"
#include "raisederror.h"
#include "recordingdialogs.h"
#include "testenvironment.h"
#include "viewer/picturecache.h"
#include "viewer/picturerequests.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>

namespace {

const QSize kViewerBox(1009, 649);

// Detail everywhere, so that a shifted, blurred or badly weighted reduction shows.
QImage noisyImage(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int grain = int(random.bounded(64));
            row[x] = qRgb((x / 7 + grain) & 255, (y / 5 + grain) & 255, ((x + y) / 11 + 2 * grain) & 255);
        }
    }
    return image;
}

// Smooth shading with fine grain, as photographs have.
QByteArray photoJpeg(int width, int height, quint32 seed = 1, bool progressive = false)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int grain = int(random.bounded(8));
            const double wave = std::sin(x / 37.0) * std::cos(y / 23.0);
            row[x] = qRgb(int(120 + 100 * wave) + grain, (x * 255 / width + grain) & 255,
                          (y * 200 / height) + grain);
        }
    }
    return EncodeJpeg(image, 90, progressive);
}

QByteArray noisyJpeg(int width, int height, quint32 seed = 1, bool progressive = false)
{
    return EncodeJpeg(noisyImage(width, height, seed), 90, progressive);
}

QImage fromRows(int width, const QList<QRgb>& pixels)
{
    QImage image(width, int(pixels.size()) / width, QImage::Format_RGB32);
    for (int i = 0; i < pixels.size(); ++i)
        image.setPixel(i % width, i / width, pixels[i]);
    return image;
}

double meanChannelDifference(const QImage& a, const QImage& b)
{
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return double(sum) / (3.0 * a.width() * a.height());
}

int largestChannelDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

// The area average computed directly: each source pixel weighs the part of it that the target
// pixel covers.
QImage areaAverage(const QImage& picture, const QSize& size)
{
    const double scaleX = double(picture.width()) / size.width(),
                 scaleY = double(picture.height()) / size.height();
    const auto cover = [](int pixel, double from, double to) {
        return std::max(0.0, std::min(pixel + 1.0, to) - std::max(double(pixel), from));
    };
    QImage result(size, QImage::Format_RGB32);
    for (int ty = 0; ty < size.height(); ++ty)
        for (int tx = 0; tx < size.width(); ++tx) {
            const double x0 = tx * scaleX, x1 = x0 + scaleX, y0 = ty * scaleY, y1 = y0 + scaleY;
            double red = 0, green = 0, blue = 0;
            for (int y = int(y0); y < std::min(picture.height(), int(std::ceil(y1))); ++y)
                for (int x = int(x0); x < std::min(picture.width(), int(std::ceil(x1))); ++x) {
                    const double weight = cover(x, x0, x1) * cover(y, y0, y1);
                    const QRgb pixel = picture.pixel(x, y);
                    red += weight * qRed(pixel);
                    green += weight * qGreen(pixel);
                    blue += weight * qBlue(pixel);
                }
            const double area = scaleX * scaleY;
            result.setPixel(tx, ty,
                            qRgb(int(red / area + 0.5), int(green / area + 0.5), int(blue / area + 0.5)));
        }
    return result;
}

void rewrite(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(contents), contents.size());
}

} // namespace

class TestPictureCache : public QObject {
    Q_OBJECT

private slots:
    // --- what Load gives

    void loadGivesDecodedAndFittedPicture_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("fittedSize");
        QTest::newRow("landscape, reduced to the height")
            << photoJpeg(3000, 2000) << "a.jpg" << kViewerBox << QSize(973, 649);
        QTest::newRow("portrait") << photoJpeg(1200, 1800) << "b.JPEG" << kViewerBox << QSize(432, 649);
        QTest::newRow("wide, reduced to the width")
            << photoJpeg(2400, 600) << "c.jpg" << kViewerBox << QSize(1009, 252);
        QTest::newRow("progressive, full screen box")
            << photoJpeg(2000, 1500, 3, true) << "d.jpg" << QSize(1280, 1024) << QSize(1280, 960);
        QTest::newRow("smaller than the box, not enlarged")
            << noisyJpeg(640, 480) << "e.jpg" << kViewerBox << QSize(640, 480);
        QTest::newRow("exactly the box") << noisyJpeg(1009, 649) << "f.jpg" << kViewerBox << QSize(1009, 649);
        QTest::newRow("bitmap") << MakeBmp(1600, 1200, QColor(10, 200, 30)) << "g.bmp" << kViewerBox
                                << QSize(865, 649);
    }

    void loadGivesDecodedAndFittedPicture()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, name);
        QFETCH(QSize, box);
        QFETCH(QSize, fittedSize);
        TestEnvironment environment;
        const QString path = environment.writeFile(name, contents);

        PictureCache cache(box);
        const ShownPicture shown = cache.Load(path);

        const LoadedPicture expected = LoadPictureFile(path);
        QVERIFY(shown.picture.image.isNull());
        QCOMPARE(shown.picture.format, expected.format);
        QCOMPARE(shown.picture.path, path);
        QCOMPARE(shown.picture.fullSize, expected.image.size());
        // Bitmaps are read again when saved; JPEGs are saved as the bytes they were shown from.
        QCOMPARE(shown.picture.data, expected.format == PictureFormat::Jpeg ? contents : QByteArray());
        QCOMPARE(shown.fitted.size(), fittedSize);
        QCOMPARE(
            shown.fitted.size(),
            PictureBox::FitRect(expected.image.size(), box, PictureBox::Placement::ShrinkCentred).size());
        // Decoded scaled on the way in, about as close to the whole picture fitted as Qt's smooth
        // scaling of it is (nearest-pixel reduction differs by over two levels).
        QVERIFY(meanChannelDifference(shown.fitted, FitPicture(expected.image, box)) < 1.0);
    }

    void fittingAveragesTheCoveredArea_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QImage>("expected");
        const QRgb a = qRgb(0, 0, 0), b = qRgb(255, 255, 255), c = qRgb(90, 30, 210), d = qRgb(3, 250, 120);
        QTest::newRow("halved: each 2 x 2 block averaged")
            << fromRows(4, {a, b, c, c, b, a, d, d}) << QSize(2, 1)
            << fromRows(2, {qRgb(128, 128, 128), qRgb(47, 140, 165)});
        // Three pixels into two: the middle one counts a third in each target pixel.
        QTest::newRow("three into two") << fromRows(3, {a, b, b, a, b, b, a, b, b}) << QSize(2, 2)
                                        << fromRows(2, {qRgb(85, 85, 85), b, qRgb(85, 85, 85), b});
    }

    void fittingAveragesTheCoveredArea()
    {
        QFETCH(QImage, picture);
        QFETCH(QSize, box);
        QFETCH(QImage, expected);
        QCOMPARE(FitPicture(picture, box), expected);
    }

    void fittingMatchesDirectAreaAverage_data()
    {
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<QSize>("box");
        QTest::newRow("uneven factors") << QSize(517, 301) << QSize(100, 100);
        QTest::newRow("factor just above one") << QSize(150, 110) << QSize(149, 200);
        QTest::newRow("over 256 rows per target row") << QSize(40, 1400) << QSize(100, 2);
        QTest::newRow("one row and column") << QSize(90, 60) << QSize(1, 1);
    }

    void fittingMatchesDirectAreaAverage()
    {
        QFETCH(QSize, pictureSize);
        QFETCH(QSize, box);
        const QImage picture = noisyImage(pictureSize.width(), pictureSize.height(), 9);
        const QImage fitted = FitPicture(picture, box);
        QCOMPARE(fitted.size(),
                 PictureBox::FitRect(pictureSize, box, PictureBox::Placement::ShrinkCentred).size());
        // Rounding of exact halves may differ by one.
        QVERIFY(largestChannelDifference(fitted, areaAverage(picture, fitted.size())) <= 1);
    }

    void fittingIsAsSharpAsSmoothScaling()
    {
        // Qt's smooth reduction also averages the covered area; on fine noise any blur, shift or
        // wrong weight would differ far more than rounding does.
        const QImage picture = noisyImage(2999, 2001, 5);
        const QImage fitted = FitPicture(picture, kViewerBox);
        const QImage smooth = picture.scaled(fitted.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY(largestChannelDifference(fitted, smooth) <= 2);
    }

    void fittingKeepsTransparencyOfOtherFormats()
    {
        QImage icon(400, 400, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        const QImage fitted = FitPicture(icon, QSize(100, 100));
        QCOMPARE(fitted.size(), QSize(100, 100));
        QCOMPARE(qAlpha(fitted.pixel(50, 50)), 0);
    }

    // --- reading ahead

    void readAheadPictureIsServedWithoutDecoding()
    {
        TestEnvironment environment;
        const QString next = environment.writeFile("next.jpg", noisyJpeg(2400, 1600, 7));
        const QString previous = environment.writeFile("previous.jpg", noisyJpeg(1600, 2400, 8, true));
        PictureCache cache(kViewerBox);

        cache.Plan(QString(), {next, previous});
        cache.WaitUntilIdle();
        const ShownPicture nextShown = cache.Load(next);
        const ShownPicture previousShown = cache.Load(previous);

        QCOMPARE(cache.Decodes(), 2);
        QCOMPARE(nextShown.picture.data, LoadPictureFile(next).data);
        QCOMPARE(previousShown.fitted.size(), QSize(432, 649));
    }

    void pictureBeingReadAheadIsDecodedOnce()
    {
        TestEnvironment environment;
        const QString path = environment.writeFile("big.jpg", noisyJpeg(3000, 2000, 9, true));
        PictureCache cache(kViewerBox);

        cache.Plan(QString(), {path});
        const ShownPicture shown = cache.Load(path);
        cache.WaitUntilIdle();

        QCOMPARE(cache.Decodes(), 1);
        QCOMPARE(shown.fitted.size(), QSize(973, 649));
    }

    void boxSizeChangeFitsAgain()
    {
        TestEnvironment environment;
        const QString path = environment.writeFile("a.jpg", noisyJpeg(3000, 2000));
        PictureCache cache(kViewerBox);
        cache.Load(path);

        cache.SetShape(QSize(800, 600));
        QCOMPARE(cache.Load(path).fitted.size(), QSize(800, 533));
    }

    // Kept pictures stay within the budget, at screen size only.
    void budgetLimitsWhatIsReadAhead()
    {
        TestEnvironment environment;
        QStringList paths;
        for (int i = 0; i < 6; ++i)
            paths << environment.writeFile(QStringLiteral("%1.jpg").arg(i), noisyJpeg(2000, 1400, 20 + i));
        const qint64 onePicture = 4 * 927 * 649 + QFileInfo(paths[0]).size();
        PictureCache cache(kViewerBox, {}, 3 * onePicture);

        cache.Plan(paths[0], paths.mid(1));
        cache.WaitUntilIdle();
        const QList<QSize> kept = cache.KeptSizes();
        QVERIFY(kept.size() >= 2 && kept.size() <= 3);
        for (const QSize& size : kept)
            QCOMPARE(size, QSize(927, 649));
    }

    // --- what changed on disk since it was read ahead

    void changedFileIsReadAgain_data()
    {
        QTest::addColumn<bool>("sameLength");
        QTest::newRow("other length") << false;
        QTest::newRow("same length, newer time") << true;
    }

    void changedFileIsReadAgain()
    {
        QFETCH(bool, sameLength);
        TestEnvironment environment;
        const QByteArray original = noisyJpeg(1500, 1000, 11);
        const QString path = environment.writeFile("a.jpg", original);
        PictureCache cache(kViewerBox);
        cache.Plan(QString(), {path});
        cache.WaitUntilIdle();

        QByteArray replacement = sameLength ? original : noisyJpeg(1200, 900, 12);
        if (sameLength)
            replacement[replacement.size() / 2] = char(replacement[replacement.size() / 2] ^ 0x55);
        const QDateTime before = QFileInfo(path).lastModified();
        rewrite(path, replacement);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(before.addSecs(10), QFileDevice::FileModificationTime));
        file.close();

        QCOMPARE(cache.Load(path).picture.data, replacement);
        QCOMPARE(cache.Decodes(), 2);
    }

    void removedFileRaisesTheDecodersError()
    {
        TestEnvironment environment;
        const QString path = environment.writeFile("gone.jpg", noisyJpeg(800, 600));
        PictureCache cache(kViewerBox);
        cache.Plan(QString(), {path});
        cache.WaitUntilIdle();

        QVERIFY(QFile::remove(path));
        const QString expected = RaisedErrorOf([&] { LoadPictureFile(path); });
        QVERIFY(!expected.isEmpty());
        QCOMPARE(RaisedErrorOf([&] { cache.Load(path); }), expected);
    }

    // --- errors

    void errorReadAheadIsRaisedWhenLoaded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty JPEG") << "empty.jpg" << QByteArray() << "JPEG error #42";
        QTest::newRow("JPEG named as a bitmap")
            << "photo.bmp" << noisyJpeg(64, 64) << "Bitmap image is not valid";
        QTest::newRow("no decoder") << "layers.psd" << QByteArray("8BPS")
                                    << "Unknown picture file extension (.psd)";
    }

    void errorReadAheadIsRaisedWhenLoaded()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        TestEnvironment environment;
        const QString bad = environment.writeFile(name, contents);
        const QString good = environment.writeFile("good.jpg", noisyJpeg(800, 600));
        PictureCache cache(kViewerBox);

        cache.Plan(QString(), {bad, good});
        cache.WaitUntilIdle();
        QCOMPARE(cache.Load(good).fitted.size(), QSize(800, 600));
        // Kept, but no longer ahead: nothing reads it again after its error has been told.
        cache.Plan(good, {}, {bad});
        QCOMPARE(RaisedErrorOf([&] { cache.Load(bad); }), message);
        QCOMPARE(RaisedErrorOf([&] { LoadPictureFile(bad); }), message);
        // The error comes from reading the file when asked, not from the stored attempt.
        QCOMPARE(cache.Decodes(), 3);
    }

    void failureIsNeverServedAgain_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<bool>("readAhead");
        for (const bool readAhead : {true, false}) {
            const char* how = readAhead ? "read ahead" : "loaded";
            QTest::addRow("damaged, then mended, %s", how) << "damaged" << readAhead;
            QTest::addRow("unreadable, then readable, %s", how) << "unreadable" << readAhead;
        }
    }

    // What stops the reading goes away without changing the file's size or time.
    void failureIsNeverServedAgain()
    {
        QFETCH(QString, cause);
        QFETCH(bool, readAhead);
        TestEnvironment environment;
        const QByteArray picture = noisyJpeg(800, 600, 13);
        QByteArray damaged = picture;
        damaged[0] = 0; // no start-of-image marker
        const QString path = environment.writeFile("next.jpg", cause == u"damaged" ? damaged : picture);
        const std::filesystem::path file = QFileInfo(path).filesystemFilePath();
        const auto written = std::filesystem::last_write_time(file);
        if (cause == u"unreadable") {
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
            if (QFile(path).open(QIODevice::ReadOnly)) QSKIP("permissions do not stop this user reading");
        }
        PictureCache cache(kViewerBox);

        if (readAhead) {
            cache.Plan(QString(), {path});
            cache.WaitUntilIdle();
            QCOMPARE(cache.Decodes(), 1);
        } else {
            QVERIFY(!RaisedErrorOf([&] { cache.Load(path); }).isEmpty());
        }
        if (cause == u"damaged") rewrite(path, picture);
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        std::filesystem::last_write_time(file, written);

        ShownPicture shown;
        QCOMPARE(RaisedErrorOf([&] { shown = cache.Load(path); }), QString());
        QCOMPARE(shown.picture.data, picture);
    }

    void damagedJpegRaisesJpegError()
    {
        TestEnvironment environment;
        const QString path = environment.writeFile("empty.jpg", QByteArray());
        PictureCache cache(kViewerBox);
        QVERIFY_THROWS_EXCEPTION(JpegError, cache.Load(path));
    }

    void destroyingWhileReadingAheadStops()
    {
        TestEnvironment environment;
        QStringList paths;
        for (int i = 0; i < 3; ++i)
            paths << environment.writeFile(QStringLiteral("%1.jpg").arg(i),
                                           noisyJpeg(2000, 1500, 60 + i, true));
        auto cache = std::make_unique<PictureCache>(kViewerBox);
        cache->Plan(paths[0], paths.mid(1));
        cache.reset();
    }

    // --- steps that follow each other faster than pictures decode

    // Only the picture asked for last is drawn; those passed on the way never report errors.
    void burstOfRequestsDrawsOnlyTheLast()
    {
        TestEnvironment environment;
        RecordingDialogs dialogs;
        const QStringList paths{environment.writeFile("a.jpg", noisyJpeg(2000, 1500, 80, true)),
                                environment.writeFile("b.jpg", MakeLateFailingJpeg(1500, 1000)),
                                environment.writeFile("c.jpg", noisyJpeg(1800, 1200, 81, true)),
                                environment.writeFile("d.jpg", noisyJpeg(1200, 1600, 82))};
        QStringList drawn;
        PictureRequests requests(kViewerBox, [&](const ShownPicture& shown) { drawn << shown.picture.path; });

        for (const QString& path : paths)
            requests.Show(path, {});
        QTRY_VERIFY(!requests.Pending());
        requests.Cache().WaitUntilIdle();
        QCoreApplication::processEvents();

        QCOMPARE(drawn.last(), paths.last());
        QVERIFY(!drawn.contains(paths[1]));
        QCOMPARE(dialogs.count(), 0);
    }

    void failingPictureAskedForLastReportsItsError()
    {
        TestEnvironment environment;
        RecordingDialogs dialogs;
        const QString good = environment.writeFile("a.jpg", noisyJpeg(800, 600, 83));
        const QString bad = environment.writeFile("b.jpg", MakeLateFailingJpeg(1500, 1000));
        PictureRequests requests(kViewerBox, [](const ShownPicture&) {});

        requests.Show(good, {});
        requests.Show(bad, {});
        QTRY_COMPARE(dialogs.count(), 1);
        QVERIFY(dialogs.last().text.startsWith(QStringLiteral("JPEG error #")));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Vendrax"));
        QVERIFY(!requests.Pending());
    }

    // A portrait photo stored on its side fills the box as a portrait, and its fitted picture is
    // turned, not a full-size one.
    void uprightPicturesFitTurned_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("upright");
        QTest::addColumn<QSize>("fitted");
        QTest::newRow("6 upright") << 6 << true << QSize(486, 649);
        QTest::newRow("8 upright") << 8 << true << QSize(486, 649);
        QTest::newRow("3 upright") << 3 << true << QSize(865, 649);
        QTest::newRow("6 as stored") << 6 << false << QSize(865, 649);
    }

    void uprightPicturesFitTurned()
    {
        QFETCH(int, orientation);
        QFETCH(bool, upright);
        QFETCH(QSize, fitted);
        TestEnvironment environment;
        QImage stored(1600, 1200, QImage::Format_RGB32);
        stored.fill(Qt::white);
        for (int y = 0; y < 300; ++y)
            std::fill_n(reinterpret_cast<QRgb*>(stored.scanLine(y)), 400, qRgb(255, 0, 0));
        const QByteArray jpeg = WithExifOrientation(EncodeJpeg(stored, 90, false), orientation);
        const QString path = environment.writeFile("phone.jpg", jpeg);
        const ShownPicture shown = ReadShownPicture(path, PictureShape(kViewerBox, upright));
        QCOMPARE(shown.fitted.size(), fitted);
        // The red corner lands where the orientation turns the stored top left.
        const int turnedTo = upright ? orientation : 1;
        const QSize turned = OrientedSize(stored.size(), turnedTo);
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(turned.width() - 1, 0), QPoint(0, turned.height() - 1),
              QPoint(turned.width() - 1, turned.height() - 1)}) {
            const QPoint shownCorner(corner.x() ? fitted.width() - 1 : 0,
                                     corner.y() ? fitted.height() - 1 : 0);
            const bool red = StoredPixel(corner, stored.size(), turnedTo) == QPoint(0, 0);
            QCOMPARE(qRed(shown.fitted.pixel(shownCorner)) > 200 &&
                         qGreen(shown.fitted.pixel(shownCorner)) < 60,
                     red);
        }
        QCOMPARE(shown.picture.data, jpeg);
    }

    // --- the decoder's DCT scaling

    void scaledDecodeTakesTheSmallestScaleAtLeastAsked_data()
    {
        QTest::addColumn<QSize>("full");
        QTest::addColumn<QSize>("atLeast");
        QTest::addColumn<QSize>("decoded");
        QTest::newRow("a quarter") << QSize(4000, 2000) << QSize(973, 486) << QSize(1000, 500);
        QTest::newRow("three eighths") << QSize(3000, 2000) << QSize(973, 649) << QSize(1125, 750);
        QTest::newRow("rounded up") << QSize(1001, 999) << QSize(120, 120) << QSize(126, 125);
        QTest::newRow("full size") << QSize(640, 480) << QSize(640, 480) << QSize(640, 480);
        QTest::newRow("nothing asked") << QSize(640, 480) << QSize() << QSize(640, 480);
    }

    void scaledDecodeTakesTheSmallestScaleAtLeastAsked()
    {
        QFETCH(QSize, full);
        QFETCH(QSize, atLeast);
        QFETCH(QSize, decoded);
        JpegScaling scaling;
        scaling.atLeast = [atLeast](const QSize&) { return atLeast; };
        const DecodedJpeg result = DecodeJpegScaled(noisyJpeg(full.width(), full.height(), 84), scaling);
        QCOMPARE(result.image.size(), decoded);
        QCOMPARE(result.fullSize, full);
    }

    // Reading the scans of a progressive file already stops when the decode is abandoned.
    void checkpointAbandonsWhileScansAreRead()
    {
        const QByteArray jpeg = noisyJpeg(1200, 900, 85, true);
        struct Stop {};
        int calls = 0;
        JpegScaling scaling;
        scaling.checkpoint = [&calls] {
            if (++calls == 3) throw Stop{};
        };
        bool stopped = false;
        try {
            DecodeJpegScaled(jpeg, scaling);
        } catch (const Stop&) {
            stopped = true;
        }
        QVERIFY(stopped);
        QCOMPARE(calls, 3);
    }

    // --- the decoder's buffer reuse

    void exclusiveBufferIsReused()
    {
        const QByteArray jpeg = noisyJpeg(640, 480, 70);
        QImage buffer(640, 480, QImage::Format_RGB32);
        const uchar* memory = buffer.constBits();
        const QImage decoded = DecodeJpegInto(jpeg, std::move(buffer)).image;
        QCOMPARE(decoded.constBits(), memory);
        QCOMPARE(decoded, DecodeJpeg(jpeg).image);
    }

    void sharedBufferIsNeverWrittenOver_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("same size") << QSize(640, 480);
        QTest::newRow("other size") << QSize(320, 240);
    }

    void sharedBufferIsNeverWrittenOver()
    {
        QFETCH(QSize, size);
        const QByteArray jpeg = noisyJpeg(640, 480, 71);
        QImage held(size, QImage::Format_RGB32);
        held.fill(qRgb(1, 2, 3));
        const QImage heldPixels = held.copy();

        const QImage decoded = DecodeJpegInto(jpeg, held).image;

        QCOMPARE(held, heldPixels);
        QVERIFY(decoded.constBits() != held.constBits());
        QCOMPARE(decoded, DecodeJpeg(jpeg).image);
    }
};

QTEST_MAIN(TestPictureCache)
#include "tst_picturecache.moc"
