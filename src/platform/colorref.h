#pragma once

#include <QColor>

// Colours are kept as integers with red in the lowest byte, green in the
// next and blue in the third (0x00BBGGRR), the form the settings store holds.
QColor ColorFromRef(int colorRef);
int RefFromColor(const QColor& color);
// Sets the background colour of a widget (auto-filled).
class QWidget;
void SetBackground(QWidget* widget, int colorRef);
