#include "formats/containerexif.h"

#include "formats/exiforientation.h"
#include "formats/formatdetection.h"
#include "formats/heifdecoder.h"
#include "formats/isoboxes.h"
#include "formats/jxldecoder.h"
#include "platform/pixlyerror.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

const QByteArray ExifPrefix("Exif\0\0", 6);

// Some writers put the JPEG segment's "Exif\0\0" before the TIFF header of a chunk as well.
QByteArray WithoutExifPrefix(const QByteArray& block)
{
    return block.startsWith(ExifPrefix) ? block.mid(ExifPrefix.size()) : block;
}

// The Canon box that holds a CR3 file's metadata, among them the TIFF blocks CMT1 to CMT4.
const QByteArray CanonMetadataBox = QByteArray::fromHex("85c0b687820f11e08111f4ce462b6a48");

QList<ExifBlock> Cr3Blocks(const QByteArray& raw)
{
    const std::optional<IsoBox> movie = FindBox(raw, 0, raw.size(), "moov");
    if (!movie) return {};
    for (const IsoBox& box : BoxesIn(raw, movie->payload, movie->End())) {
        if (box.type != "uuid" || box.userType != CanonMetadataBox) continue;
        QList<ExifBlock> blocks;
        const auto add = [&](const QByteArray& type, ExifBlock::First first) {
            if (const auto found = FindBox(raw, box.payload, box.End(), type))
                blocks.append({raw.mid(found->payload, found->size), first});
        };
        add("CMT1", ExifBlock::First::Ifd0);
        add("CMT2", ExifBlock::First::ExifIfd);
        add("CMT4", ExifBlock::First::GpsIfd);
        return blocks;
    }
    return {};
}

// The preview JPEG of a Fujifilm file: its offset and length stand in the file's header.
QList<ExifBlock> RafBlocks(const QByteArray& raw)
{
    if (raw.size() < 92) return {};
    const quint32 offset = qFromBigEndian<quint32>(raw.constData() + 84);
    const quint32 length = qFromBigEndian<quint32>(raw.constData() + 88);
    if (offset > quint32(raw.size()) || length > quint32(raw.size()) - offset) return {};
    QBuffer jpeg;
    jpeg.setData(raw.mid(offset, length));
    if (!jpeg.open(QIODevice::ReadOnly)) return {};
    const QByteArray tiff = ReadJpegExifTiff(jpeg);
    if (tiff.isEmpty()) return {};
    return {{tiff, ExifBlock::First::Ifd0}};
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw PixlyError(QStringLiteral("Cannot open file \"%1\". %2")
                             .arg(QDir::toNativeSeparators(path), file.errorString()));
    return file.readAll();
}

QList<ExifBlock> OneBlock(const QByteArray& tiff)
{
    if (tiff.isEmpty()) return {};
    return {{tiff, ExifBlock::First::Ifd0}};
}

} // namespace

QByteArray PngExifTiff(const QByteArray& png)
{
    qsizetype at = 8; // past the signature
    while (png.size() - at >= 12) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (length > quint32(png.size() - at - 12)) return {};
        if (QByteArrayView(png).sliced(at + 4, 4) == "eXIf")
            return WithoutExifPrefix(png.mid(at + 8, length));
        at += 12 + qsizetype(length);
    }
    return {};
}

QByteArray WebPExifTiff(const QByteArray& webp)
{
    qsizetype at = 12; // past "RIFF", the size and "WEBP"
    while (webp.size() - at >= 8) {
        const quint32 length = qFromLittleEndian<quint32>(webp.constData() + at + 4);
        if (length > quint32(webp.size() - at - 8)) return {};
        if (QByteArrayView(webp).sliced(at, 4) == "EXIF") return WithoutExifPrefix(webp.mid(at + 8, length));
        at += 8 + qsizetype(length) + (length & 1);
    }
    return {};
}

QList<ExifBlock> RawExifBlocks(const QByteArray& raw)
{
    if (raw.startsWith("FUJIFILMCCD-RAW")) return RafBlocks(raw);
    if (raw.size() >= 12 && QByteArrayView(raw).sliced(4, 8) == "ftypcrx ") return Cr3Blocks(raw);
    if (raw.startsWith("IIRO") || raw.startsWith("IIRS") || raw.startsWith("IIU\0")) {
        QByteArray tiff = raw;
        tiff.replace(2, 2, QByteArray("*\0", 2));
        return OneBlock(tiff);
    }
    if (raw.startsWith("MMOR")) {
        QByteArray tiff = raw;
        tiff.replace(2, 2, QByteArray("\0*", 2));
        return OneBlock(tiff);
    }
    if (raw.startsWith("II*\0") || raw.startsWith(QByteArray("MM\0*", 4))) return OneBlock(raw);
    return {};
}

QList<ExifBlock> PictureExifBlocks(const QString& path)
{
    const std::optional<PictureFormat> named = FormatNamedBy(QFileInfo(path).suffix());
    if (!named || !ReadByContents(*named)) return {};
    const QByteArray data = ReadFile(path);
    switch (FormatToDecode(*named, data)) {
    case PictureFormat::Png: return OneBlock(PngExifTiff(data));
    case PictureFormat::WebP: return OneBlock(WebPExifTiff(data));
    case PictureFormat::Tiff: return OneBlock(data);
    case PictureFormat::Heif: return OneBlock(HeifExifTiff(data));
    case PictureFormat::JpegXl: return OneBlock(JxlExifTiff(data));
    case PictureFormat::Raw: return RawExifBlocks(data);
    default: return {};
    }
}
