#include "resample/resamplebatch.h"

#include "platform/freedmemory.h"
#include "resample/resamplefile.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Each thread holds libjpeg's buffers for a picture; a progressive one needs about 3 bytes a
// pixel, so more threads than this would cost more memory than they gain.
constexpr int kMaxWorkers = 4;

constexpr int kProgressIntervalMs = 40;

// What the threads of one run share, under its mutex.
class RunState {
public:
    explicit RunState(int count) : count_(count) {}

    // The next picture to work on, or -1 when there is none (all handed out, or one failed).
    int Take()
    {
        std::lock_guard lock(mutex_);
        if (next_ >= count_ || next_ > failedAt_) return -1;
        return next_++;
    }

    // Waits until every picture before index is done; false when one of them failed instead.
    bool WaitForTurn(int index)
    {
        std::unique_lock lock(mutex_);
        turn_.wait(lock, [&] { return done_ == index || failedAt_ < index; });
        return failedAt_ > index;
    }

    void Done(int index)
    {
        {
            std::lock_guard lock(mutex_);
            done_ = index + 1;
        }
        turn_.notify_all();
    }

    void Failed(int index, std::exception_ptr failure)
    {
        {
            std::lock_guard lock(mutex_);
            if (index < failedAt_) {
                failedAt_ = index;
                failure_ = std::move(failure);
            }
        }
        turn_.notify_all();
    }

    int DoneCount()
    {
        std::lock_guard lock(mutex_);
        return done_;
    }

    std::exception_ptr Failure()
    {
        std::lock_guard lock(mutex_);
        return failure_;
    }

private:
    std::mutex mutex_;
    std::condition_variable turn_;
    const int count_;
    int next_ = 0;
    int done_ = 0;
    int failedAt_ = INT_MAX;
    std::exception_ptr failure_;
};

QString canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

} // namespace

ResampleBatch::ResampleBatch(QList<ResampleJob> jobs, double factor, int workers, PictureTurn turn,
                             ProfileKeeping profile)
    : jobs_(std::move(jobs)), factor_(factor), turn_(turn), profile_(profile)
{
    if (workers <= 0) workers = std::min(QThread::idealThreadCount(), kMaxWorkers);
    // A picture that reads what an earlier one writes (through a link) must wait for it, so
    // such a list is done by one thread.
    if (laterSourcesAreEarlierTargets()) workers = 1;
    workers_ = std::max(1, std::min(workers, int(jobs_.size())));
}

bool ResampleBatch::laterSourcesAreEarlierTargets() const
{
    QSet<QString> earlierTargets;
    for (const ResampleJob& job : jobs_) {
        const QString source = canonical(job.source);
        if (!source.isEmpty() && earlierTargets.contains(source)) return true;
        // A picture resampled in place reads its file before writing it, so its own target only
        // matters to the pictures after it.
        const QString target = canonical(job.target);
        if (!target.isEmpty()) earlierTargets.insert(target);
    }
    return false;
}

void ResampleBatch::Run(const Progress& progress)
{
    RunState state(int(jobs_.size()));
    const auto work = [this, &state] {
        for (int index = state.Take(); index >= 0; index = state.Take()) {
            const ResampleJob& job = jobs_.at(index);
            try {
                if (ResampleFile(
                        job.source, job.target, factor_, [&] { return state.WaitForTurn(index); }, turn_,
                        profile_))
                    state.Done(index);
            } catch (...) {
                state.Failed(index, std::current_exception());
            }
        }
    };

    if (progress) progress(0);
    int told = 0;
    const auto tellProgress = [&] {
        const int done = state.DoneCount();
        if (done == told || !progress) return;
        told = done;
        progress(done);
    };

    std::vector<std::thread> threads;
    int running = workers_;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kProgressIntervalMs);
    std::mutex finishedMutex;
    for (int i = 0; i < workers_; ++i)
        threads.emplace_back([&] {
            work();
            std::lock_guard lock(finishedMutex);
            if (--running == 0) QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
        });
    QObject::connect(&poll, &QTimer::timeout, &loop, tellProgress);
    poll.start();
    loop.exec();
    poll.stop();
    for (std::thread& thread : threads)
        thread.join();
    // The decoders' buffers (the coefficients of progressive sources above all) are not needed
    // until the next batch.
    ReturnFreedMemory();
    tellProgress();
    if (const std::exception_ptr failure = state.Failure()) std::rethrow_exception(failure);
}
