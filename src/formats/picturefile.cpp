#include "formats/picturefile.h"

#include "formats/emfrenderer.h"
#include "formats/exiforientation.h"
#include "formats/formatdetection.h"
#include "formats/heifdecoder.h"
#include "formats/jpegcodec.h"
#include "formats/jxldecoder.h"
#include "formats/picturefaults.h"
#include "formats/qtpicturereader.h"
#include "formats/rawdecoder.h"
#include "formats/webpdecoder.h"
#include "formats/wmfrenderer.h"
#include "platform/pixlyerror.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <optional>
#include <utility>

namespace {

// The text after the last "." of the file name, as written; empty when the name has no ".".
QString extensionOf(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

PixlyError unknownExtension(const QString& extension)
{
    return PixlyError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
}

PixlyError fileError(const char* action, const QString& path, const QString& reason)
{
    return PixlyError(QStringLiteral("%1 file \"%2\". %3")
                          .arg(QLatin1StringView(action), QDir::toNativeSeparators(path), reason));
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw fileError("Cannot open", path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) throw fileError("Cannot read", path, file.errorString());
    return bytes;
}

// Qt's reader for exactly this format: content detection is off, so data of another format
// fails as damaged data of this one.
QImage decodeWithQtReader(const QByteArray& data, const char* format, const char* invalidMessage)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (!reader.read(&image)) throw PixlyError(QString::fromLatin1(invalidMessage));
    return image;
}

DecodedPicture decode(PictureFormat format, const QByteArray& data, const QString& path,
                      const PictureReading& reading)
{
    const auto whole = [](QImage image) {
        const QSize size = image.size();
        return DecodedPicture{std::move(image), size, OrientationAsStored, {}};
    };
    switch (format) {
    case PictureFormat::Jpeg: {
        const int orientation = reading.upright ? ReadExifOrientation(data) : OrientationAsStored;
        DecodedJpeg decoded = DecodeJpegScaled(data, JpegScalingFor(reading, orientation));
        return DecodedPicture{std::move(decoded.image), decoded.fullSize, orientation,
                              std::move(decoded.colourProfile)};
    }
    case PictureFormat::Bitmap: return whole(decodeWithQtReader(data, "bmp", "Bitmap image is not valid"));
    case PictureFormat::Icon: return whole(decodeWithQtReader(data, "ico", "Icon image is not valid"));
    case PictureFormat::Metafile: return whole(RenderWmf(data));
    case PictureFormat::EnhancedMetafile: return whole(RenderEmf(data));
    case PictureFormat::Png:
    case PictureFormat::Gif:
    case PictureFormat::Tiff: return ReadWithQt(data, format, reading, path);
    case PictureFormat::WebP: return DecodeWebP(data, reading, path);
    case PictureFormat::Heif: return DecodeHeif(data, reading, path);
    case PictureFormat::JpegXl: return DecodeJxl(data, reading, path);
    case PictureFormat::Raw: return DecodeRaw(data, reading, path);
    }
    throw DamagedPicture(path);
}

QByteArray encodeWithQtWriter(const QImage& image, const char* format, const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) throw fileError("Cannot write", path, writer.errorString());
    return bytes;
}

} // namespace

LoadedPicture LoadPictureFile(const QString& path)
{
    return LoadPictureFile(path, PictureReading());
}

LoadedPicture LoadPictureFile(const QString& path, const PictureReading& reading)
{
    // The extension is judged first: a file that no decoder could read is not opened at all.
    const QString extension = extensionOf(path);
    const std::optional<PictureFormat> named = FormatNamedBy(extension);
    if (!named) throw unknownExtension(extension);
    LoadedPicture picture;
    picture.path = path;
    picture.data = readWholeFile(path);
    picture.format = ReadByContents(*named) ? FormatToDecode(*named, picture.data) : *named;
    DecodedPicture decoded = decode(picture.format, picture.data, path, reading);
    picture.image = std::move(decoded.image);
    picture.fullSize = decoded.fullSize;
    picture.orientation = decoded.orientation;
    picture.colourProfile = std::move(decoded.colourProfile);
    return picture;
}

LoadedPicture PictureToSave(const LoadedPicture& picture)
{
    const bool savedAsPixels =
        picture.format == PictureFormat::Bitmap || picture.format == PictureFormat::Icon;
    if (savedAsPixels && picture.image.isNull()) return LoadPictureFile(picture.path);
    // Saved as its bytes: they are all it needs, not its pictures.
    if (picture.format == PictureFormat::Raw && picture.data.isEmpty()) {
        LoadedPicture withBytes = picture;
        withBytes.data = readWholeFile(picture.path);
        return withBytes;
    }
    return picture;
}

QByteArray PictureBytesToSave(const LoadedPicture& picture)
{
    switch (picture.format) {
    case PictureFormat::Bitmap: return encodeWithQtWriter(PictureToSave(picture).image, "bmp", picture.path);
    case PictureFormat::Icon: return encodeWithQtWriter(PictureToSave(picture).image, "ico", picture.path);
    case PictureFormat::Jpeg:
    case PictureFormat::Metafile:
    case PictureFormat::EnhancedMetafile:
    case PictureFormat::Png:
    case PictureFormat::Gif:
    case PictureFormat::WebP:
    case PictureFormat::Tiff:
    case PictureFormat::Heif:
    case PictureFormat::JpegXl:
    case PictureFormat::Raw: break;
    }
    // A RAW file shown keeps no bytes; they are read again.
    return PictureToSave(picture).data;
}
