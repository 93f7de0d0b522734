#include "viewer/picturecache.h"

#include "formats/zoomedpart.h"
#include "platform/freedmemory.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <climits>
#include <filesystem>
#include <utility>

namespace {

// Raised inside a decode that is no longer wanted.
struct Abandoned {};

constexpr int kCurrentRank = INT_MAX;

// How long the pool stays idle before it hands freed memory back.
constexpr std::chrono::milliseconds kReleaseDelay(1500);

qint64 costOf(const ShownPicture& shown)
{
    return shown.fitted.sizeInBytes() + shown.picture.data.size();
}

} // namespace

PictureCache::PictureCache(PictureShape shape, std::function<void()> ready, qint64 budget, int threads)
    : ready_(std::move(ready)), budget_(budget), threads_(std::max(1, threads)), shape_(shape)
{
    for (int i = 0; i < threads_; ++i)
        workers_.emplace_back([this] { RunWorker(); });
}

PictureCache::~PictureCache()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        for (const EntryPtr& entry : entries_)
            entry->abandoned = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void PictureCache::SetShape(const PictureShape& shape)
{
    Discarded discarded;
    {
        const std::lock_guard lock(mutex_);
        if (shape == shape_) return;
        shape_ = shape;
        // Made for the old shape; those being made are abandoned and dropped when they end.
        for (const EntryPtr& entry : std::vector(entries_)) {
            if (entry->ready)
                Remove(entry, discarded);
            else
                entry->abandoned = true;
        }
    }
    changed_.notify_all();
}

void PictureCache::Plan(const QString& current, const QStringList& ahead, const QStringList& keep)
{
    const FileStamp now = StampOf(current);
    Discarded discarded;
    {
        const std::lock_guard lock(mutex_);
        current_ = current;
        ahead_ = ahead;
        keep_ = keep;
        // A failure is never kept: whatever made it (permissions, a file still being written) may
        // have been put right without the file's size or time changing.
        const EntryPtr entry = Find(current);
        if (entry && entry->ready && (entry->error || entry->stamp != now)) Remove(entry, discarded);
        DropUnwanted(discarded);
        FreeRoomForCurrent();
        // A viewer that forgets its pictures is done with their memory.
        if (!discarded.empty() && InFlight() == 0 && !NextToStart()) ScheduleRelease();
    }
    changed_.notify_all();
}

std::optional<ShownPicture> PictureCache::TakeCurrent(const QString& path)
{
    const FileStamp now = StampOf(path);
    Discarded discarded;
    std::unique_lock lock(mutex_);
    return TakeLocked(path, now, discarded);
}

ShownPicture PictureCache::Load(const QString& path)
{
    QStringList ahead, keep;
    {
        const std::lock_guard lock(mutex_);
        ahead = ahead_;
        keep = keep_;
    }
    Plan(path, ahead, keep);
    for (;;) {
        const FileStamp now = StampOf(path);
        Discarded discarded;
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] {
            const EntryPtr entry = Find(path);
            return current_ != path || (entry && entry->ready);
        });
        if (std::optional<ShownPicture> shown = TakeLocked(path, now, discarded)) return std::move(*shown);
    }
}

void PictureCache::WaitUntilIdle()
{
    std::unique_lock lock(mutex_);
    ++idleWaiters_;
    if (releaseDue_) {
        releaseDue_ = Clock::now();
        changed_.notify_all();
    }
    changed_.wait(lock, [this] { return InFlight() == 0 && !NextToStart() && !releaseDue_ && !releasing_; });
    --idleWaiters_;
}

int PictureCache::Decodes() const
{
    const std::lock_guard lock(mutex_);
    return decodes_;
}

QList<QSize> PictureCache::KeptSizes() const
{
    const std::lock_guard lock(mutex_);
    QList<QSize> sizes;
    for (const EntryPtr& entry : entries_)
        if (entry->ready && !entry->error) sizes.append(entry->shown.fitted.size());
    return sizes;
}

PictureCache::FileStamp PictureCache::StampOf(const QString& path)
{
    if (path.isEmpty()) return FileStamp();
    // std::filesystem gives the time to the nanosecond, without turning it into local time.
    const std::filesystem::path file = QFileInfo(path).filesystemFilePath();
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) return FileStamp(); // missing, or not a file
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error) return FileStamp();
    return FileStamp{true, qint64(size), qint64(modified.time_since_epoch().count())};
}

PictureCache::Outcome PictureCache::Produce(Entry& entry, const PictureShape& shape)
{
    Outcome outcome;
    outcome.shape = shape;
    const FileStamp before = StampOf(entry.path);
    const auto checkpoint = [&entry] {
        if (entry.abandoned) throw Abandoned{};
    };
    try {
        outcome.shown = shape.zoom.Zoomed() ? ReadZoomedPart(entry.path, shape, checkpoint)
                                            : ReadShownPicture(entry.path, shape, checkpoint);
    } catch (const Abandoned&) {
        outcome.abandoned = true;
        return outcome;
    } catch (...) {
        outcome.error = std::current_exception();
    }
    // A file written to while it was read is read again when it is asked for.
    if (StampOf(entry.path) == before) outcome.stamp = before;
    return outcome;
}

void PictureCache::RunWorker()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        EntryPtr entry;
        const auto startable = [&] { return stopping_ || (entry = StartNext()) != nullptr; };
        if (releaseDue_) {
            if (!changed_.wait_until(lock, *releaseDue_, startable) && releaseDue_ &&
                Clock::now() >= *releaseDue_)
                ReleaseFreedMemory(lock);
        } else {
            changed_.wait(lock, [&] { return startable() || releaseDue_; });
        }
        if (stopping_) return;
        if (!entry) continue;
        releaseDue_.reset();
        const PictureShape shape = shape_;
        lock.unlock();
        Outcome outcome = Produce(*entry, shape);
        Discarded discarded;
        lock.lock();
        const bool current = entry->path == current_;
        Complete(entry, std::move(outcome), discarded);
        if (InFlight() == 0 && !NextToStart()) ScheduleRelease();
        lock.unlock();
        changed_.notify_all();
        discarded.clear();
        if (current && ready_) ready_();
        lock.lock();
    }
}

