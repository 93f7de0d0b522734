#include "fileops/sortingundo.h"

#include "fileops/fileoperations.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
namespace Text {
const QString CopyChanged = QStringLiteral("Kopii nelze vrátit zpět, od té doby se změnila:\r");
const QString OriginalGone = QStringLiteral("Kopii nelze vrátit zpět, původní obrázek už neexistuje:\r");
const QString ReplacedGone =
    QStringLiteral("Kopii nelze vrátit zpět, nahrazený soubor už není k nalezení:\r");
const QString NameTaken = QStringLiteral("Krok nelze vrátit zpět, název je obsazen:\r");
const QString MovedGone = QStringLiteral("Krok nelze vrátit zpět, obrázek už není na svém místě:\r");
const QString NotInTrash = QStringLiteral("Obrázek nelze vrátit, v koši už není:\r");
const QString CannotUndo = QStringLiteral("Krok nelze vrátit zpět:\r");
} // namespace Text

bool existsOrDangles(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

std::optional<QByteArray> digestOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return std::nullopt;
    return hash.result();
}

SortingUndo::Result refused(const QString& reason, const QString& path)
{
    return {SortingUndo::Outcome::Refused, reason + QDir::toNativeSeparators(path), QString()};
}

SortingUndo::Result undone(const QString& picture)
{
    return {SortingUndo::Outcome::Undone, QString(), picture};
}

// A hidden name beside the file, free at the moment it is taken.
std::optional<QString> setAside(const QString& path)
{
    const QFileInfo file(path);
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const QString aside = file.dir().filePath(QLatin1Char('.') + file.fileName() +
                                                  QStringLiteral(".pixly-") + QString::number(attempt));
        if (FileOperations::MoveNoReplace(path, aside)) return aside;
        if (!existsOrDangles(aside)) return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

void SortingUndo::push(Step step)
{
    steps_.push_back(std::move(step));
    if (int(steps_.size()) > Depth) steps_.pop_front();
}

bool SortingUndo::Copy(const QString& source, const QString& target, bool keepReplaced)
{
    // Checked before anything is set aside: the target may be the source itself.
    if (FileOperations::SameFile(source, target)) return false;
    return Write(source, target, keepReplaced,
                 [&source](const QString& path) { return FileOperations::CopyReplacing(source, path); });
}

bool SortingUndo::Write(const QString& original, const QString& target, bool keepReplaced,
                        const std::function<bool(const QString&)>& writer)
{
    Step step{Kind::Copy, original, target, {}, std::nullopt, {}};
    // Whatever is not a file (a folder) is left to the writer to refuse.
    if (keepReplaced && QFileInfo(target).isFile()) {
        const DesktopTrash::Result trashed = DesktopTrash::MoveToTrash(target);
        if (trashed.outcome == DesktopTrash::Outcome::Trashed) {
            step.trashed = trashed.entry;
        } else if (const auto aside = setAside(target)) {
            step.aside = *aside;
        } else {
            return false;
        }
    }
    const auto putBack = [&step] {
        if (step.trashed) DesktopTrash::Restore(*step.trashed);
        if (!step.aside.isEmpty()) FileOperations::MoveNoReplace(step.aside, step.to);
    };
    bool written = false;
    try {
        written = writer(target);
    } catch (...) {
        putBack();
        throw;
    }
    if (!written) {
        putBack();
        return false;
    }
    // Saved over the picture itself with nothing kept: there is nothing to take back.
    if (!step.trashed && step.aside.isEmpty() && FileOperations::SameFile(original, target)) return true;
    step.digest = digestOf(target).value_or(QByteArray());
    push(std::move(step));
    return true;
}

bool SortingUndo::Move(const QString& from, const QString& to)
{
    if (!FileOperations::MoveNoReplace(from, to)) return false;
    RecordMove(from, to);
    return true;
}

void SortingUndo::RecordMove(const QString& from, const QString& to)
{
    push({Kind::Move, from, to, {}, std::nullopt, {}});
}

DesktopTrash::Outcome SortingUndo::Trash(const QString& path)
{
    const DesktopTrash::Result trashed = DesktopTrash::MoveToTrash(path);
    if (trashed.outcome == DesktopTrash::Outcome::Trashed)
        push({Kind::Trash, trashed.entry.originalPath, QString(), {}, trashed.entry, {}});
    return trashed.outcome;
}

SortingUndo::Result SortingUndo::Undo()
{
    if (steps_.empty()) return {};
    Step& step = steps_.back();
    Result result;
    switch (step.kind) {
    case Kind::Copy: result = undoCopy(step); break;
    case Kind::Move: result = undoMove(step); break;
    case Kind::Trash: result = undoTrash(step); break;
    }
    if (result.outcome == Outcome::Undone) steps_.pop_back();
    return result;
}

SortingUndo::Result SortingUndo::undoCopy(Step& step)
{
    // A copy already gone is not removed again; only what it replaced comes back.
    if (existsOrDangles(step.to)) {
        if (digestOf(step.to) != step.digest) return refused(Text::CopyChanged, step.to);
        // The copy may be all that is left of the picture.
        if (!existsOrDangles(step.from)) return refused(Text::OriginalGone, step.from);
        if ((step.trashed && !existsOrDangles(step.trashed->trashedPath)) ||
            (!step.aside.isEmpty() && !existsOrDangles(step.aside)))
            return refused(Text::ReplacedGone, step.to);
        if (!QFile::remove(step.to)) return refused(Text::CannotUndo, step.to);
    }
    if (step.trashed) {
        switch (DesktopTrash::Restore(*step.trashed)) {
        case DesktopTrash::RestoreOutcome::Restored: break;
        case DesktopTrash::RestoreOutcome::EntryGone: return refused(Text::ReplacedGone, step.to);
        case DesktopTrash::RestoreOutcome::PlaceTaken: return refused(Text::NameTaken, step.to);
        case DesktopTrash::RestoreOutcome::Failed: return refused(Text::CannotUndo, step.to);
        }
    } else if (!step.aside.isEmpty()) {
        if (!existsOrDangles(step.aside)) return refused(Text::ReplacedGone, step.to);
        if (existsOrDangles(step.to)) return refused(Text::NameTaken, step.to);
        if (!FileOperations::MoveNoReplace(step.aside, step.to)) return refused(Text::CannotUndo, step.to);
    }
    return undone(step.from);
}

SortingUndo::Result SortingUndo::undoMove(const Step& step)
{
    if (!existsOrDangles(step.to)) return refused(Text::MovedGone, step.to);
    if (existsOrDangles(step.from)) return refused(Text::NameTaken, step.from);
    if (!FileOperations::MoveNoReplace(step.to, step.from)) return refused(Text::CannotUndo, step.to);
    return undone(step.from);
}

SortingUndo::Result SortingUndo::undoTrash(const Step& step)
{
    switch (DesktopTrash::Restore(*step.trashed)) {
    case DesktopTrash::RestoreOutcome::Restored: return undone(step.from);
    case DesktopTrash::RestoreOutcome::EntryGone: return refused(Text::NotInTrash, step.from);
    case DesktopTrash::RestoreOutcome::PlaceTaken: return refused(Text::NameTaken, step.from);
    case DesktopTrash::RestoreOutcome::Failed: break;
    }
    return refused(Text::CannotUndo, step.from);
}
