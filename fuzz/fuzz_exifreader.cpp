// Feeds arbitrary bytes to ReadExif as a file. Errors the reader is allowed to raise
// (PixlyError: the marker scan ran past the end) are fine; anything else is a finding.

#include "exif/exifreader.h"
#include "fuzzinput.h"
#include "platform/pixlyerror.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = WriteInputFile(QStringLiteral("input.jpg"), data, size);
    QStringList lines;
    try {
        ReadExif(path, lines);
    } catch (const PixlyError&) {
        return 0;
    }
    return 0;
}
