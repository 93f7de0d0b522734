#pragma once

#include "slideshow/audiobackend.h"

#include <functional>
#include <memory>

class QAudioOutput;
class QMediaPlayer;

// Songs played through Qt Multimedia: on Linux its GStreamer back end plays
// MP3, WAV, MIDI (through FluidSynth) and WMA (through libav). The service
// opens files asynchronously; Open waits for it, within a bound.
class QtAudioBackend : public AudioBackend {
public:
    QtAudioBackend();
    ~QtAudioBackend() override;

    void Open(const QString& path) override;
    void Close() override;
    PlayerMode Mode() const override;
    void Play() override;
    void Stop() override;
    void Pause() override;
    bool Resume() override;
    int Length() const override;
    int Position() const override;

private:
    void createPlayer();
    // Handles events until done() holds or timeoutMs have passed; true when done.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);

    // Made on the first open, so a program that plays no music never loads
    // the media framework.
    std::unique_ptr<QAudioOutput> output_;
    std::unique_ptr<QMediaPlayer> player_;
    bool open_ = false;
    // Stopped with the position kept: the service is paused underneath.
    bool held_ = false;
    // The file's own length, for a song whose length the service learns only
    // while playing it (an MP3 without a Xing header).
    int fileLength_ = 0;
};
