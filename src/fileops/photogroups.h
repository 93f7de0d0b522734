#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// The files of one folder that make one photo. Files whose names are equal up to the extension
// (letter case ignored) form a group when one of them is a picture: at most one RAW and one JPEG
// or HEIF, with the sidecars that belong to them (NAME.xmp or NAME.EXT.xmp, also .pp3, .dop,
// .on1, .arp). A name with two pictures of one kind makes no group, so nothing is taken along
// by guess; every other file stands alone.
class PhotoGroups {
public:
    // What a file is for grouping, by its extension (without the dot, as written).
    enum class Kind { Raw, Developed, Sidecar, Other };
    using KindOf = std::function<Kind(const QString& extension)>;

    // The groups among the names of one folder's files.
    PhotoGroups(const QStringList& names, const KindOf& kindOf);

    // The names of the group the file belongs to, the file itself first and the others in the
    // order a copy takes them; the name alone when it is in no group.
    QStringList GroupOf(const QString& name) const;
    // The name a group shows itself by among listed names (a list may leave some of its files
    // out): its JPEG or HEIF when listed, otherwise its RAW when listed. A name in no group shows
    // itself; a group member that is not shown gives "".
    QString ShownName(const QString& name, const QStringList& listed) const;
    // The listed names, each group once by the name it shows itself by.
    QStringList Shown(const QStringList& listed) const;

    // The extensions of sidecar files.
    static bool IsSidecarExtension(const QString& extension);
    // The part of a group member's name after the group's name: ".NEF", ".xmp", ".NEF.xmp".
    static QString TailOf(const QString& memberName, const QString& groupName);

private:
    struct Group {
        QString raw;
        QString developed;
        QStringList sidecars;
        QStringList members() const;
    };
    const Group* groupOf(const QString& name) const;

    QList<Group> groups_;
    QHash<QString, qsizetype> groupOfName_;
};
