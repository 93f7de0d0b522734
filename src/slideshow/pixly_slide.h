#pragma once

#include <QDialog>

class Windows;

// The slideshow settings window; the full-screen window reads the slideshow
// and music state held here.
class Tslideshow : public QDialog {
    Q_OBJECT
public:
    explicit Tslideshow(Windows& windows);

    // A slideshow was started and not stopped.
    bool SlideshowRunning = false;
    // The next start with music plays the playlist from its first song.
    bool PlaylistFromStart = true;
    // Ticks of the music timer since the song started; above 0 once music has played.
    int SongTicks = 0;

private:
    Windows& windows_;
};
