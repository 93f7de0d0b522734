#pragma once

#include <QString>
#include <optional>

// The slideshow timer's interval from the number typed in the settings window.
namespace SlideInterval {

// The unit beside the number; Unchanged when the unit box holds typed text
// that is none of its items.
enum class Unit { Seconds, Minutes, Unchanged };

// N seconds give N × 1000 − 1 ms and N minutes N × 60000 − 1 ms; with
// Unchanged the interval stays currentMs. Nothing when the number gives no
// usable interval: zero, negative, or a product past 32 bits. Raises
// InvalidIntegerError for text that is not a 32-bit decimal integer.
std::optional<int> Milliseconds(const QString& text, Unit unit, int currentMs);

} // namespace SlideInterval
