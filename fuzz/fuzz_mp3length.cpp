// Feeds arbitrary bytes to Mp3LengthMs as a file. A length, when there is one, is not negative.

#include "fuzzinput.h"
#include "slideshow/mp3length.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<int> length = Mp3LengthMs(WriteInputFile(QStringLiteral("input.mp3"), data, size));
    if (length && *length < 0) std::abort();
    return 0;
}
