#include "controls/filelisting.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QLocale>
#include <algorithm>

namespace {

// Matches a case-folded name against one case-folded pattern. Backtracks
// only to the last "*", which keeps it linear for the usual "*.ext" forms.
bool MatchesPattern(QStringView name, QStringView pattern)
{
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

QStringList FoldedPatterns(const QString& mask)
{
    QStringList patterns = mask.split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns)
        pattern = pattern.toCaseFolded();
    return patterns;
}

bool MatchesAny(const QString& name, const QStringList& foldedPatterns)
{
    const QString folded = name.toCaseFolded();
    return std::any_of(foldedPatterns.cbegin(), foldedPatterns.cend(),
                       [&](const QString& pattern) { return MatchesPattern(folded, pattern); });
}

// Without QDir::Hidden and QDir::System the iterator leaves out dot names,
// sockets, devices and broken links; the entry type comes from the directory
// read itself, so no file is examined one by one.
QStringList ReadNames(const QString& folder, QDir::Filters kind)
{
    QStringList names;
    if (folder.isEmpty()) return names;
    QDirIterator entries(folder, kind | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        names.append(entries.fileName());
    }
    return names;
}

} // namespace

void SortAsListed(QStringList& names)
{
    // Names that the language treats as equal are ordered by case, then by
    // their code points, so the order never depends on how the folder was read.
    QCollator ignoringCase(QLocale::system());
    ignoringCase.setCaseSensitivity(Qt::CaseInsensitive);
    QCollator byCase(QLocale::system());
    byCase.setCaseSensitivity(Qt::CaseSensitive);
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        if (const int order = ignoringCase.compare(a, b)) return order < 0;
        if (const int order = byCase.compare(a, b)) return order < 0;
        return a < b;
    });
}

bool MatchesMask(const QString& name, const QString& mask)
{
    return MatchesAny(name, FoldedPatterns(mask));
}

QStringList ListMatchingFiles(const QString& folder, const QString& mask)
{
    const QStringList patterns = FoldedPatterns(mask);
    if (patterns.isEmpty()) return {};
    QStringList names = ReadNames(folder, QDir::Files);
    names.removeIf([&](const QString& name) { return !MatchesAny(name, patterns); });
    SortAsListed(names);
    return names;
}

QStringList ListSubfolders(const QString& folder)
{
    QStringList names = ReadNames(folder, QDir::Dirs);
    SortAsListed(names);
    return names;
}

QString JoinFolderAndName(const QString& folder, const QString& name)
{
    QString path = QDir::toNativeSeparators(folder);
    if (!path.endsWith(QDir::separator())) path += QDir::separator();
    return path + QDir::toNativeSeparators(name);
}
