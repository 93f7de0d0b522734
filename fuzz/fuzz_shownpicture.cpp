// Reads arbitrary bytes as the viewers read a JPEG: scaled to a box, turned upright by its EXIF
// orientation and converted from its colour profile to sRGB, abandoned at a checkpoint the input
// chooses, as the read-ahead abandons a picture the user has passed. The first byte chooses the
// checkpoint (0: never) and, by its top bit, whether colours are managed, the second the box. Every
// failure must be a PixlyError, an abandoned read must end at once, and a picture read must fit
// its box.

#include "formats/jpegcodec.h"
#include "formats/screenpicture.h"
#include "fuzzinput.h"
#include "platform/pixlyerror.h"

#include <cstdlib>

namespace {

struct Abandoned {};

// However small the scale, every block of a picture is read; only pictures of a size that keeps
// each input quick are read.
constexpr qint64 MaxShownPixels = qint64(1) << 24;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    StartOffscreenApplication();
    const int abandonAt = data[0] % 16;
    const QSize box(16 + data[1], 12 + data[1] / 2);
    try {
        const QSize claimed = ReadJpegSize(
            QByteArray::fromRawData(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2)));
        if (qint64(claimed.width()) * claimed.height() > MaxShownPixels) return 0;
    } catch (const PixlyError&) {
    }
    const QString path = WriteInputFile(QStringLiteral("picture.jpg"), data + 2, size - 2);
    int checkpoints = 0;
    try {
        const PictureShape shape(box, true, {}, ShownColours{(data[0] & 0x80) != 0, {}});
        const ShownPicture shown = ReadShownPicture(path, shape, [&] {
            if (++checkpoints == abandonAt) throw Abandoned{};
        });
        if (shown.fitted.width() > box.width() || shown.fitted.height() > box.height()) std::abort();
    } catch (const Abandoned&) {
        if (checkpoints != abandonAt) std::abort();
    } catch (const PixlyError&) {
    }
    if (abandonAt && checkpoints > abandonAt) std::abort();
    return 0;
}
