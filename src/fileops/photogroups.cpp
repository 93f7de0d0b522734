#include "fileops/photogroups.h"

#include <QSet>

namespace {

const QStringList SidecarExtensions{QStringLiteral("xmp"), QStringLiteral("pp3"), QStringLiteral("dop"),
                                    QStringLiteral("on1"), QStringLiteral("arp")};

struct Split {
    QString stem;      // before the last "."
    QString extension; // after it; empty without a "."
};

Split split(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // A name that only begins with a dot has no extension.
    if (dot <= 0) return {name, QString()};
    return {name.left(dot), name.mid(dot + 1)};
}

bool isPicture(PhotoGroups::Kind kind)
{
    return kind == PhotoGroups::Kind::Raw || kind == PhotoGroups::Kind::Developed;
}

} // namespace

bool PhotoGroups::IsSidecarExtension(const QString& extension)
{
    return SidecarExtensions.contains(extension.toLower());
}

QString PhotoGroups::TailOf(const QString& memberName, const QString& groupName)
{
    return memberName.mid(groupName.size());
}

QStringList PhotoGroups::Group::members() const
{
    QStringList names;
    if (!developed.isEmpty()) names << developed;
    if (!raw.isEmpty()) names << raw;
    return names + sidecars;
}

PhotoGroups::PhotoGroups(const QStringList& names, const KindOf& kindOf)
{
    struct Candidate {
        QStringList raws, developed, sidecars;
    };
    QHash<QString, Candidate> byName;
    QStringList order;
    for (const QString& name : names) {
        const Split parts = split(name);
        if (parts.extension.isEmpty()) continue;
        const Kind kind = kindOf(parts.extension);
        QString key = parts.stem;
        if (kind == Kind::Sidecar) {
            // NAME.NEF.xmp belongs to NAME as NAME.xmp does.
            const Split inner = split(parts.stem);
            if (!inner.extension.isEmpty() && isPicture(kindOf(inner.extension))) key = inner.stem;
        } else if (!isPicture(kind)) {
            continue;
        }
        key = key.toLower();
        if (!byName.contains(key)) order << key;
        Candidate& candidate = byName[key];
        (kind == Kind::Raw         ? candidate.raws
         : kind == Kind::Developed ? candidate.developed
                                   : candidate.sidecars)
            << name;
    }
    for (const QString& key : order) {
        const Candidate& candidate = byName[key];
        const bool oneOfEachKind = candidate.raws.size() <= 1 && candidate.developed.size() <= 1;
        const qsizetype pictures = candidate.raws.size() + candidate.developed.size();
        if (!oneOfEachKind || pictures == 0 || pictures + candidate.sidecars.size() < 2) continue;
        groups_.append({candidate.raws.value(0), candidate.developed.value(0), candidate.sidecars});
        for (const QString& member : groups_.last().members())
            groupOfName_.insert(member, groups_.size() - 1);
    }
}

const PhotoGroups::Group* PhotoGroups::groupOf(const QString& name) const
{
    const auto found = groupOfName_.constFind(name);
    return found == groupOfName_.constEnd() ? nullptr : &groups_[*found];
}

QStringList PhotoGroups::GroupOf(const QString& name) const
{
    const Group* group = groupOf(name);
    if (!group) return {name};
    QStringList members = group->members();
    members.removeOne(name);
    members.prepend(name);
    return members;
}

QString PhotoGroups::ShownName(const QString& name, const QStringList& listed) const
{
    const Group* group = groupOf(name);
    if (!group) return name;
    if (!group->developed.isEmpty() && listed.contains(group->developed)) return group->developed;
    if (!group->raw.isEmpty() && listed.contains(group->raw)) return group->raw;
    return QString();
}

QStringList PhotoGroups::Shown(const QStringList& listed) const
{
    QStringList shown;
    QSet<QString> seen;
    for (const QString& name : listed) {
        const QString groupName = ShownName(name, listed);
        if (groupName.isEmpty() || seen.contains(groupName)) continue;
        seen.insert(groupName);
        shown << groupName;
    }
    return shown;
}
