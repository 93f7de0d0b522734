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
    return CopyGroup({{source, target}}, keepReplaced).result;
}

FileResult SortingUndo::Write(const QString& original, const QString& target, bool keepReplaced,
                              const Writer& writer)
{
    std::optional<Part> part;
    const FileResult written = writePart(original, target, keepReplaced, writer, part);
    if (part) push({std::move(*part)});
    return written;
}

FileResult SortingUndo::Move(const QString& from, const QString& to)
{
    return MoveGroup({{from, to}}).result;
}

DesktopTrash::Result SortingUndo::Trash(const QString& path)
{
    return TrashGroup({path}).trashed;
}

FileResult SortingUndo::writePart(const QString& original, const QString& target, bool keepReplaced,
                                  const Writer& writer, std::optional<Part>& part)
{
    Part made{Kind::Copy, original, target, {}, std::nullopt, {}};
    // Whatever is not a file (a folder) is left to the writer to refuse.
    if (keepReplaced && QFileInfo(target).isFile()) {
        const DesktopTrash::Result trashed = DesktopTrash::MoveToTrash(target);
        FileResult asideFailure = FileResult::Done();
        if (trashed.outcome == DesktopTrash::Outcome::Trashed)
            made.trashed = trashed.entry;
        else if (const auto aside = setAside(target, asideFailure))
            made.aside = *aside;
        else
            return asideFailure;
    }
    const auto putBack = [&made] {
        if (made.trashed) DesktopTrash::Restore(*made.trashed);
        if (!made.aside.isEmpty()) RenameNoReplace(made.aside, made.to);
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
    if (!made.trashed && made.aside.isEmpty() && FileOperations::SameFile(original, target)) return written;
    made.digest = digestOf(target).value_or(QByteArray());
    part = std::move(made);
    return written;
}

void SortingUndo::takeBack(Step& done)
{
    for (auto part = done.rbegin(); part != done.rend(); ++part)
        undoPart(*part);
}

SortingUndo::GroupResult SortingUndo::CopyGroup(const QList<FileStep>& files, bool keepReplaced)
{
    Step step;
    for (const FileStep& file : files) {
        std::optional<Part> part;
        // Checked before anything is set aside: the target may be the source itself.
        const FileResult copied =
            FileOperations::SameFile(file.from, file.to)
                ? FileOperations::CopyReplacing(file.from, file.to)
                : writePart(
                      file.from, file.to, keepReplaced,
                      [&file](const QString& path) { return FileOperations::CopyReplacing(file.from, path); },
                      part);
        if (!copied) {
            takeBack(step);
            return {copied, file.to, {}};
        }
        if (part) step.push_back(std::move(*part));
    }
    if (!step.empty()) push(std::move(step));
    return {FileResult::Done(), {}, {}};
}

SortingUndo::GroupResult SortingUndo::MoveGroup(const QList<FileStep>& files)
{
    Step step;
    for (const FileStep& file : files) {
        const FileResult moved = FileOperations::MoveNoReplace(file.from, file.to);
        if (!moved) {
            takeBack(step);
            return {moved, file.to, {}};
        }
        step.push_back({Kind::Move, file.from, file.to, {}, std::nullopt, {}});
    }
    push(std::move(step));
    return {FileResult::Done(), {}, {}};
}

SortingUndo::GroupResult SortingUndo::TrashGroup(const QStringList& paths)
{
    Step step;
    for (const QString& path : paths) {
        const DesktopTrash::Result trashed = DesktopTrash::MoveToTrash(path);
        if (trashed.outcome != DesktopTrash::Outcome::Trashed) {
            takeBack(step);
            return {FileResult::Failed(trashed.reason), path, trashed};
        }
        step.push_back({Kind::Trash, trashed.entry.originalPath, QString(), {}, trashed.entry, {}});
    }
    DesktopTrash::Result first;
    first.outcome = DesktopTrash::Outcome::Trashed;
    first.entry = *step.front().trashed;
    push(std::move(step));
    return {FileResult::Done(), {}, first};
}

SortingUndo::Result SortingUndo::Undo()
{
    if (steps_.empty()) return {};
    // A refused step would stand in front of every older one, so it is given up either way.
    Step step = std::move(steps_.back());
    steps_.pop_back();
    // Nothing of a photo's files is taken back unless all of them can be.
    for (const Part& part : step)
        if (std::optional<Result> refusal = refusalOf(part)) return *refusal;
    Result result = undone(step.front().from);
    for (auto part = step.rbegin(); part != step.rend(); ++part) {
        const Result back = undoPart(*part);
        if (back.outcome != Outcome::Undone) result = back;
    }
    return result;
}

std::optional<SortingUndo::Result> SortingUndo::refusalOf(const Part& part) const
{
    switch (part.kind) {
    case Kind::Copy:
        if (existsOrDangles(part.to)) {
            if (digestOf(part.to) != part.digest) return refused(Refusal::CopyChanged, part.to);
            // The copy may be all that is left of the picture.
            if (!existsOrDangles(part.from)) return refused(Refusal::OriginalGone, part.from);
        }
        if ((part.trashed && !existsOrDangles(part.trashed->trashedPath)) ||
            (!part.aside.isEmpty() && !existsOrDangles(part.aside)))
            return refused(Refusal::ReplacedGone, part.to);
        break;
    case Kind::Move:
        if (!existsOrDangles(part.to)) return refused(Refusal::MovedGone, part.to);
        if (existsOrDangles(part.from) && !FileOperations::IsSameFileInOtherCase(part.to, part.from))
            return refused(Refusal::NameTaken, part.from);
        break;
    case Kind::Trash:
        if (!existsOrDangles(part.trashed->trashedPath)) return refused(Refusal::NotInTrash, part.from);
        if (existsOrDangles(part.from)) return refused(Refusal::NameTaken, part.from);
        break;
    }
    return std::nullopt;
}

SortingUndo::Result SortingUndo::undoPart(Part& part)
{
    if (std::optional<Result> refusal = refusalOf(part)) return *refusal;
    switch (part.kind) {
    case Kind::Copy: return undoCopy(part);
    case Kind::Move:
        if (const FileResult back = FileOperations::MoveNoReplace(part.to, part.from); !back)
            return failed(back, part.from);
        return undone(part.from);
    case Kind::Trash: return restored(DesktopTrash::Restore(*part.trashed), part.from, Refusal::NotInTrash);
    }
    return undone(part.from);
}

SortingUndo::Result SortingUndo::undoCopy(Part& part)
{
    // A copy already gone is not removed again; only what it replaced comes back.
    if (existsOrDangles(part.to))
        if (const FileResult removed = FileOperations::Delete(part.to); !removed)
            return failed(removed, part.to);
    if (part.trashed) {
        const Result back = restored(DesktopTrash::Restore(*part.trashed), part.to, Refusal::ReplacedGone);
        return back.outcome == Outcome::Undone ? undone(part.from) : back;
    }
    if (!part.aside.isEmpty())
        if (const FileResult back = RenameNoReplace(part.aside, part.to); !back) return failed(back, part.to);
    return undone(part.from);
}
