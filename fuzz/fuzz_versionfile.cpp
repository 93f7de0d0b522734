// Feeds arbitrary bytes to VersionFile::Parse as the downloaded version file, and what it reads
// on to the version comparison and the question. The lines read hold no line feed.

#include "shell/versionfile.h"

#include <cstdlib>

namespace {

bool hasLineFeed(const QString& line)
{
    return line.contains(u'\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<PublishedVersion> published =
        VersionFile::Parse(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!published) return 0;
    if (hasLineFeed(published->major) || hasLineFeed(published->minor) || hasLineFeed(published->date))
        std::abort();
    VersionFile::IsNewerThan(*published, QStringLiteral("2.2"));
    if (VersionFile::UpdateQuestion(*published).isEmpty()) std::abort();
    return 0;
}
