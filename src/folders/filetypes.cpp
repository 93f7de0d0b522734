#include "folders/filetypes.h"

#include "controls/radiogroup.h"
#include "formats/formatdetection.h"

#include <QFileInfo>

namespace {

const QStringList FirstItems{QStringLiteral("Vše"), QStringLiteral("JPG, JPEG"), QStringLiteral("BMP"),
                             QStringLiteral("WMF")};
const QStringList FirstMasks{QStringLiteral("*.jpg;*.jpeg;*.bmp;*.wmf"), QStringLiteral("*.jpg;*.jpeg"),
                             QStringLiteral("*.bmp"), QStringLiteral("*.wmf")};

struct NewerGroup {
    QString item;
    QList<PictureFormat> formats;
};

const QList<NewerGroup>& NewerGroups()
{
    static const QList<NewerGroup> groups{
        {QStringLiteral("HEIC, AVIF"), {PictureFormat::Heif}},
        {QStringLiteral("RAW"), {PictureFormat::Raw}},
        {QStringLiteral("PNG, WebP, GIF"), {PictureFormat::Png, PictureFormat::WebP, PictureFormat::Gif}},
        {QStringLiteral("TIFF, JXL"), {PictureFormat::Tiff, PictureFormat::JpegXl}},
    };
    return groups;
}

QString MaskOf(const QList<PictureFormat>& formats)
{
    QStringList patterns;
    for (PictureFormat format : formats)
        for (const QString& extension : ExtensionsOf(format))
            patterns << QStringLiteral("*.") + extension;
    return patterns.join(u';');
}

QString AllNewerFormats()
{
    QStringList masks;
    for (const NewerGroup& group : NewerGroups())
        masks << MaskOf(group.formats);
    return masks.join(u';');
}

} // namespace

QStringList FileTypes::Items() const
{
    QStringList items = FirstItems;
    if (allFormats_)
        for (const NewerGroup& group : NewerGroups())
            items << group.item;
    return items;
}

QString FileTypes::Mask(int index) const
{
    if (index < 0 || index >= Items().size()) return QString();
    if (index < FirstMasks.size())
        return index == 0 && allFormats_ ? FirstMasks[0] + u';' + AllNewerFormats() : FirstMasks[index];
    return MaskOf(NewerGroups()[index - FirstMasks.size()].formats);
}

void FileTypes::ShowIn(RadioGroup& group) const
{
    const int chosen = group.ItemIndex();
    group.SetColumns(Columns());
    group.SetItems(Items());
    group.SetItemIndex(chosen >= 0 && chosen < group.Items().size() ? chosen : 0);
}

QString FileTypes::WithoutNewerFormats(const QString& mask)
{
    QStringList kept;
    for (const QString& pattern : mask.split(u';', Qt::SkipEmptyParts)) {
        const std::optional<PictureFormat> format = FormatNamedBy(QFileInfo(pattern).suffix());
        if (!format || !ReadByContents(*format)) kept << pattern;
    }
    return kept.join(u';');
}
