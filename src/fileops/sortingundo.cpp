#include "fileops/sortingundo.h"

#include "fileops/filenames.h"
#include "fileops/fileoperations.h"
#include "fileops/noreplacerename.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// What a file set aside beside the copy that replaced it is called: the user must be able to
// tell it and find it, also after the program has ended.
const QString AsideMark = QStringLiteral(" (nahrazený%1)");

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

SortingUndo::Result refused(SortingUndo::Refusal refusal, const QString& path, const QString& reason = {})
{
    return {SortingUndo::Outcome::Refused, refusal, QDir::toNativeSeparators(path), reason, QString()};
}

SortingUndo::Result undone(const QString& picture)
{
    return {SortingUndo::Outcome::Undone, SortingUndo::Refusal::Failed, QString(), QString(), picture};
}

SortingUndo::Result failed(const FileResult& result, const QString& path)
{
    if (result.outcome() == FileResult::Outcome::NameTaken)
        return refused(SortingUndo::Refusal::NameTaken, path);
    return refused(SortingUndo::Refusal::Failed, path, result.reason());
}

SortingUndo::Result restored(DesktopTrash::RestoreOutcome outcome, const QString& path,
                             SortingUndo::Refusal whenGone)
{
    using Refusal = SortingUndo::Refusal;
    switch (outcome) {
    case DesktopTrash::RestoreOutcome::Restored: return undone(path);
    case DesktopTrash::RestoreOutcome::EntryGone: return refused(whenGone, path);
    case DesktopTrash::RestoreOutcome::NotOurs: return refused(Refusal::NotOurs, path);
    case DesktopTrash::RestoreOutcome::PlaceTaken: return refused(Refusal::NameTaken, path);
    case DesktopTrash::RestoreOutcome::Failed: break;
    }
    return refused(Refusal::Failed, path);
}

// A free name beside the file that says it was replaced, taken without replacing anything.
std::optional<QString> setAside(const QString& path, FileResult& failure)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix().isEmpty() ? QString() : QLatin1Char('.') + file.suffix();
    const QString stem = file.suffix().isEmpty() ? file.fileName() : file.completeBaseName();
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const QString mark =
            AsideMark.arg(attempt == 1 ? QString() : QLatin1Char(' ') + QString::number(attempt));
        const QString aside = file.dir().filePath(NameWithin(stem, mark + suffix));
        failure = RenameNoReplace(path, aside);
        if (failure) return aside;
        if (failure.outcome() != FileResult::Outcome::NameTaken) return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

void SortingUndo::push(Step step)
{
    steps_.push_back(std::move(step));
    if (int(steps_.size()) > Depth) steps_.pop_front();
}

FileResult SortingUndo::Copy(const QString& source, const QString& target, bool keepReplaced)
{
    // Checked before anything is set aside: the target may be the source itself.
    if (FileOperations::SameFile(source, target)) return FileOperations::CopyReplacing(source, target);
    return Write(source, target, keepReplaced,
                 [&source](const QString& path) { return FileOperations::CopyReplacing(source, path); });
}

FileResult SortingUndo::Write(const QString& original, const QString& target, bool keepReplaced,
                              const Writer& writer)
{
    Step step{Kind::Copy, original, target, {}, std::nullopt, {}};
    // Whatever is not a file (a folder) is left to the writer to refuse.
    if (keepReplaced && QFileInfo(target).isFile()) {
        const DesktopTrash::Result trashed = DesktopTrash::MoveToTrash(target);
        FileResult asideFailure = FileResult::Done();
        if (trashed.outcome == DesktopTrash::Outcome::Trashed)
            step.trashed = trashed.entry;
        else if (const auto aside = setAside(target, asideFailure))
            step.aside = *aside;
        else
            return asideFailure;
    }
    const auto putBack = [&step] {
        if (step.trashed) DesktopTrash::Restore(*step.trashed);
        if (!step.aside.isEmpty()) RenameNoReplace(step.aside, step.to);
    };
    FileResult written = FileResult::Done();
    try {
        written = writer(target);
    } catch (...) {
        putBack();
        throw;
    }
    if (!written) {
        putBack();
        return written;
    }
    // Saved over the picture itself with nothing kept: there is nothing to take back.
    if (!step.trashed && step.aside.isEmpty() && FileOperations::SameFile(original, target)) return written;
    step.digest = digestOf(target).value_or(QByteArray());
    push(std::move(step));
    return written;
}

FileResult SortingUndo::Move(const QString& from, const QString& to)
{
    const FileResult moved = FileOperations::MoveNoReplace(from, to);
    if (moved) push({Kind::Move, from, to, {}, std::nullopt, {}});
    return moved;
}

DesktopTrash::Result SortingUndo::Trash(const QString& path)
{
    const DesktopTrash::Result trashed = DesktopTrash::MoveToTrash(path);
    if (trashed.outcome == DesktopTrash::Outcome::Trashed)
        push({Kind::Trash, trashed.entry.originalPath, QString(), {}, trashed.entry, {}});
    return trashed;
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
    // A refused step would stand in front of every older one.
    steps_.pop_back();
    return result;
}

SortingUndo::Result SortingUndo::undoCopy(Step& step)
{
    // A copy already gone is not removed again; only what it replaced comes back.
    if (existsOrDangles(step.to)) {
        if (digestOf(step.to) != step.digest) return refused(Refusal::CopyChanged, step.to);
        // The copy may be all that is left of the picture.
        if (!existsOrDangles(step.from)) return refused(Refusal::OriginalGone, step.from);
        if ((step.trashed && !existsOrDangles(step.trashed->trashedPath)) ||
            (!step.aside.isEmpty() && !existsOrDangles(step.aside)))
            return refused(Refusal::ReplacedGone, step.to);
        if (const FileResult removed = FileOperations::Delete(step.to); !removed)
            return failed(removed, step.to);
    }
    if (step.trashed) {
        const Result back = restored(DesktopTrash::Restore(*step.trashed), step.to, Refusal::ReplacedGone);
        return back.outcome == Outcome::Undone ? undone(step.from) : back;
    }
    if (!step.aside.isEmpty()) {
        if (!existsOrDangles(step.aside)) return refused(Refusal::ReplacedGone, step.to);
        if (const FileResult back = RenameNoReplace(step.aside, step.to); !back) return failed(back, step.to);
    }
    return undone(step.from);
}

SortingUndo::Result SortingUndo::undoMove(const Step& step)
{
    if (!existsOrDangles(step.to)) return refused(Refusal::MovedGone, step.to);
    if (existsOrDangles(step.from) && !FileOperations::IsSameFileInOtherCase(step.to, step.from))
        return refused(Refusal::NameTaken, step.from);
    if (const FileResult back = FileOperations::MoveNoReplace(step.to, step.from); !back)
        return failed(back, step.from);
    return undone(step.from);
}

SortingUndo::Result SortingUndo::undoTrash(const Step& step)
{
    return restored(DesktopTrash::Restore(*step.trashed), step.from, Refusal::NotInTrash);
}
