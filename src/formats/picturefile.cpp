#include "formats/picturefile.h"

#include "formats/emfrenderer.h"
#include "formats/jpegcodec.h"
#include "formats/wmfrenderer.h"
#include "platform/pixlyerror.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <optional>
#include <tuple>
#include <utility>

namespace {

// The text after the last "." of the file name, as written; empty when the name has no ".".
QString extensionOf(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

std::optional<PictureFormat> formatForExtension(const QString& extension)
{
    const QString lower = extension.toLower();
    if (lower == u"jpg" || lower == u"jpeg") return PictureFormat::Jpeg;
    if (lower == u"bmp") return PictureFormat::Bitmap;
    if (lower == u"ico") return PictureFormat::Icon;
    if (lower == u"wmf") return PictureFormat::Metafile;
    if (lower == u"emf") return PictureFormat::EnhancedMetafile;
    return std::nullopt;
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

// Windows metafiles (".wmf", ".emf") have no decoder in this build, so they are refused the way
// any extension without a decoder is.
// The pixels and the picture's own size, which differ for a JPEG decoded scaled.
std::pair<QImage, QSize> decode(PictureFormat format, const QByteArray& data, const QString& extension,
                                const JpegScaling& jpegScaling)
{
    const auto whole = [](QImage image) { return std::pair(image, image.size()); };
    switch (format) {
    case PictureFormat::Jpeg: {
        DecodedJpeg decoded = DecodeJpegScaled(data, jpegScaling);
        return {std::move(decoded.image), decoded.fullSize};
    }
    case PictureFormat::Bitmap: return whole(decodeWithQtReader(data, "bmp", "Bitmap image is not valid"));
    case PictureFormat::Icon: return whole(decodeWithQtReader(data, "ico", "Icon image is not valid"));
    case PictureFormat::Metafile: return whole(RenderWmf(data));
    case PictureFormat::EnhancedMetafile: return whole(RenderEmf(data));
    }
    throw unknownExtension(extension);
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
    return LoadPictureFile(path, JpegScaling());
}

LoadedPicture LoadPictureFile(const QString& path, const JpegScaling& jpegScaling)
{
    // The extension is judged first: a file that no decoder could read is not opened at all.
    const QString extension = extensionOf(path);
    const std::optional<PictureFormat> format = formatForExtension(extension);
    if (!format) throw unknownExtension(extension);
    LoadedPicture picture;
    picture.format = *format;
    picture.path = path;
    picture.data = readWholeFile(path);
    std::tie(picture.image, picture.fullSize) = decode(picture.format, picture.data, extension, jpegScaling);
    return picture;
}

LoadedPicture PictureToSave(const LoadedPicture& picture)
{
    const bool savedAsPixels =
        picture.format == PictureFormat::Bitmap || picture.format == PictureFormat::Icon;
    return savedAsPixels && picture.image.isNull() ? LoadPictureFile(picture.path) : picture;
}

QByteArray PictureBytesToSave(const LoadedPicture& picture)
{
    switch (picture.format) {
    case PictureFormat::Bitmap: return encodeWithQtWriter(PictureToSave(picture).image, "bmp", picture.path);
    case PictureFormat::Icon: return encodeWithQtWriter(PictureToSave(picture).image, "ico", picture.path);
    case PictureFormat::Jpeg:
    case PictureFormat::Metafile:
    case PictureFormat::EnhancedMetafile: break;
    }
    return picture.data;
}
