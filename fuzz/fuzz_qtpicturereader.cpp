// Feeds arbitrary bytes to the PNG, GIF, WebP and TIFF readers as Qt's plug-ins read them for the
// program. A read delivers a sound picture or refuses with the decoder's own messages; a picture
// that claims more pixels than the limit is refused before it is read.

#include "formats/formatdetection.h"
#include "formats/picturefaults.h"
#include "formats/qtpicturereader.h"
#include "fuzzinput.h"
#include "platform/pixlyerror.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <cstdlib>

namespace {

// What the reader is told of the size, as the wrapper takes it: Qt's reader, and a GIF's header.
std::optional<qint64> ClaimedPixels(const QByteArray& input, const char* format)
{
    QBuffer buffer;
    buffer.setData(input);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    QSize size = reader.size();
    if (qstrcmp(format, "gif") == 0 && input.size() >= 10)
        size = size.expandedTo(QSize(qFromLittleEndian<quint16>(input.constData() + 6),
                                     qFromLittleEndian<quint16>(input.constData() + 8)));
    if (!size.isValid()) return std::nullopt;
    return qint64(size.width()) * size.height();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartOffscreenApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const struct {
        PictureFormat format;
        const char* reader;
    } formats[]{{PictureFormat::Png, "png"},
                {PictureFormat::Gif, "gif"},
                {PictureFormat::WebP, "webp"},
                {PictureFormat::Tiff, "tiff"}};
    // The reader that the contents name, otherwise any.
    const std::optional<PictureFormat> contents = FormatOfContents(input);
    int chosen = int(size % 4);
    for (int i = 0; i < 4; ++i)
        if (contents == formats[i].format) chosen = i;
    const auto& [format, reader] = formats[chosen];
    const std::optional<qint64> claimed = ClaimedPixels(input, reader);
    // Without the format's signature a file is damaged, whatever size its bytes claim.
    const bool tooLarge = contents == format && claimed && *claimed > MaxPicturePixels;
    if (claimed && !tooLarge && *claimed > MaxFuzzedPixels) return 0;
    PictureReading reading;
    reading.upright = true;
    try {
        CheckDecodedPicture(ReadWithQt(input, format, reading, QStringLiteral("input")));
        if (tooLarge) std::abort();
    } catch (const PixlyError& error) {
        CheckRefusal(error, tooLarge ? Refusal::TooLarge : Refusal::Either);
    }
    return 0;
}
