#pragma once

#include "formats/screenpicture.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The pictures of one viewer, prepared at the size it shows them (or, for a zoomed shape, the
// parts that its zoomed view shows, formats/zoomedpart.h) on a pool of threads: the
// current picture first, then the pictures ahead, in order, within a memory budget. What a caller
// gets is always what reading the file at the moment of asking would give, errors included: a
// picture whose file changed since it was read, or that failed to read, is read again.
class PictureCache {
public:
    static constexpr qint64 kDefaultBudget = 64 * 1024 * 1024;

    // ready is called on a pool thread whenever a decode of the current picture ends.
    explicit PictureCache(PictureShape shape, std::function<void()> ready = {},
                          qint64 budget = kDefaultBudget,
                          int threads = int(std::thread::hardware_concurrency()));
    ~PictureCache(); // abandons the work under way and waits for it
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    // Pictures are shown so from now on; those made otherwise are dropped.
    void SetShape(const PictureShape& shape);

    // What the viewer wants now: the current picture, the pictures to read ahead in this order,
    // and pictures to keep if they are ready. Everything else is dropped and its decode abandoned.
    void Plan(const QString& current, const QStringList& ahead = {}, const QStringList& keep = {});

    // The current picture if it is ready; none while it is being prepared, or when path is not
    // current. A failure is raised once, as the decoder raised it, and then forgotten.
    std::optional<ShownPicture> TakeCurrent(const QString& path);

    // Makes path current (the pictures ahead stay as planned) and waits for it; raises its error.
    ShownPicture Load(const QString& path);

    // For tests and benchmarks: waits until nothing is being decoded or left to start and the
    // memory freed meanwhile is handed back; how many decodes have ended (failures included,
    // abandoned ones not); the fitted sizes held.
    void WaitUntilIdle();
    int Decodes() const;
    QList<QSize> KeptSizes() const;

private:
    // What tells whether the file changed, without reading it.
    struct FileStamp {
        bool exists = false;
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const FileStamp&) const = default;
    };

    struct Entry {
        explicit Entry(const QString& path) : path(path) {}
        const QString path;
        bool ready = false;
        std::atomic<bool> abandoned{false};
        std::optional<FileStamp> stamp; // none when the file changed while it was read
        ShownPicture shown;
        std::exception_ptr error;
    };
    using EntryPtr = std::shared_ptr<Entry>;
    using Discarded = std::vector<EntryPtr>; // freed once the lock is released

    struct Outcome {
        ShownPicture shown;
        std::exception_ptr error;
        std::optional<FileStamp> stamp;
        PictureShape shape;
        bool abandoned = false;
    };

    static FileStamp StampOf(const QString& path);
    static Outcome Produce(Entry& entry, const PictureShape& shape);

    using Clock = std::chrono::steady_clock;

    void RunWorker();
    void ScheduleRelease();
    void ReleaseFreedMemory(std::unique_lock<std::mutex>& lock);
    EntryPtr StartNext();
    std::optional<QString> NextToStart() const;
    void Complete(const EntryPtr& entry, Outcome outcome, Discarded& discarded);
    std::optional<ShownPicture> TakeLocked(const QString& path, const FileStamp& now, Discarded& discarded);

    // How much a picture is wanted: the current one most, then those ahead in order, then those
    // kept; below zero not at all.
    int Rank(const QString& path) const;
    void DropUnwanted(Discarded& discarded);
    void FreeRoomForCurrent();
    qint64 Usage() const;    // of the pictures ready
    qint64 Estimate() const; // of one being made
    void Remove(const EntryPtr& entry, Discarded& discarded);
    EntryPtr Find(const QString& path) const;
    int InFlight() const;

    const std::function<void()> ready_;
    const qint64 budget_;
    const int threads_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<EntryPtr> entries_;
    QString current_;
    QStringList ahead_, keep_;
    PictureShape shape_;
    int decodes_ = 0;
    std::optional<Clock::time_point> releaseDue_; // when idle workers hand freed memory back
    bool releasing_ = false;
    int idleWaiters_ = 0; // callers of WaitUntilIdle, who want the memory back at once
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};
