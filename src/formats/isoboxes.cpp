#include "formats/isoboxes.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr qsizetype HeaderSize = 8;
constexpr qsizetype UserTypeSize = 16;
// A full box begins its contents with a version byte and three bytes of flags.
constexpr qsizetype FullBoxHeader = 4;

} // namespace

QList<IsoBox> BoxesIn(const QByteArray& data, qsizetype begin, qsizetype end)
{
    QList<IsoBox> boxes;
    end = std::min(end, data.size());
    qsizetype at = begin;
    while (at >= 0 && end - at >= HeaderSize) {
        const auto* bytes = reinterpret_cast<const uchar*>(data.constData()) + at;
        quint64 size = qFromBigEndian<quint32>(bytes);
        qsizetype header = HeaderSize;
        if (size == 1) {
            if (end - at < HeaderSize + 8) break;
            size = qFromBigEndian<quint64>(bytes + HeaderSize);
            header += 8;
        } else if (size == 0) {
            size = quint64(end - at); // the box runs to the end
        }
        IsoBox box;
        box.type = data.mid(at + 4, 4);
        if (box.type == "uuid") {
            if (end - at < header + UserTypeSize) break;
            box.userType = data.mid(at + header, UserTypeSize);
            header += UserTypeSize;
        }
        if (size < quint64(header) || size > quint64(end - at)) break;
        box.payload = at + header;
        box.size = qsizetype(size) - header;
        boxes.append(box);
        at += qsizetype(size);
    }
    return boxes;
}

std::optional<IsoBox> FindBox(const QByteArray& data, qsizetype begin, qsizetype end, const QByteArray& type)
{
    for (const IsoBox& box : BoxesIn(data, begin, end))
        if (box.type == type) return box;
    return std::nullopt;
}

std::optional<IsoBox> FindBoxPath(const QByteArray& data, const QList<QByteArray>& path)
{
    qsizetype begin = 0, end = data.size();
    std::optional<IsoBox> found;
    for (const QByteArray& type : path) {
        found = FindBox(data, begin, end, type);
        if (!found) return std::nullopt;
        begin = found->payload + (type == "meta" ? FullBoxHeader : 0);
        end = found->End();
    }
    return found;
}
