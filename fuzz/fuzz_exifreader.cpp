// Feeds arbitrary bytes to ReadExif as a file. Errors the reader is allowed to raise
// (PixlyError: the marker scan ran past the end) are fine; anything else is a finding.

#include "exif/exifreader.h"
#include "platform/pixlyerror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

const QString& InputPath()
{
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pixly-fuzz-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("input.jpg"));
    return path;
}

void WriteInput(const uint8_t* data, size_t size)
{
    QFile file(InputPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    if (file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
        static_cast<qint64>(size))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteInput(data, size);
    QStringList lines;
    try {
        ReadExif(InputPath(), lines);
    } catch (const PixlyError&) {
        return 0;
    }
    return 0;
}
