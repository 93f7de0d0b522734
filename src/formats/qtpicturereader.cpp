#include "formats/qtpicturereader.h"

#include "formats/containerexif.h"
#include "formats/exiforientation.h"
#include "formats/formatdetection.h"
#include "formats/picturefaults.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QtEndian>

namespace {

// Feeds the reader until the checkpoint says the picture is no longer wanted; the reader then
// fails as on a truncated file, and the checkpoint's exception is raised once it has returned.
class CheckpointedBuffer : public QBuffer {
public:
    CheckpointedBuffer(const QByteArray& data, CheckpointInCallback& checkpoint) : checkpoint_(checkpoint)
    {
        setData(data);
    }

protected:
    qint64 readData(char* data, qint64 size) override
    {
        if (!checkpoint_.Continue()) return -1;
        return QBuffer::readData(data, size);
    }

private:
    CheckpointInCallback& checkpoint_;
};

const char* ReaderFor(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Png: return "png";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::WebP: return "webp";
    default: return "tiff";
    }
}

int OrientationOf(const QByteArray& data, PictureFormat format)
{
    switch (format) {
    case PictureFormat::Png: return ReadTiffOrientation(PngExifTiff(data));
    case PictureFormat::WebP: return ReadTiffOrientation(WebPExifTiff(data));
    case PictureFormat::Tiff: return ReadTiffOrientation(data);
    default: return OrientationAsStored;
    }
}

// Qt's GIF reader shows what it could read of a cut-off file; this program shows a GIF's first
// frame only when all of its data is there. Walks the blocks up to the end of that frame.
bool FirstGifFrameComplete(const QByteArray& gif)
{
    qsizetype at = 13; // the signature and the logical screen descriptor
    const auto byteAt = [&gif](qsizetype i) { return i < gif.size() ? int(uchar(gif[i])) : -1; };
    const auto colourTableAfter = [&byteAt](qsizetype flags) {
        const int packed = byteAt(flags);
        return packed >= 0 && (packed & 0x80) ? 3 * (2 << (packed & 7)) : 0;
    };
    // Data sub-blocks, each led by its length, up to the empty one; false when they run past the end.
    const auto skipSubBlocks = [&]() {
        for (int length = byteAt(at); length != 0; length = byteAt(at)) {
            if (length < 0) return false;
            at += 1 + length;
        }
        ++at;
        return true;
    };
    if (gif.size() < at) return false;
    at += colourTableAfter(10);
    for (;;) {
        switch (byteAt(at)) {
        case 0x21: // an extension: its label, then its data
            at += 2;
            if (!skipSubBlocks()) return false;
            break;
        case 0x2C: // the first frame: its descriptor, its colours, the code size, its data
            at += 10 + colourTableAfter(at + 9);
            ++at;
            return skipSubBlocks() && at <= gif.size();
        default: return false; // the end of the file, the trailer or damage before any frame
        }
    }
}

// libpng sets aside the memory a chunk's length claims before it reads the chunk, up to 2 GiB; a
// PNG whose chunks up to its end chunk do not all lie within the file is cut off or made up, and
// is refused first.
bool PngChunksWithinFile(const QByteArray& png)
{
    qsizetype at = 8; // past the signature
    while (png.size() - at >= 12) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (length > quint32(png.size() - at - 12)) return false;
        if (QByteArrayView(png).sliced(at + 4, 4) == "IEND") return true;
        at += 12 + qsizetype(length);
    }
    return false;
}

// The size a file claims before any of its pixels are read. Qt's GIF reader makes a picture of the
// logical screen that the header gives, also when it cannot tell the size beforehand.
QSize ClaimedSize(QImageReader& reader, const QByteArray& data, PictureFormat format)
{
    const QSize told = reader.size();
    if (format != PictureFormat::Gif || data.size() < 10) return told;
    const QSize screen(qFromLittleEndian<quint16>(data.constData() + 6),
                       qFromLittleEndian<quint16>(data.constData() + 8));
    return told.isValid() ? told.expandedTo(screen) : screen;
}

// Enough for the largest picture allowed at 16 bits a channel, which Qt reads before it is made 8.
constexpr int AllocationLimitMegabytes = int(MaxPicturePixels * 8 / (1024 * 1024));

} // namespace

DecodedPicture ReadWithQt(const QByteArray& data, PictureFormat format, const PictureReading& reading,
                          const QString& path)
{
    // Every file of these formats starts with its signature; Qt's readers would take anything else
    // for a picture of whatever size its bytes say.
    if (FormatOfContents(data) != format || (format == PictureFormat::Png && !PngChunksWithinFile(data)))
        throw DamagedPicture(path);
    CheckpointInCallback checkpoint(reading.checkpoint);
    CheckpointedBuffer buffer(data, checkpoint);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, ReaderFor(format));
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(AllocationLimitMegabytes);
    const QSize claimed = ClaimedSize(reader, data, format);
    if (claimed.isValid() && !claimed.isEmpty()) RefuseOversizedPicture(claimed, path);
    DecodedPicture decoded;
    if (!reader.read(&decoded.image) || (format == PictureFormat::Gif && !FirstGifFrameComplete(data))) {
        checkpoint.RethrowIfRaised();
        throw DamagedPicture(path);
    }
    checkpoint.RethrowIfRaised();
    decoded.colourProfile = decoded.image.colorSpace().iccProfile();
    decoded.image.convertTo(decoded.image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                            : QImage::Format_RGB32);
    decoded.fullSize = decoded.image.size();
    if (reading.upright) decoded.orientation = OrientationOf(data, format);
    return decoded;
}
