#pragma once

#include "platform/picturefile.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A picture as a viewer shows it.
struct ShownPicture {
    LoadedPicture picture; // full picture, format and original bytes (for saving)
    QImage fitted;         // scaled into the box as the viewers draw it, ready to paint
};

// The pictures of a viewer: the one asked for, and its neighbours decoded ahead on a background
// thread while the user looks at it. What a caller gets is always what decoding the file at the
// moment of asking would give, errors included. Load, ReadAhead and SetBoxSize are called from
// one thread.
class PictureCache {
public:
    explicit PictureCache(QSize box); // the viewer's picture area
    ~PictureCache();                  // abandons background work and waits for it
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    // Fitted images are made for this size from now on.
    void SetBoxSize(QSize box);

    // The picture at path: taken from what was read ahead when the file is unchanged on disk
    // (same size and modification time, still exists), otherwise decoded now on the calling
    // thread; a picture being decoded in the background is waited for. Raises the decoder's
    // error (PixlyError / JpegError) exactly as LoadPictureFile would, at the moment the picture
    // is asked for: a picture that failed to read ahead, or failed before, is decoded again,
    // and so is a file changed since it was read.
    ShownPicture Load(const QString& path);

    // Reads these pictures ahead in the background, in this order (typically next and
    // previous). Everything not in the list and not the last loaded picture may be dropped; at
    // most three decoded pictures are kept.
    void ReadAhead(const QStringList& paths);

    // For tests and benchmarks: waits until every picture asked to be read ahead is decoded, or
    // cannot be for lack of room; how many pictures Load had to decode itself, how many were
    // decoded ahead, and how many decoded pictures are held.
    void WaitForReadAhead();
    int DecodesOnCallingThread() const;
    int DecodesReadAhead() const;
    int PicturesKept() const;

private:
    // What tells whether the file changed, without reading it.
    struct FileStamp {
        bool exists = false;
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const FileStamp&) const = default;
    };

    struct Entry {
        explicit Entry(const QString& path, bool readAhead) : path(path), readAhead(readAhead) {}
        const QString path;
        const bool readAhead; // decoded by the background thread
        bool ready = false;
        std::atomic<bool> abandoned{false};
        std::optional<FileStamp> stamp; // none when the file changed while it was read
        ShownPicture shown;
        std::exception_ptr error;
        quint64 lastUse = 0;
    };
    using EntryPtr = std::shared_ptr<Entry>;
    using Discarded = std::vector<EntryPtr>;

    struct Outcome {
        ShownPicture shown;
        std::exception_ptr error;
        std::optional<FileStamp> stamp;
        bool abandoned = false;
    };

    static FileStamp StampOf(const QString& path);

    void RunReadAhead();
    std::optional<QString> NextToReadAhead() const;
    bool ReadingAhead() const;
    Outcome Produce(Entry& entry, QSize box);
    void Complete(const EntryPtr& entry, Outcome outcome);
    ShownPicture Serve(const EntryPtr& entry, std::unique_lock<std::mutex>& lock);
    ShownPicture DecodeHere(const QString& path, std::unique_lock<std::mutex>& lock, Discarded& discarded);

    // Room for one more picture. With reuseMemory, a picture that nobody wants any more is taken
    // out and returned, so that the new one is written into its memory where nothing else shares
    // it: memory touched for the first time is slow.
    ShownPicture MakeRoom(bool forReadAhead, bool reuseMemory);
    EntryPtr SpareCandidate() const;
    bool MayDrop(const Entry& entry, bool forReadAhead) const;
    EntryPtr DropCandidate(bool forReadAhead) const;
    void Remove(const EntryPtr& entry, Discarded& discarded);
    EntryPtr Find(const QString& path) const;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<EntryPtr> entries_;
    QStringList wanted_;
    QString lastLoaded_;
    QSize box_;
    quint64 uses_ = 0;
    int decodesOnCallingThread_ = 0;
    int decodesReadAhead_ = 0;
    bool stopping_ = false;
    std::thread readAhead_;
};
