#pragma once

// How one run of the update check ended. The window that ran it reacts to
// some of these: the splash window hides itself after a hand-over, the
// program settings window after a version that is not newer.
enum class UpdateOutcome {
    Offline,        // no connection; the offline message was shown
    DownloadFailed, // the version file could not be fetched; the error was shown
    NoVersionFile,  // nothing to read afterwards; no message
    NotNewer,       // the published version is not newer or cannot be compared
    Declined,       // the user answered No
    HandedOver,     // the updater runs and the end of the program is requested
    UpdaterFailed,  // the user answered Yes but the updater could not be started
};

// The check for a newer version, run automatically from the splash
// window's creation when the automatic check is switched on.
class UpdateCheck {
public:
    virtual ~UpdateCheck() = default;
    virtual UpdateOutcome RunAutomatic() = 0;
};
