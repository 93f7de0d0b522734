#include "viewer/picturecache.h"

#include "platform/jpegcodec.h"
#include "platform/pixlyerror.h"
#include "viewer/areaaveragefit.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <utility>

namespace {

// Decoded full pictures held at once, those being decoded included: the shown one and its two
// neighbours.
constexpr std::size_t kMaxPictures = 3;

// Raised inside a background decode that is no longer wanted.
struct Abandoned {};

bool isJpegPath(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) return false;
    const QString extension = name.mid(dot + 1).toLower();
    return extension == u"jpg" || extension == u"jpeg";
}

// Reads the whole file into bytes, writing over their memory when nothing else shares it.
bool readWholeFile(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    if (!bytes.isDetached()) bytes = QByteArray();
    bytes.resize(file.size());
    const qint64 read = file.read(bytes.data(), bytes.size());
    if (read < 0) return false;
    bytes.resize(read);
    bytes.append(file.readAll()); // what a file that grew meanwhile has more
    return file.error() == QFileDevice::NoError;
}

// The picture exactly as LoadPictureFile gives it, and fitted into the box. A JPEG is read and
// decoded into the memory of spare, a picture no longer wanted, where nothing else shares it.
ShownPicture readShownPicture(const QString& path, QSize box, ShownPicture spare,
                              const std::atomic<bool>* abandoned, bool fitAlongside)
{
    ShownPicture shown;
    QByteArray data = std::move(spare.picture.data);
    if (!isJpegPath(path) || !readWholeFile(path, data)) {
        spare = ShownPicture();
        // Decodes the other formats, and raises the exact message for a file that cannot be read.
        shown.picture = LoadPictureFile(path);
        shown.fitted = FitPicture(shown.picture.image, box);
        return shown;
    }
    RowFitter fitter(box, fitAlongside, std::move(spare.fitted));
    const auto rowsDecoded = [&fitter, abandoned](const QImage& picture, int first, int count) {
        if (abandoned && abandoned->load()) throw Abandoned{};
        fitter.RowsDecoded(picture, first, count);
    };
    shown.picture.format = PictureFormat::Jpeg;
    shown.picture.image = DecodeJpegInto(data, std::move(spare.picture.image), rowsDecoded).image;
    shown.fitted = fitter.Finish(shown.picture.image);
    shown.picture.data = std::move(data);
    return shown;
}

} // namespace

PictureCache::PictureCache(QSize box) : box_(box), readAhead_([this] { RunReadAhead(); }) {}

PictureCache::~PictureCache()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        for (const EntryPtr& entry : entries_)
            entry->abandoned = true;
    }
    changed_.notify_all();
    readAhead_.join();
}

void PictureCache::SetBoxSize(QSize box)
{
    const std::lock_guard lock(mutex_);
    box_ = box;
}

ShownPicture PictureCache::Load(const QString& path)
{
    const FileStamp now = StampOf(path);
    // Declared before the lock, so that dropped pictures are freed after it is released.
    Discarded discarded;
    std::unique_lock lock(mutex_);
    while (const EntryPtr entry = Find(path)) {
        if (!entry->ready) {
            // Being decoded in the background: wait for it rather than decode it twice.
            entry->abandoned = false;
            changed_.wait(lock, [&entry] { return entry->ready; });
            continue; // an abandoned decode has removed its entry
        }
        // A failure is never kept: whatever made it (permissions, a file still being written) may
        // have been put right without the file's size or time changing.
        if (entry->stamp == now && !entry->error) return Serve(entry, lock);
        Remove(entry, discarded);
    }
    return DecodeHere(path, lock, discarded);
}

void PictureCache::ReadAhead(const QStringList& paths)
{
    {
        const std::lock_guard lock(mutex_);
        wanted_ = paths;
        for (const EntryPtr& entry : entries_)
            if (entry->readAhead && !entry->ready)
                entry->abandoned = !wanted_.contains(entry->path) && entry->path != lastLoaded_;
    }
    changed_.notify_all();
}

void PictureCache::WaitForReadAhead()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !ReadingAhead(); });
}

int PictureCache::DecodesOnCallingThread() const
{
    const std::lock_guard lock(mutex_);
    return decodesOnCallingThread_;
}

int PictureCache::DecodesReadAhead() const
{
    const std::lock_guard lock(mutex_);
    return decodesReadAhead_;
}

int PictureCache::PicturesKept() const
{
    const std::lock_guard lock(mutex_);
    return int(entries_.size());
}

PictureCache::FileStamp PictureCache::StampOf(const QString& path)
{
    // std::filesystem gives the time to the nanosecond, without turning it into local time.
    const std::filesystem::path file = QFileInfo(path).filesystemFilePath();
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) return FileStamp(); // missing, or not a file
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error) return FileStamp();
    return FileStamp{true, qint64(size), qint64(modified.time_since_epoch().count())};
}

void PictureCache::RunReadAhead()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        std::optional<QString> path;
        changed_.wait(lock, [&] { return stopping_ || (path = NextToReadAhead()); });
        if (stopping_) return;
        const auto entry = std::make_shared<Entry>(*path, true);
        entries_.push_back(entry);
        const QSize box = box_;
        lock.unlock();
        Outcome outcome = Produce(*entry, box);
        lock.lock();
        Complete(entry, std::move(outcome));
    }
}

