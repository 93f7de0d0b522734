#pragma once

// What the benchmarks of picture steps share: timing, and a viewer's picture box and requests
// stepping through a folder as a user does.

#include "controls/picturebox.h"
#include "viewer/picturerequests.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

const QSize kMainViewerBox(1009, 649);
const QSize kFullScreenBox(1280, 1024);

template <typename Work> double Milliseconds(Work work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

double Median(std::vector<double> values);

QByteArray ReadFile(const QString& path);

// Writes count copies of a picture file into the folder (made when missing), photo0.extension on.
QStringList WriteCopies(const QString& folder, const QByteArray& file, int count,
                        const QString& extension = QStringLiteral("jpg"));

// The two pictures after and before index, wrapping round, as the viewers read ahead.
NearbyPictures NearbyIn(const QStringList& paths, int index);

// A cold step: PictureCache::Load of each of the first count pictures, nothing read ahead, until
// it is ready to paint in the main viewer's box; the median over the passes.
double ColdStep(const QStringList& paths, int count, int passes);
// A warm step: the same after the picture was read ahead while the one before it was looked at
// for a second; the median of three.
double WarmStep(const QStringList& paths);

// A picture box and the requests that draw into it, as a viewer window holds them.
struct BenchViewer {
    explicit BenchViewer(QSize size);

    void WaitUntilDrawn(const QString& path);
    // Each picture is looked at until it is drawn.
    void StepThrough(const QStringList& paths, int first, int count);

    PictureBox box{PictureBox::Placement::ShrinkCentred};
    QString drawn;
    PictureRequests requests;
};

// In a child process: five pictures in the main viewer, then three full screen, as a user steps;
// prints the lines of /proc/self/status that start with the given names.
int PrintResidentAfterStepping(const QStringList& paths, const QList<QByteArray>& names);
// Runs this program as such a child with its arguments and gives the printed values, in MB, in the
// order of names (0 for one not printed).
std::vector<double> ResidentOfChild(const QStringList& arguments, const QList<QByteArray>& names);
