#include "formats/formatdetection.h"

#include "formats/tiffstructure.h"

#include <QtEndian>

#include <array>
#include <cstdint>

namespace {

struct NamedFormat {
    PictureFormat format;
    QStringList extensions;
};

const std::array<NamedFormat, 12>& Names()
{
    static const std::array<NamedFormat, 12> names{{
        {PictureFormat::Jpeg, {QStringLiteral("jpg"), QStringLiteral("jpeg")}},
        {PictureFormat::Bitmap, {QStringLiteral("bmp")}},
        {PictureFormat::Icon, {QStringLiteral("ico")}},
        {PictureFormat::Metafile, {QStringLiteral("wmf")}},
        {PictureFormat::EnhancedMetafile, {QStringLiteral("emf")}},
        {PictureFormat::Png, {QStringLiteral("png")}},
        {PictureFormat::Gif, {QStringLiteral("gif")}},
        {PictureFormat::WebP, {QStringLiteral("webp")}},
        {PictureFormat::Tiff, {QStringLiteral("tif"), QStringLiteral("tiff")}},
        {PictureFormat::Heif, {QStringLiteral("heic"), QStringLiteral("heif"), QStringLiteral("avif")}},
        {PictureFormat::JpegXl, {QStringLiteral("jxl")}},
        {PictureFormat::Raw,
         {QStringLiteral("dng"), QStringLiteral("cr2"), QStringLiteral("cr3"), QStringLiteral("nef"),
          QStringLiteral("nrw"), QStringLiteral("arw"), QStringLiteral("raf"), QStringLiteral("orf"),
          QStringLiteral("rw2"), QStringLiteral("pef"), QStringLiteral("srw")}},
    }};
    return names;
}

constexpr uint16_t DngVersionTag = 0xC612;

bool StartsWith(const QByteArray& contents, const char* bytes, qsizetype size, qsizetype at = 0)
{
    return contents.size() >= at + size &&
           QByteArrayView(contents).sliced(at, size) == QByteArrayView(bytes, size);
}

// The brands of an ISO base media file ("ftyp" box first): the major brand and the compatible ones.
QList<QByteArray> FileTypeBrands(const QByteArray& contents)
{
    if (!StartsWith(contents, "ftyp", 4, 4)) return {};
    const quint32 boxSize = qFromBigEndian<quint32>(contents.constData());
    if (boxSize < 16 || boxSize > quint32(contents.size())) return {};
    QList<QByteArray> brands{contents.mid(8, 4)};
    for (quint32 at = 16; at + 4 <= boxSize; at += 4)
        brands << contents.mid(at, 4);
    return brands;
}

bool IsHeif(const QList<QByteArray>& brands)
{
    static const QList<QByteArray> heifBrands{"heic", "heix", "heim", "heis", "hevc",
                                              "hevx", "mif1", "msf1", "avif", "avis"};
    for (const QByteArray& brand : brands)
        if (heifBrands.contains(brand)) return true;
    return false;
}

// A TIFF that says itself that it is a camera RAW file: a CR2 header or a DNG version.
bool IsRawTiff(const QByteArray& contents)
{
    if (StartsWith(contents, "CR\x02", 3, 8)) return true;
    return TiffStructure(contents).Find(DngVersionTag).has_value();
}

} // namespace

std::optional<PictureFormat> FormatNamedBy(const QString& extension)
{
    const QString lower = extension.toLower();
    for (const NamedFormat& named : Names())
        if (named.extensions.contains(lower)) return named.format;
    return std::nullopt;
}

bool ReadByContents(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Jpeg:
    case PictureFormat::Bitmap:
    case PictureFormat::Icon:
    case PictureFormat::Metafile:
    case PictureFormat::EnhancedMetafile: return false;
    default: return true;
    }
}

QStringList ExtensionsOf(PictureFormat format)
{
    for (const NamedFormat& named : Names())
        if (named.format == format && ReadByContents(format)) return named.extensions;
    return {};
}

std::optional<PictureFormat> FormatOfContents(const QByteArray& contents)
{
    if (StartsWith(contents, "\xFF\xD8\xFF", 3)) return PictureFormat::Jpeg;
    if (StartsWith(contents, "\x89PNG\r\n\x1A\n", 8)) return PictureFormat::Png;
    if (StartsWith(contents, "GIF87a", 6) || StartsWith(contents, "GIF89a", 6)) return PictureFormat::Gif;
    if (StartsWith(contents, "RIFF", 4) && StartsWith(contents, "WEBP", 4, 8)) return PictureFormat::WebP;
    if (StartsWith(contents, "II*\0", 4) || StartsWith(contents, "MM\0*", 4))
        return IsRawTiff(contents) ? PictureFormat::Raw : PictureFormat::Tiff;
    if (StartsWith(contents, "II+\0", 4) || StartsWith(contents, "MM\0+", 4))
        return PictureFormat::Tiff; // BigTIFF
    // Olympus and Panasonic write TIFF with a magic number of their own, Fujifilm a header of its own.
    if (StartsWith(contents, "IIRO", 4) || StartsWith(contents, "IIRS", 4) ||
        StartsWith(contents, "MMOR", 4) || StartsWith(contents, "IIU\0", 4) ||
        StartsWith(contents, "FUJIFILMCCD-RAW", 15))
        return PictureFormat::Raw;
    if (StartsWith(contents, "\xFF\x0A", 2) || StartsWith(contents, "\0\0\0\x0CJXL \r\n\x87\n", 12))
        return PictureFormat::JpegXl;
    const QList<QByteArray> brands = FileTypeBrands(contents);
    if (brands.value(0) == "crx ") return PictureFormat::Raw;
    if (IsHeif(brands)) return PictureFormat::Heif;
    return std::nullopt;
}

PictureFormat FormatToDecode(PictureFormat named, const QByteArray& contents)
{
    const std::optional<PictureFormat> found = FormatOfContents(contents);
    if (!found) return named;
    if (*found == PictureFormat::Tiff && named == PictureFormat::Raw) return PictureFormat::Raw;
    return *found;
}
