#include "slideshow/songsequencer.h"

#include "slideshow/masplayer.h"

SongSequencer::SongSequencer(MusicState& state, TMasPlayer& player, std::function<void(bool)> switchTicks)
    : state_(state), player_(player), switchTicks_(std::move(switchTicks))
{
}

bool SongSequencer::StartMusic(const QStringList& playlist)
{
    state_.SongIndex = 0;
    player_.SetMediaFiles(playlist);
    if (playlist.isEmpty()) {
        // A song paused earlier must not come back with the next pause toggle.
        player_.Close();
        state_.SongTicks = 0;
        state_.PlaylistFromStart = true;
        return false;
    }
    // A song that failed to open left nothing to resume.
    if (state_.PlaylistFromStart || player_.Mode() == PlayerMode::NotOpen) {
        state_.SongTicks = 0;
        player_.PlayMediaFile(0);
    } else {
        player_.Resume();
    }
    switchTicks_(true);
    state_.PlaylistFromStart = false;
    return true;
}

bool SongSequencer::Tick()
{
    ++state_.SongTicks;
    const int length = player_.Length();
    if (qint64(state_.SongTicks) * TickMs >= length) {
        switchTicks_(false);
        ++state_.SongIndex;
        player_.Stop();
        if (state_.SongIndex < player_.MediaFiles().size()) {
            player_.PlayMediaFile(state_.SongIndex);
            state_.SongTicks = 0;
            switchTicks_(true);
        }
    }
    return state_.SongIndex == 0;
}
