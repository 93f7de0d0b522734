#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The boxes of an ISO base media file held in memory (HEIF and AVIF, Canon's CR3).
struct IsoBox {
    QByteArray type;       // four characters
    QByteArray userType;   // the 16 bytes that name a "uuid" box; empty for other boxes
    qsizetype payload = 0; // where the box's contents begin in the data
    qsizetype size = 0;    // of the contents
    qsizetype End() const { return payload + size; }
};

// The boxes directly inside the range [begin, end) of the data, in order. A box that claims to run
// past the range ends the list, since nothing after it can be found.
QList<IsoBox> BoxesIn(const QByteArray& data, qsizetype begin, qsizetype end);

// The first box of the type directly inside the range.
std::optional<IsoBox> FindBox(const QByteArray& data, qsizetype begin, qsizetype end, const QByteArray& type);

// The first box along a path of types from the top of the file ("meta" boxes, whose contents begin
// with a version and flags, are stepped into past them).
std::optional<IsoBox> FindBoxPath(const QByteArray& data, const QList<QByteArray>& path);
