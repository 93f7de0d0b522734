// Feeds arbitrary bytes to LoadPictureFile as an ".ico" file. A refusal (PixlyError) is fine; a
// loaded icon keeps the file's bytes and has a picture.

#include "formats/picturefile.h"
#include "fuzzinput.h"
#include "platform/pixlyerror.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartOffscreenApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = WriteInputFile(QStringLiteral("input.ico"), data, size);
    try {
        const LoadedPicture picture = LoadPictureFile(path);
        if (picture.format != PictureFormat::Icon || picture.image.isNull() ||
            picture.data.size() != qsizetype(size))
            std::abort();
    } catch (const PixlyError&) {
    }
    return 0;
}
