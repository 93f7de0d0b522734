#include "formats/tiffstructure.h"

#include <QtEndian>

TiffStructure::TiffStructure(const QByteArray& tiff) : tiff_(tiff)
{
    if (tiff.size() < 8) return;
    little_ = tiff.startsWith("II*\0");
    if (!little_ && !tiff.startsWith(QByteArray("MM\0*", 4))) return;
    const auto offset = Number(4, 4);
    if (offset && *offset < uint32_t(tiff.size())) ifd_ = offset;
    header_ = ifd_.has_value();
}

std::optional<TiffStructure::Entry> TiffStructure::Find(uint16_t tag) const
{
    if (!ifd_) return std::nullopt;
    const auto count = Number(qsizetype(*ifd_), 2);
    if (!count) return std::nullopt;
    for (uint32_t i = 0; i < *count; ++i) {
        const qsizetype entry = qsizetype(*ifd_) + 2 + qsizetype(i) * 12;
        const auto found = Number(entry, 2);
        if (!found) break;
        if (*found != tag) continue;
        const auto type = Number(entry + 2, 2);
        const auto elements = Number(entry + 4, 4);
        if (!type || !elements) break;
        return Entry{uint16_t(*type), *elements, Number(entry + 8, 2), Number(entry + 8, 4),
                     tiff_.mid(entry + 8, 4)};
    }
    return std::nullopt;
}

TiffStructure TiffStructure::Pointed(uint16_t tag) const
{
    TiffStructure pointed(*this);
    pointed.ifd_.reset();
    const auto entry = Find(tag);
    if (entry && entry->count == 1 && (entry->type == LongType || entry->type == IfdType) && entry->field &&
        *entry->field < uint32_t(tiff_.size()))
        pointed.ifd_ = entry->field;
    return pointed;
}

std::optional<uint32_t> TiffStructure::Number(qsizetype at, int bytes) const
{
    if (at < 0 || at > tiff_.size() - bytes) return std::nullopt;
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        const auto byte = uint32_t(uint8_t(tiff_[at + (little_ ? bytes - 1 - i : i)]));
        value = (value << 8) | byte;
    }
    return value;
}

QByteArray TiffAfterOffset(const QByteArray& item)
{
    if (item.size() < 4) return {};
    const quint32 offset = qFromBigEndian<quint32>(item.constData());
    if (offset > quint32(item.size() - 4)) return {};
    return item.mid(4 + qsizetype(offset));
}