void PictureCache::ScheduleRelease()
{
    // Memory freed by the work goes back to the system once nothing has been asked for a while:
    // a user stepping on reuses it at once.
    releaseDue_ = Clock::now() + (idleWaiters_ > 0 ? Clock::duration::zero() : kReleaseDelay);
}

void PictureCache::ReleaseFreedMemory(std::unique_lock<std::mutex>& lock)
{
    releaseDue_.reset();
    releasing_ = true;
    lock.unlock();
    ReturnFreedMemory();
    lock.lock();
    releasing_ = false;
    changed_.notify_all();
}

PictureCache::EntryPtr PictureCache::StartNext()
{
    const std::optional<QString> path = NextToStart();
    if (!path) return nullptr;
    const auto entry = std::make_shared<Entry>(*path);
    entries_.push_back(entry);
    return entry;
}

std::optional<QString> PictureCache::NextToStart() const
{
    // The current picture goes first, whatever else is under way, and nothing is read ahead until
    // it is ready, so that it has the processor to itself.
    if (!current_.isEmpty()) {
        const EntryPtr current = Find(current_);
        if (!current) return current_;
        if (!current->ready) return std::nullopt;
    }
    const auto missing =
        std::find_if(ahead_.begin(), ahead_.end(), [this](const QString& path) { return !Find(path); });
    if (missing == ahead_.end()) return std::nullopt;
    if (Usage() + (InFlight() + 1) * Estimate() > budget_) return std::nullopt;
    return *missing;
}

void PictureCache::Complete(const EntryPtr& entry, Outcome outcome, Discarded& discarded)
{
    entry->ready = true;
    if (!outcome.abandoned) ++decodes_;
    if (outcome.abandoned || outcome.shape != shape_ || Rank(entry->path) < 0) {
        Remove(entry, discarded);
        return;
    }
    entry->shown = std::move(outcome.shown);
    entry->error = std::move(outcome.error);
    entry->stamp = outcome.stamp;
    DropUnwanted(discarded);
}

std::optional<ShownPicture> PictureCache::TakeLocked(const QString& path, const FileStamp& now,
                                                     Discarded& discarded)
{
    if (path.isEmpty() || path != current_) return std::nullopt;
    const EntryPtr entry = Find(path);
    if (!entry || !entry->ready) return std::nullopt;
    if (entry->error) {
        // Told once; asked for again, the picture is read again.
        const std::exception_ptr error = entry->error;
        Remove(entry, discarded);
        current_.clear();
        std::rethrow_exception(error);
    }
    if (entry->stamp != now) {
        Remove(entry, discarded);
        changed_.notify_all();
        return std::nullopt;
    }
    return entry->shown;
}

int PictureCache::Rank(const QString& path) const
{
    if (path == current_) return kCurrentRank;
    const qsizetype ahead = ahead_.indexOf(path);
    if (ahead >= 0) return int(ahead_.size() - ahead);
    return keep_.contains(path) ? 0 : -1;
}

void PictureCache::DropUnwanted(Discarded& discarded)
{
    for (const EntryPtr& entry : std::vector(entries_)) {
        const bool wanted = Rank(entry->path) >= 0;
        if (entry->ready && !wanted)
            Remove(entry, discarded);
        else if (!entry->ready)
            entry->abandoned = !wanted;
    }
    // Over the budget the least wanted ready pictures go, never the current one.
    while (Usage() > budget_) {
        EntryPtr least;
        for (const EntryPtr& entry : entries_)
            if (entry->ready && Rank(entry->path) != kCurrentRank &&
                (!least || Rank(entry->path) < Rank(least->path)))
                least = entry;
        if (!least) break;
        Remove(least, discarded);
    }
}

void PictureCache::FreeRoomForCurrent()
{
    // Every thread busy reading ahead: the least wanted of those decodes makes way for the
    // current picture.
    if (current_.isEmpty() || Find(current_) || InFlight() < threads_) return;
    EntryPtr least;
    for (const EntryPtr& entry : entries_)
        if (!entry->ready && !entry->abandoned && (!least || Rank(entry->path) < Rank(least->path)))
            least = entry;
    if (least) least->abandoned = true;
}

qint64 PictureCache::Usage() const
{
    qint64 usage = 0;
    for (const EntryPtr& entry : entries_)
        if (entry->ready) usage += costOf(entry->shown);
    return usage;
}

qint64 PictureCache::Estimate() const
{
    // A picture not yet read: as large as the largest one held, or its fitted pixels at most.
    qint64 largest = 4 * qint64(shape_.box.width()) * shape_.box.height();
    for (const EntryPtr& entry : entries_)
        if (entry->ready) largest = std::max(largest, costOf(entry->shown));
    return largest;
}

void PictureCache::Remove(const EntryPtr& entry, Discarded& discarded)
{
    const auto found = std::find(entries_.begin(), entries_.end(), entry);
    if (found == entries_.end()) return;
    discarded.push_back(entry);
    entries_.erase(found);
}

PictureCache::EntryPtr PictureCache::Find(const QString& path) const
{
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [&path](const EntryPtr& entry) { return entry->path == path; });
    return found == entries_.end() ? nullptr : *found;
}

int PictureCache::InFlight() const
{
    return int(
        std::count_if(entries_.begin(), entries_.end(), [](const EntryPtr& entry) { return !entry->ready; }));
}
