#include "sorting/photofiles.h"

#include "formats/formatdetection.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The part of the name before its last ".", by which a photo's files belong together.
QString stemOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString extensionOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.mid(dot + 1) : QString();
}

} // namespace

PhotoGroups::Kind GroupingKindOf(const QString& extension)
{
    if (PhotoGroups::IsSidecarExtension(extension)) return PhotoGroups::Kind::Sidecar;
    const std::optional<PictureFormat> format = FormatNamedBy(extension);
    if (!format) return PhotoGroups::Kind::Other;
    if (*format == PictureFormat::Raw) return PhotoGroups::Kind::Raw;
    if (*format == PictureFormat::Jpeg || *format == PictureFormat::Heif) return PhotoGroups::Kind::Developed;
    return PhotoGroups::Kind::Other;
}

QList<SortingUndo::FileStep> StepsTo(const QStringList& files, const QString& target)
{
    if (files.isEmpty()) return {};
    const QFileInfo shown(files.first());
    const QString stem = stemOf(shown.fileName());
    const QString shownTail = PhotoGroups::TailOf(shown.fileName(), stem);
    const QFileInfo targetFile(target);
    QString newStem = targetFile.fileName();
    if (newStem.endsWith(shownTail, Qt::CaseInsensitive)) newStem.chop(shownTail.size());
    QList<SortingUndo::FileStep> steps{{files.first(), target}};
    for (qsizetype i = 1; i < files.size(); ++i) {
        const QString name = QFileInfo(files.at(i)).fileName();
        steps.append({files.at(i), targetFile.dir().filePath(newStem + PhotoGroups::TailOf(name, stem))});
    }
    return steps;
}

QString PhotoLabel(const QStringList& files, bool withSidecars)
{
    if (files.isEmpty()) return QString();
    const QString stem = stemOf(QFileInfo(files.first()).fileName());
    QString label = files.first();
    for (qsizetype i = 1; i < files.size(); ++i) {
        const QString name = QFileInfo(files.at(i)).fileName();
        if (!withSidecars && PhotoGroups::IsSidecarExtension(extensionOf(name))) continue;
        label += QStringLiteral(" + ") + PhotoGroups::TailOf(name, stem).mid(1);
    }
    return label;
}

QString FileCount(qsizetype count)
{
    if (count == 1) return QStringLiteral("1 soubor");
    if (count >= 2 && count <= 4) return QStringLiteral("%1 soubory").arg(count);
    return QStringLiteral("%1 souborů").arg(count);
}
