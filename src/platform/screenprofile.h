#pragma once

#include <QByteArray>

// The colour profile of the screen, as ICC profile bytes: the one that the desktop's colour
// manager sets as the X11 root window's _ICC_PROFILE. Empty (sRGB) when none is set and where
// there is no X11 display (offscreen, Wayland, other systems). Used from the user-interface thread.
QByteArray ScreenColourProfile();
