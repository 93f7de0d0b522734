#pragma once

#include <QString>

// What the player's one song is doing.
enum class PlayerMode { NotOpen, Stopped, Playing, Paused };

// The audio playback service under the music player: one open song at a
// time. The player calls the operations other than Open only while a song
// is open.
class AudioBackend {
public:
    virtual ~AudioBackend() = default;

    // Opens the file, closing the open song first, and returns once the song
    // is open and its length known. Raises PixlyError carrying the service's
    // message when the file can't be opened; nothing is open then.
    virtual void Open(const QString& path) = 0;
    virtual void Close() = 0;
    virtual PlayerMode Mode() const = 0;
    // Plays from the current position and returns at once; a song at its end
    // is rewound first.
    virtual void Play() = 0;
    // Stops, keeping the position.
    virtual void Stop() = 0;
    // Pauses a playing song and resumes a paused one; nothing otherwise.
    virtual void Pause() = 0;
    // Resumes a paused song; false, doing nothing, when the song is not paused.
    virtual bool Resume() = 0;
    // The open song's length and position, in milliseconds.
    virtual int Length() const = 0;
    virtual int Position() const = 0;
};
