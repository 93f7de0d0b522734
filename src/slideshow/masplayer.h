#pragma once

#include "slideshow/audiobackend.h"

#include <QString>
#include <QStringList>
#include <memory>

// The invisible music player of the slideshow window: a media player that
// also holds the list of songs to play.
class TMasPlayer {
public:
    explicit TMasPlayer(std::unique_ptr<AudioBackend> backend);
    ~TMasPlayer();
    TMasPlayer(const TMasPlayer&) = delete;
    TMasPlayer& operator=(const TMasPlayer&) = delete;

    // The songs to play; assigning copies the entries.
    const QStringList& MediaFiles() const { return mediaFiles_; }
    void SetMediaFiles(const QStringList& files) { mediaFiles_ = files; }

    // The selected entry, -1 after creation. Selecting past the end selects
    // the last entry (-1 for an empty list) and leaves FileName unchanged;
    // selecting an entry makes it the FileName; a negative index changes nothing.
    int MediaFileIndex() const { return mediaFileIndex_; }
    void SetMediaFileIndex(int index);

    QString About() const;

    QString FileName() const { return fileName_; }
    void SetFileName(const QString& path) { fileName_ = path; }

    // Opens FileName; raises PixlyError with the service's message.
    void Open();
    void Close();
    // Select entry index, open it, play it.
    void PlayMediaFile(int index);

    // These raise "No MCI device open" when no song is open.
    void Play();
    // Resumes a paused song; a song that is not paused is played instead.
    void Resume();
    int Length() const;
    int Position() const;

    // With no song open these do nothing: there is nothing to stop or pause.
    void Stop();
    // Pauses a playing song and resumes a paused one.
    void Pause();

    PlayerMode Mode() const;

private:
    void requireOpenSong() const;

    std::unique_ptr<AudioBackend> backend_;
    QStringList mediaFiles_;
    int mediaFileIndex_ = -1;
    QString fileName_;
};
