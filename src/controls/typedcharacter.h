#pragma once

#include <QChar>

#include <optional>

class QKeyEvent;

// The character a key press types into a field, as a character filter of a field sees it: keys
// that only edit or move (arrows, Delete) and the focus keys Tab and Shift+Tab type none, although
// the X11 platform gives Delete the text "\x7f" and Tab "\t". Enter, Esc and Backspace type their
// control characters.
std::optional<QChar> TypedCharacter(const QKeyEvent& event);
