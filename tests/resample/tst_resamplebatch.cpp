#include "filebytes.h"
#include "formats/jpegcodec.h"
#include "platform/pixlyerror.h"
#include "resample/resamplebatch.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <optional>

namespace {

// A folder of pictures named 1.jpg, 2.jpg, ... in list order; null entries are not JPEG data.
struct Folder {
    TestEnvironment env;
    QString path = env.makeFolder(QStringLiteral("photos"));
    QList<ResampleJob> jobs;
    QList<QByteArray> originals;

    explicit Folder(const QList<QByteArray>& pictures)
    {
        for (int i = 0; i < pictures.size(); ++i) {
            const QString file = env.writeFile(QStringLiteral("photos/%1.jpg").arg(i + 1), pictures[i]);
            jobs.append({file, file});
            originals.append(pictures[i]);
        }
    }
    QSize sizeOf(int index) const { return ReadJpegSize(FileBytes(jobs[index].target)); }
    bool untouched(int index) const { return FileBytes(jobs[index].source) == originals[index]; }
};

QByteArray picture(int width = 64, int height = 48)
{
    return MakeJpeg(width, height, Qt::darkGreen);
}

template <typename Error> std::optional<Error> runFailure(ResampleBatch& batch, QList<int>* told = nullptr)
{
    try {
        batch.Run([told](int done) {
            if (told) told->append(done);
        });
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

} // namespace

class TestResampleBatch : public QObject {
    Q_OBJECT
private slots:
    void everyPictureIsDoneAndToldInOrder_data()
    {
        QTest::addColumn<int>("workers");
        QTest::newRow("one thread") << 1;
        QTest::newRow("two threads") << 2;
        QTest::newRow("more threads than pictures") << 8;
    }

    void everyPictureIsDoneAndToldInOrder()
    {
        QFETCH(int, workers);
        Folder folder({picture(), picture(), picture(), picture(), picture()});
        ResampleBatch batch(folder.jobs, 0.5, workers);
        QVERIFY(batch.Workers() <= 5);
        QList<int> told;
        QVERIFY(!runFailure<PixlyError>(batch, &told).has_value());
        for (int i = 0; i < 5; ++i)
            QCOMPARE(folder.sizeOf(i), QSize(32, 24));
        QCOMPARE(told.first(), 0);
        QCOMPARE(told.last(), 5);
        QVERIFY(std::is_sorted(told.begin(), told.end()));
    }

    void copiesGoElsewhereAndOriginalsStay()
    {
        Folder folder({picture(), picture(80, 60)});
        const QString out = folder.env.makeFolder(QStringLiteral("out"));
        QList<ResampleJob> jobs = folder.jobs;
        for (ResampleJob& job : jobs)
            job.target = QDir(out).filePath(QFileInfo(job.source).fileName());
        folder.env.writeFile(QStringLiteral("out/2.jpg"), "an older file of that name");
        ResampleBatch(jobs, 2.0, 2).Run({});
        QCOMPARE(ReadJpegSize(FileBytes(jobs[0].target)), QSize(128, 96));
        QCOMPARE(ReadJpegSize(FileBytes(jobs[1].target)), QSize(160, 120));
        QVERIFY(folder.untouched(0));
        QVERIFY(folder.untouched(1));
    }

    void firstFailureStopsWithLaterPicturesUntouched_data()
    {
        QTest::addColumn<int>("workers");
        QTest::newRow("one thread") << 1;
        QTest::newRow("two threads") << 2;
        QTest::newRow("four threads") << 4;
    }

    void firstFailureStopsWithLaterPicturesUntouched()
    {
        QFETCH(int, workers);
        Folder folder(
            {picture(), picture(), MakeBmp(16, 16, Qt::red), picture(), picture(), "damaged", picture()});
        ResampleBatch batch(folder.jobs, 0.5, workers);
        QList<int> told;
        const auto error = runFailure<JpegError>(batch, &told);
        QVERIFY(error.has_value());
        QVERIFY(error->message().startsWith(QStringLiteral("JPEG error #")));
        QCOMPARE(folder.sizeOf(0), QSize(32, 24));
        QCOMPARE(folder.sizeOf(1), QSize(32, 24));
        for (int i = 2; i < folder.jobs.size(); ++i)
            QVERIFY2(folder.untouched(i), qPrintable(folder.jobs[i].source));
        QCOMPARE(told.last(), 2);
        QCOMPARE(QDir(folder.path).entryList(QDir::Files | QDir::Hidden).size(), folder.jobs.size());
    }

    void theFirstFailureInListOrderIsReported()
    {
        // The third picture fails at once on a thread of its own, while the second can only fail
        // when its turn to be written comes, after the slow first one.
        Folder folder({picture(3000, 2000), picture(), "not a picture"});
        QList<ResampleJob> jobs = folder.jobs;
        jobs[1].target = folder.env.makeFolder(QStringLiteral("photos/a folder.jpg"));
        ResampleBatch batch(jobs, 0.5, 3);
        const auto error = runFailure<PixlyError>(batch);
        QVERIFY(error.has_value());
        QVERIFY2(error->message().startsWith(QStringLiteral("Cannot ")), qPrintable(error->message()));
        QCOMPARE(folder.sizeOf(0), QSize(1500, 1000));
        QVERIFY(folder.untouched(1));
        QVERIFY(folder.untouched(2));
        QVERIFY(QFileInfo(jobs[1].target).isDir());
    }

    void eventsAreHandledWhileItRuns()
    {
        Folder folder({picture(2000, 1500), picture(2000, 1500), picture(2000, 1500)});
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(1);
        ResampleBatch(folder.jobs, 1.0, 1).Run({});
        QVERIFY(ticks > 0);
    }

    void pictureReadThroughAnEarlierTargetWaitsForIt()
    {
#ifdef Q_OS_UNIX
        Folder folder({picture(64, 48)});
        const QString link = QDir(folder.path).filePath(QStringLiteral("2.jpg"));
        QVERIFY(QFile::link(folder.jobs[0].source, link));
        QList<ResampleJob> jobs = folder.jobs;
        jobs.append({link, link});
        ResampleBatch batch(jobs, 0.5, 2);
        QCOMPARE(batch.Workers(), 1);
        batch.Run({});
        // One after another, the second resample works on the first one's result.
        QCOMPARE(folder.sizeOf(0), QSize(16, 12));
        QVERIFY(QFileInfo(link).isSymLink());
#else
        QSKIP("needs symbolic links");
#endif
    }

    void emptyListEndsAtOnce()
    {
        QList<int> told;
        ResampleBatch({}, 0.5).Run([&](int done) { told.append(done); });
        QCOMPARE(told, QList<int>{0});
    }
};

QTEST_GUILESS_MAIN(TestResampleBatch)
#include "tst_resamplebatch.moc"
