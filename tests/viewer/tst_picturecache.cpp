#include "controls/picturebox.h"
#include "platform/jpegcodec.h"
#include "platform/picturefile.h"
#include "platform/pixlyerror.h"
#include "raisederror.h"
#include "testenvironment.h"
#include "viewer/areaaveragefit.h"
#include "viewer/picturecache.h"

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
            << noisyJpeg(3000, 2000) << "a.jpg" << kViewerBox << QSize(973, 649);
        QTest::newRow("portrait") << noisyJpeg(1200, 1800) << "b.JPEG" << kViewerBox << QSize(432, 649);
        QTest::newRow("wide, reduced to the width")
            << noisyJpeg(2400, 600) << "c.jpg" << kViewerBox << QSize(1009, 252);
        QTest::newRow("progressive, full screen box")
            << noisyJpeg(2000, 1500, 3, true) << "d.jpg" << QSize(1280, 1024) << QSize(1280, 960);
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
        QCOMPARE(shown.picture.image, expected.image);
        QCOMPARE(shown.picture.format, expected.format);
        QCOMPARE(shown.picture.data, contents);
        QCOMPARE(shown.fitted.size(), fittedSize);
        QCOMPARE(
            shown.fitted.size(),
            PictureBox::FitRect(expected.image.size(), box, PictureBox::Placement::ShrinkCentred).size());
        QCOMPARE(shown.fitted, FitPicture(expected.image, box));
        QCOMPARE(cache.DecodesOnCallingThread(), 1);
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

        cache.ReadAhead({next, previous});
        cache.WaitForReadAhead();
        const ShownPicture nextShown = cache.Load(next);
        const ShownPicture previousShown = cache.Load(previous);

        QCOMPARE(cache.DecodesOnCallingThread(), 0);
        QCOMPARE(cache.DecodesReadAhead(), 2);
        for (const auto& [shown, path] : {std::pair(nextShown, next), std::pair(previousShown, previous)}) {
            const LoadedPicture expected = LoadPictureFile(path);
            QCOMPARE(shown.picture.image, expected.image);
            QCOMPARE(shown.picture.data, expected.data);
            QCOMPARE(shown.fitted, FitPicture(expected.image, kViewerBox));
        }
    }

    void pictureBeingReadAheadIsDecodedOnce()
    {
        TestEnvironment environment;
        const QString path = environment.writeFile("big.jpg", noisyJpeg(3000, 2000, 9, true));
        PictureCache cache(kViewerBox);

        cache.ReadAhead({path});
        const ShownPicture shown = cache.Load(path);
        cache.WaitForReadAhead();

        QCOMPARE(cache.DecodesOnCallingThread() + cache.DecodesReadAhead(), 1);
        QCOMPARE(shown.picture.image, LoadPictureFile(path).image);
    }

    void boxSizeChangeRefitsKeptPicture()
    {
        TestEnvironment environment;
        const QString path = environment.writeFile("a.jpg", noisyJpeg(3000, 2000));
        PictureCache cache(kViewerBox);
        cache.ReadAhead({path});
        cache.WaitForReadAhead();

        cache.SetBoxSize(QSize(800, 600));
        const ShownPicture shown = cache.Load(path);

        QCOMPARE(shown.fitted.size(), QSize(800, 533));
        QCOMPARE(shown.fitted, FitPicture(shown.picture.image, QSize(800, 600)));
        QCOMPARE(cache.DecodesOnCallingThread(), 0);
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
        cache.ReadAhead({path});
        cache.WaitForReadAhead();

        QByteArray replacement = sameLength ? original : noisyJpeg(1200, 900, 12);
        if (sameLength)
            replacement[replacement.size() / 2] = char(replacement[replacement.size() / 2] ^ 0x55);
        const QDateTime before = QFileInfo(path).lastModified();
        rewrite(path, replacement);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(before.addSecs(10), QFileDevice::FileModificationTime));
        file.close();

        const ShownPicture shown = cache.Load(path);
        QCOMPARE(shown.picture.data, replacement);
        QCOMPARE(shown.picture.image, LoadPictureFile(path).image);
        QCOMPARE(cache.DecodesOnCallingThread(), 1);
    }

    void removedFileRaisesTheDecodersError()
    {
        TestEnvironment environment;
        const QString path = environment.writeFile("gone.jpg", noisyJpeg(800, 600));
        PictureCache cache(kViewerBox);
        cache.ReadAhead({path});
        cache.WaitForReadAhead();

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
        QTest::newRow("no decoder") << "anim.gif" << QByteArray("GIF89a")
                                    << "Unknown picture file extension (.gif)";
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

        cache.ReadAhead({bad, good});
        cache.WaitForReadAhead();
        QCOMPARE(cache.Load(good).picture.image.size(), QSize(800, 600));
        QCOMPARE(RaisedErrorOf([&] { cache.Load(bad); }), message);
        QCOMPARE(RaisedErrorOf([&] { LoadPictureFile(bad); }), message);
        // The error comes from decoding the file when asked, not from the stored attempt.
        QCOMPARE(cache.DecodesOnCallingThread(), 1);
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
            cache.ReadAhead({path});
            cache.WaitForReadAhead();
            QCOMPARE(cache.DecodesReadAhead(), 1);
        } else {
            QVERIFY(!RaisedErrorOf([&] { cache.Load(path); }).isEmpty());
        }
        if (cause == u"damaged") rewrite(path, picture);
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        std::filesystem::last_write_time(file, written);

        ShownPicture shown;
        QCOMPARE(RaisedErrorOf([&] { shown = cache.Load(path); }), QString());
        QCOMPARE(shown.picture.data, picture);
        QCOMPARE(shown.picture.image, LoadPictureFile(path).image);
    }

    void damagedJpegRaisesJpegError()
    {
        TestEnvironment environment;
        const QString path = environment.writeFile("empty.jpg", QByteArray());
        PictureCache cache(kViewerBox);
        QVERIFY_THROWS_EXCEPTION(JpegError, cache.Load(path));
    }

    // --- memory

    void atMostThreePicturesAreKept()
    {
        TestEnvironment environment;
        QStringList paths;
        for (int i = 0; i < 6; ++i)
            paths << environment.writeFile(QStringLiteral("%1.jpg").arg(i), noisyJpeg(1200, 800, 20 + i));
        PictureCache cache(kViewerBox);

        cache.ReadAhead(paths);
        cache.WaitForReadAhead();
        QCOMPARE(cache.PicturesKept(), 3);
        QCOMPARE(cache.DecodesReadAhead(), 3);

        for (int i = 0; i < paths.size(); ++i) {
            const ShownPicture shown = cache.Load(paths[i]);
            QCOMPARE(shown.picture.image, LoadPictureFile(paths[i]).image);
            cache.ReadAhead({paths[(i + 1) % 6], paths[(i + 5) % 6]});
            cache.WaitForReadAhead();
            QVERIFY(cache.PicturesKept() <= 3);
        }
    }

    void shownPictureIsNeverWrittenOver()
    {
        // Pictures of one size recycle each other's memory; one that the caller still holds, as
        // the picture box does the picture on screen, must keep its pixels.
        TestEnvironment environment;
        QStringList paths;
        for (int i = 0; i < 5; ++i)
            paths << environment.writeFile(QStringLiteral("%1.jpg").arg(i), noisyJpeg(1200, 800, 40 + i));
        PictureCache cache(kViewerBox);
        const ShownPicture held = cache.Load(paths[0]);
        const QImage heldPixels = held.picture.image.copy();
        const QImage heldFitted = held.fitted.copy();
        const QByteArray heldBytes(held.picture.data.constData(), held.picture.data.size());

        for (int round = 0; round < 3; ++round)
            for (int i = 1; i < paths.size(); ++i) {
                cache.ReadAhead({paths[(i + 1) % 5]});
                const ShownPicture shown = cache.Load(paths[i]);
                QCOMPARE(shown.picture.image, LoadPictureFile(paths[i]).image);
            }

        QCOMPARE(held.picture.image, heldPixels);
        QCOMPARE(held.fitted, heldFitted);
        QCOMPARE(held.picture.data, heldBytes);
    }

    void destroyingWhileReadingAheadStops()
    {
        TestEnvironment environment;
        QStringList paths;
        for (int i = 0; i < 3; ++i)
            paths << environment.writeFile(QStringLiteral("%1.jpg").arg(i),
                                           noisyJpeg(2000, 1500, 60 + i, true));
        auto cache = std::make_unique<PictureCache>(kViewerBox);
        cache->ReadAhead(paths);
        cache.reset();
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

    void rowsAreToldInOrderAndOnce()
    {
        const QByteArray jpeg = noisyJpeg(300, 517, 72, true);
        int next = 0;
        bool inOrder = true;
        const QImage decoded =
            DecodeJpegInto(jpeg, QImage(), [&](const QImage& picture, int first, int count) {
                inOrder = inOrder && first == next && count > 0 && picture.height() == 517;
                next = first + count;
            }).image;
        QVERIFY(inOrder);
        QCOMPARE(next, decoded.height());
    }

    void exceptionFromRowsAbandonsDecode()
    {
        const QByteArray jpeg = noisyJpeg(300, 300, 73);
        struct Stop {};
        bool stopped = false;
        try {
            DecodeJpegInto(jpeg, QImage(), [](const QImage&, int, int) { throw Stop{}; });
        } catch (const Stop&) {
            stopped = true;
        }
        QVERIFY(stopped);
    }
};

QTEST_MAIN(TestPictureCache)
#include "tst_picturecache.moc"
