#pragma once

#include "resample/resamplefile.h"

#include <QList>
#include <QString>

#include <functional>

// One picture of a batch: where it is read and where its result goes (the same path to
// replace the original).
struct ResampleJob {
    QString source;
    QString target;
};

// Resamples a list of pictures with the same factor, with all of them as if one after another in
// list order: a picture's target is replaced only after every picture before it has been, and the
// first picture that fails ends the batch, leaving it and every picture after it untouched.
// Pictures are worked on by several threads at once where that cannot change the outcome.
class ResampleBatch {
public:
    // Told on the calling thread how many pictures, from the start of the list, are done.
    using Progress = std::function<void(int done)>;

    // workers 0 takes one thread per processor, up to a few.
    ResampleBatch(QList<ResampleJob> jobs, double factor, int workers = 0,
                  PictureTurn turn = PictureTurn::AsStored, ProfileKeeping profile = ProfileKeeping::Dropped);

    // Runs the batch, processing the calling thread's events meanwhile (so its windows stay
    // painted) and telling progress there as it goes, at the least at the start and at the end.
    // Raises the failure of the first picture that failed, after the work has stopped.
    void Run(const Progress& progress);

    // The threads the batch works with.
    int Workers() const { return workers_; }

private:
    bool laterSourcesAreEarlierTargets() const;

    QList<ResampleJob> jobs_;
    double factor_;
    PictureTurn turn_;
    ProfileKeeping profile_;
    int workers_;
};
