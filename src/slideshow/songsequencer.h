#pragma once

#include <QStringList>
#include <functional>

class TMasPlayer;

// The music state of the slideshow window, which the full-screen window reads.
struct MusicState {
    // The next start plays the playlist from its first song; otherwise it
    // resumes the song that was paused.
    bool PlaylistFromStart = true;
    // Index in the player's MediaFiles of the song that is playing.
    int SongIndex = 0;
    // Ticks of the music timer since the song started; above 0 once music
    // has been started.
    int SongTicks = 0;
};

// Plays the playlist's songs one after another. A song counts as finished
// once the ticks of the music timer since it started add up to its length;
// the player's own position is not consulted.
class SongSequencer {
public:
    static constexpr int TickMs = 200;

    // switchTicks turns the music timer on or off.
    SongSequencer(MusicState& state, TMasPlayer& player, std::function<void(bool)> switchTicks);

    // Hands the playlist to the player and plays its first song, or resumes
    // the paused one, then turns the timer on. True when music plays; an
    // empty playlist plays nothing, closes what was open and leaves the
    // timer off. Raises the player's error when a song can't be opened; the
    // timer stays off then.
    bool StartMusic(const QStringList& playlist);

    // One tick of the music timer: at a song's end the next one starts, after
    // the last the timer stays off. True while the first song of the start plays.
    bool Tick();

private:
    MusicState& state_;
    TMasPlayer& player_;
    std::function<void(bool)> switchTicks_;
};
