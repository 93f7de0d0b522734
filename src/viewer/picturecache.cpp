#include "viewer/picturecache.h"

#include "controls/picturebox.h"
#include "platform/jpegcodec.h"
#include "platform/pixlyerror.h"

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

QSize fittedSize(const QSize& picture, const QSize& box)
{
    return PictureBox::FitRect(picture, box, PictureBox::Placement::ShrinkCentred).size();
}

// Scales a picture down by averaging, for every target pixel, exactly the source area that it
// covers, as Qt's smooth scaling does when it reduces. It takes the source rows one by one, top
// to bottom, so that it can follow a decoder. Source rows are summed per colour byte first (the
// plain loops vectorise), and across once per target row.
class AreaDownscaler {
public:
    // The target is no larger than the source either way, and neither side of the source exceeds
    // kMaxSide (the JPEG limit), so that weights fit in 16 bits and a column's sums in 32.
    static constexpr int kMaxSide = 65535;

    // reuse, when it has the target's size and nothing else shares it, is written over.
    AreaDownscaler(QSize source, QSize target, QImage reuse)
        : columns_(spans(source.width(), target.width())), rows_(spans(source.height(), target.height())),
          target_(targetImage(target, std::move(reuse))), bytesPerRow_(4 * std::size_t(source.width())),
          wholeRows_(bytesPerRow_), current_(bytesPerRow_), next_(bytesPerRow_),
          scale_(1.0 / (double(source.width()) * double(source.height())))
    {
    }

    void AddRow(const QRgb* row)
    {
        const auto* bytes = reinterpret_cast<const uchar*>(row);
        const int y = sourceRows_++;
        const Span& span = rows_[targetRow_];
        const int last = span.first + span.count - 1;
        if (y != span.first && y != last)
            addWholeRow(bytes);
        else
            addPartRow(bytes, quint16(y == span.first ? span.firstWeight : span.lastWeight), current_.data());
        if (y < last) return;
        writeRow(targetRow_);
        ++targetRow_;
        std::swap(current_, next_);
        std::fill(next_.begin(), next_.end(), 0);
        // A source row across the boundary counts in the next target row too.
        if (targetRow_ < int(rows_.size()) && rows_[targetRow_].first == y)
            addPartRow(bytes, quint16(rows_[targetRow_].firstWeight), current_.data());
    }

    // Complete once every source row has been added.
    QImage Result() const { return target_; }

private:
    // The source pixels that one target pixel covers: the first and the last partly, those
    // between wholly. Weights are in units of 1/target of a source pixel, so that they are whole
    // numbers and those of one target pixel add up to the source length.
    struct Span {
        int first = 0, count = 0;
        quint32 firstWeight = 0, lastWeight = 0, fullWeight = 0;
    };

    // Fixed-length inner loops, which the compiler turns into vector code.
    static constexpr std::size_t kBlock = 32;
    // Rows summed unweighted in 16 bits before they are folded in.
    static constexpr int kMaxWholeRows = 256;
    static constexpr int kRed = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 2 : 1;
    static constexpr int kGreen = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 1 : 2;
    static constexpr int kBlue = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 0 : 3;

    static QImage targetImage(QSize size, QImage reuse)
    {
        if (reuse.size() == size && reuse.format() == QImage::Format_RGB32 && reuse.isDetached())
            return reuse;
        return QImage(size, QImage::Format_RGB32);
    }

    static std::vector<Span> spans(int source, int target)
    {
        std::vector<Span> spans(target);
        const qint64 s = source, t = target;
        for (qint64 i = 0; i < t; ++i) {
            const qint64 begin = i * s, end = (i + 1) * s;
            Span& span = spans[i];
            span.first = int(begin / t);
            const qint64 last = (end - 1) / t;
            span.count = int(last - span.first + 1);
            span.fullWeight = quint32(t);
            span.firstWeight = quint32(std::min((span.first + 1) * t, end) - begin);
            span.lastWeight = quint32(end - std::max(last * t, begin));
        }
        return spans;
    }

