#include "slideshow/slideinterval.h"

#include "platform/pixlyerror.h"

#include <limits>

namespace SlideInterval {

std::optional<int> Milliseconds(const QString& text, Unit unit, int currentMs)
{
    const int number = StrToInt(text);
    if (number <= 0) return std::nullopt;
    if (unit == Unit::Unchanged) return currentMs;
    const qint64 product = qint64(number) * (unit == Unit::Seconds ? 1000 : 60000);
    if (product > std::numeric_limits<int>::max()) return std::nullopt;
    return int(product - 1);
}

} // namespace SlideInterval