std::optional<QString> PictureCache::NextToReadAhead() const
{
    const auto missing =
        std::find_if(wanted_.begin(), wanted_.end(), [this](const QString& path) { return !Find(path); });
    if (missing == wanted_.end()) return std::nullopt;
    const bool room = entries_.size() < kMaxPictures || DropCandidate(true);
    if (!room) return std::nullopt;
    return *missing;
}

bool PictureCache::ReadingAhead() const
{
    const bool decoding = std::any_of(entries_.begin(), entries_.end(), [](const EntryPtr& entry) {
        return entry->readAhead && !entry->ready;
    });
    return decoding || NextToReadAhead();
}

PictureCache::Outcome PictureCache::Produce(Entry& entry, QSize box)
{
    Outcome outcome;
    const FileStamp before = StampOf(entry.path);
    try {
        ShownPicture spare = MakeRoom(entry.readAhead, isJpegPath(entry.path));
        // A picture asked for now is fitted alongside its decode; one read ahead uses one thread.
        outcome.shown = readShownPicture(entry.path, box, std::move(spare),
                                         entry.readAhead ? &entry.abandoned : nullptr, !entry.readAhead);
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

void PictureCache::Complete(const EntryPtr& entry, Outcome outcome)
{
    entry->ready = true;
    if (outcome.abandoned) {
        Discarded discarded;
        Remove(entry, discarded);
    } else {
        entry->shown = std::move(outcome.shown);
        entry->error = std::move(outcome.error);
        entry->stamp = outcome.stamp;
        entry->lastUse = ++uses_;
        if (entry->readAhead) ++decodesReadAhead_;
    }
    changed_.notify_all();
}

ShownPicture PictureCache::Serve(const EntryPtr& entry, std::unique_lock<std::mutex>& lock)
{
    entry->lastUse = ++uses_;
    lastLoaded_ = entry->path;
    changed_.notify_all();
    ShownPicture shown = entry->shown;
    const QSize box = box_;
    if (shown.fitted.size() != FittedSize(shown.picture.image.size(), box)) {
        // Made for an earlier box size.
        lock.unlock();
        shown.fitted = FitPicture(shown.picture.image, box);
        lock.lock();
        entry->shown.fitted = shown.fitted;
    }
    return shown;
}

ShownPicture PictureCache::DecodeHere(const QString& path, std::unique_lock<std::mutex>& lock,
                                      Discarded& discarded)
{
    // Listed while it is decoded, so that the background thread leaves it alone.
    const auto entry = std::make_shared<Entry>(path, false);
    entries_.push_back(entry);
    ++decodesOnCallingThread_;
    const QSize box = box_;
    lock.unlock();
    discarded.clear();
    Outcome outcome = Produce(*entry, box);
    lock.lock();
    Complete(entry, std::move(outcome));
    if (entry->error) {
        Remove(entry, discarded);
        std::rethrow_exception(entry->error);
    }
    return Serve(entry, lock);
}

ShownPicture PictureCache::MakeRoom(bool forReadAhead, bool reuseMemory)
{
    Discarded discarded;
    std::unique_lock lock(mutex_);
    ShownPicture spare;
    if (reuseMemory) {
        if (const EntryPtr unwanted = SpareCandidate()) {
            spare = std::move(unwanted->shown);
            Remove(unwanted, discarded);
        }
    }
    while (entries_.size() > kMaxPictures) {
        const EntryPtr victim = DropCandidate(forReadAhead);
        if (!victim) {
            if (forReadAhead) throw Abandoned{};
            break;
        }
        Remove(victim, discarded);
    }
    lock.unlock();
    changed_.notify_all();
    return spare;
}

PictureCache::EntryPtr PictureCache::SpareCandidate() const
{
    // A picture that the caller still holds (the one on screen is held by the picture box) is
    // shared, so its memory would not be written over; one held by nothing else is better.
    EntryPtr best;
    const auto rank = [](const EntryPtr& entry) {
        const QImage& image = entry->shown.picture.image;
        return std::pair(image.isNull() || !image.isDetached(), entry->lastUse);
    };
    for (const EntryPtr& entry : entries_)
        if (MayDrop(*entry, true) && (!best || rank(entry) < rank(best))) best = entry;
    return best;
}

bool PictureCache::MayDrop(const Entry& entry, bool forReadAhead) const
{
    if (!entry.ready) return false;
    if (!forReadAhead) return true;
    return entry.path != lastLoaded_ && !wanted_.contains(entry.path);
}

PictureCache::EntryPtr PictureCache::DropCandidate(bool forReadAhead) const
{
    // Pictures nobody wants go first, the longest unused first; the picture asked for now may
    // also push out the wanted ones.
    EntryPtr best;
    const auto rank = [this](const EntryPtr& entry) {
        return std::pair(!MayDrop(*entry, true), entry->lastUse);
    };
    for (const EntryPtr& entry : entries_)
        if (MayDrop(*entry, forReadAhead) && (!best || rank(entry) < rank(best))) best = entry;
    return best;
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