    // A row that lies wholly inside the current target row.
    void addWholeRow(const uchar* __restrict bytes)
    {
        if (wholeRowCount_ == kMaxWholeRows) foldWholeRows(quint16(rows_[targetRow_].fullWeight));
        ++wholeRowCount_;
        quint16* __restrict sums = wholeRows_.data();
        std::size_t i = 0;
        for (; i + kBlock <= bytesPerRow_; i += kBlock)
            for (std::size_t k = 0; k < kBlock; ++k)
                sums[i + k] += bytes[i + k];
        for (; i < bytesPerRow_; ++i)
            sums[i] += bytes[i];
    }

    // 16-bit factors let the compiler multiply eight at a time; kept out of line, where it still
    // sees them as 16-bit.
    Q_NEVER_INLINE void addPartRow(const uchar* __restrict bytes, quint16 weight,
                                   quint32* __restrict sums) const
    {
        std::size_t i = 0;
        for (; i + kBlock <= bytesPerRow_; i += kBlock)
            for (std::size_t k = 0; k < kBlock; ++k)
                sums[i + k] += quint32(quint16(bytes[i + k])) * weight;
        for (; i < bytesPerRow_; ++i)
            sums[i] += quint32(bytes[i]) * weight;
    }

    Q_NEVER_INLINE void foldWholeRows(quint16 weight)
    {
        if (wholeRowCount_ == 0) return;
        quint32* __restrict sums = current_.data();
        const quint16* __restrict whole = wholeRows_.data();
        std::size_t i = 0;
        for (; i + kBlock <= bytesPerRow_; i += kBlock)
            for (std::size_t k = 0; k < kBlock; ++k)
                sums[i + k] += quint32(whole[i + k]) * weight;
        for (; i < bytesPerRow_; ++i)
            sums[i] += quint32(whole[i]) * weight;
        std::fill(wholeRows_.begin(), wholeRows_.end(), 0);
        wholeRowCount_ = 0;
    }

    // Sums the columns across: a target pixel's sum reaches 255 times the source area.
    void writeRow(int y)
    {
        foldWholeRows(quint16(rows_[targetRow_].fullWeight));
        auto* out = reinterpret_cast<QRgb*>(target_.scanLine(y));
        for (int x = 0; x < target_.width(); ++x) {
            const Span& span = columns_[x];
            const quint32* first = current_.data() + 4 * std::size_t(span.first);
            quint64 sum[4], whole[4] = {0, 0, 0, 0};
            for (int c = 0; c < 4; ++c)
                sum[c] = quint64(first[c]) * span.firstWeight;
            if (span.count > 1) {
                const quint32* last = first + 4 * (span.count - 1);
                for (const quint32* column = first + 4; column < last; column += 4)
                    for (int c = 0; c < 4; ++c)
                        whole[c] += column[c];
                for (int c = 0; c < 4; ++c)
                    sum[c] += whole[c] * span.fullWeight + quint64(last[c]) * span.lastWeight;
            }
            const auto level = [&](int c) { return int(double(sum[c]) * scale_ + 0.5); };
            out[x] = qRgb(level(kRed), level(kGreen), level(kBlue));
        }
    }

    std::vector<Span> columns_, rows_;
    QImage target_;
    std::size_t bytesPerRow_;
    // Per colour byte of a source row: the unweighted sum of the whole rows, and the weighted
    // sums of the current target row and of the next one.
    std::vector<quint16> wholeRows_;
    std::vector<quint32> current_, next_;
    int wholeRowCount_ = 0;
    double scale_;
    int sourceRows_ = 0, targetRow_ = 0;
};

// The pictures that AreaDownscaler takes.
bool suitsAreaDownscaler(const QImage& picture)
{
    return picture.format() == QImage::Format_RGB32 && picture.width() <= AreaDownscaler::kMaxSide &&
           picture.height() <= AreaDownscaler::kMaxSide;
}

