#include "viewersteps.h"

#include "viewer/picturecache.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdio>

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QStringList WriteCopies(const QString& folder, const QByteArray& file, int count, const QString& extension)
{
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("photo%1.%2").arg(i).arg(extension));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        paths << path;
    }
    return paths;
}

NearbyPictures NearbyIn(const QStringList& paths, int index)
{
    const auto at = [&paths](int i) { return paths[(i + paths.size()) % paths.size()]; };
    return NearbyPictures{{at(index + 1), at(index + 2)}, {at(index - 1), at(index - 2)}};
}

double ColdStep(const QStringList& paths, int count, int passes)
{
    PictureCache cache(kMainViewerBox);
    PictureBox box(PictureBox::Placement::ShrinkCentred);
    box.resize(kMainViewerBox);
    std::vector<double> times;
    for (int pass = 0; pass < passes; ++pass)
        for (int i = 0; i < count; ++i)
            times.push_back(Milliseconds([&] { box.SetPicture(cache.Load(paths[i]).fitted); }));
    return Median(times);
}

double WarmStep(const QStringList& paths)
{
    PictureCache cache(kMainViewerBox);
    PictureBox box(PictureBox::Placement::ShrinkCentred);
    box.resize(kMainViewerBox);
    box.SetPicture(cache.Load(paths[0]).fitted);
    std::vector<double> times;
    for (int i = 1; i < 4; ++i) {
        cache.Plan(paths[i - 1], {paths[i]});
        QThread::msleep(1000);
        times.push_back(Milliseconds([&] { box.SetPicture(cache.Load(paths[i]).fitted); }));
    }
    return Median(times);
}

BenchViewer::BenchViewer(QSize size)
    : requests(size, [this](const ShownPicture& shown) {
          box.SetPicture(shown.fitted);
          drawn = shown.picture.path;
      })
{
    box.resize(size);
}

void BenchViewer::WaitUntilDrawn(const QString& path)
{
    while (drawn != path)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void BenchViewer::StepThrough(const QStringList& paths, int first, int count)
{
    for (int i = first; i < first + count; ++i) {
        requests.Show(paths[i], NearbyIn(paths, i));
        WaitUntilDrawn(paths[i]);
    }
    requests.Cache().WaitUntilIdle();
}

int PrintResidentAfterStepping(const QStringList& paths, const QList<QByteArray>& names)
{
    BenchViewer mainViewer(kMainViewerBox), fullScreen(kFullScreenBox);
    mainViewer.StepThrough(paths, 0, 5);
    // The main viewer is hidden while the full-screen window shows pictures, and drops its own.
    mainViewer.requests.Forget();
    fullScreen.StepThrough(paths, 5, 3);
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        for (const QByteArray& name : names)
            if (line.startsWith(name + ':')) std::printf("%s\n", line.constData());
    return 0;
}

std::vector<double> ResidentOfChild(const QStringList& arguments, const QList<QByteArray>& names)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    std::vector<double> megabytes(std::size_t(names.size()), 0);
    for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
        for (qsizetype i = 0; i < names.size(); ++i)
            if (line.startsWith(names[i] + ':'))
                megabytes[std::size_t(i)] =
                    line.mid(names[i].size() + 1).trimmed().split(' ').value(0).toDouble() / 1024;
    return megabytes;
}