// Makes the fitted image from the rows that the JPEG decoder hands over: at once on the decoding
// thread, or on a thread of its own that follows the decoder, so that a picture asked for now is
// fitted on the second processor while the first decodes.
class RowFitter {
public:
    // spare, when it suits, becomes the fitted image.
    RowFitter(QSize box, bool ownThread, QImage spare)
        : box_(box), ownThread_(ownThread), spare_(std::move(spare))
    {
    }
    ~RowFitter() { stop(); }
    RowFitter(const RowFitter&) = delete;
    RowFitter& operator=(const RowFitter&) = delete;

    void RowsDecoded(const QImage& picture, int first, int count)
    {
        if (first == 0) begin(picture);
        if (!downscaler_) return;
        const int ready = first + count;
        if (!ownThread_) {
            addRows(picture, first, ready);
        } else if (ready - rowsTold_ >= kRowsPerWake || ready == picture.height()) {
            // Waking the follower for every band would cost more than the rows are worth.
            rowsTold_ = ready;
            rowsReady_.store(ready, std::memory_order_release);
            rowsReady_.notify_one();
        }
    }

    QImage Finish(const QImage& picture)
    {
        if (!downscaler_) return FitPicture(picture, box_);
        if (follower_.joinable()) follower_.join();
        return downscaler_->Result();
    }

private:
    static constexpr int kStopped = -1;
    static constexpr int kRowsPerWake = 64;

    void begin(const QImage& picture)
    {
        const QSize size = fittedSize(picture.size(), box_);
        if (size.isEmpty() || size == picture.size() || !suitsAreaDownscaler(picture)) return;
        downscaler_.emplace(picture.size(), size, std::move(spare_));
        // The follower reads from its own copy, which keeps the memory alive should the decode
        // end in an error; the decoder never writes through the image itself, so the copy does
        // not make it detach.
        if (ownThread_) follower_ = std::thread([this, picture] { follow(picture); });
    }

    void follow(const QImage& picture)
    {
        int done = 0;
        while (done < picture.height()) {
            const int ready = rowsReady_.load(std::memory_order_acquire);
            if (ready == kStopped) return;
            if (ready == done) {
                rowsReady_.wait(done, std::memory_order_acquire);
                continue;
            }
            addRows(picture, done, ready);
            done = ready;
        }
    }

    void addRows(const QImage& picture, int from, int to)
    {
        for (int y = from; y < to; ++y)
            downscaler_->AddRow(reinterpret_cast<const QRgb*>(picture.constScanLine(y)));
    }

    void stop()
    {
        if (!follower_.joinable()) return;
        rowsReady_.store(kStopped, std::memory_order_release);
        rowsReady_.notify_one();
        follower_.join();
    }

    const QSize box_;
    const bool ownThread_;
    QImage spare_;
    std::optional<AreaDownscaler> downscaler_;
    int rowsTold_ = 0;
    std::atomic<int> rowsReady_{0};
    std::thread follower_;
};

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

QImage FitPicture(const QImage& picture, const QSize& box)
{
    const QSize size = fittedSize(picture.size(), box);
    if (size.isEmpty()) return QImage();
    if (size == picture.size()) return picture;
    // Pictures with transparency or a palette (icons, some bitmaps) as Qt scales them.
    if (!suitsAreaDownscaler(picture))
        return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    AreaDownscaler downscaler(picture.size(), size, QImage());
    for (int y = 0; y < picture.height(); ++y)
        downscaler.AddRow(reinterpret_cast<const QRgb*>(picture.constScanLine(y)));
    return downscaler.Result();
}

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
        if (entry->stamp == now) return Serve(entry, lock);
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
    if (entry->error) std::rethrow_exception(entry->error);
    lastLoaded_ = entry->path;
    changed_.notify_all();
    ShownPicture shown = entry->shown;
    const QSize box = box_;
    if (shown.fitted.size() != fittedSize(shown.picture.image.size(), box)) {
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
