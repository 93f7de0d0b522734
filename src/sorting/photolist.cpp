#include "sorting/photolist.h"

#include "controls/filelistbox.h"
#include "controls/filelisting.h"
#include "platform/dialogservice.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {
const QString Pixly = QStringLiteral("Pixly");
const QString LastQuestion =
    QStringLiteral("Tenhle obrázek byl poslední.\rChcete začít prohlížet znovu od začátku?");
const QString FirstQuestion = QStringLiteral("Tenhle obrázek byl první.\rChcete začít prohlížet od konce?");
} // namespace

PhotoList::PhotoList(FileListBox& list) : list_(list) {}

QString PhotoList::CurrentPath() const
{
    return list_.FileName();
}

int PhotoList::Count() const
{
    return list_.Count();
}

int PhotoList::Position() const
{
    return list_.ItemIndex();
}

void PhotoList::SetPosition(int index)
{
    list_.SetItemIndex(index);
}

void PhotoList::Reread()
{
    list_.Update();
}

void PhotoList::SelectByPath(const QString& path)
{
    const QFileInfo file(path);
    const QString folder = QDir::toNativeSeparators(file.absolutePath());
    if (QDir(folder) != QDir(list_.Directory())) list_.SetDirectory(folder);
    const QString name = file.fileName();
    // A RAW whose JPEG stands for their photo is found as that entry.
    if (selectListed(name) || !file.isFile() || selectListed(list_.EntryShowing(name))) return;
    if (!MatchesMask(name, list_.Mask())) list_.SetMask(name);
    // Listings leave hidden files out (on Linux, names that begin with "."),
    // so a picture renamed to such a name, such as ".jpg", is added to the
    // list on its own and stays current; the mask stays as it is, and other
    // hidden files stay out of the list.
    if (!selectListed(name)) insertListed(name);
}

bool PhotoList::selectListed(const QString& name)
{
    // The exact name first: a folder on a case-sensitive disk may hold both a.jpg and A.JPG.
    for (const Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (int i = 0; i < list_.Count(); ++i) {
            if (list_.Item(i).compare(name, sensitivity) == 0) {
                list_.SetItemIndex(i);
                return true;
            }
        }
    }
    return false;
}

void PhotoList::insertListed(const QString& name)
{
    QStringList names{name};
    for (int i = 0; i < list_.Count(); ++i)
        names.append(list_.Item(i));
    SortAsListed(names);
    const int row = int(names.indexOf(name));
    list_.insertItem(row, name);
    list_.SetItemIndex(row);
}

NearbyPictures PhotoList::Nearby(int count) const
{
    const int size = list_.Count();
    const int position = list_.ItemIndex();
    if (position < 0) return {};
    const auto pathAt = [&](int index) { return JoinFolderAndName(list_.Directory(), list_.Item(index)); };
    NearbyPictures nearby;
    for (int step = 1; step <= std::min(count, size - 1); ++step) {
        nearby.following.append(pathAt((position + step) % size));
        nearby.preceding.append(pathAt((position - step + size) % size));
    }
    return nearby;
}

QStringList PhotoList::FilesOf(const QString& path) const
{
    const QFileInfo file(path);
    if (path.isEmpty() || QDir(file.absolutePath()) != QDir(list_.Directory())) return {path};
    QStringList paths;
    for (const QString& name : list_.FilesOf(file.fileName()))
        paths << JoinFolderAndName(list_.Directory(), name);
    return paths;
}

namespace Navigation {

bool AskStartAgain()
{
    return Dialogs().AskYesNoDefaultYes(LastQuestion, Pixly);
}

void StepNext(PhotoList& photos)
{
    const int position = photos.Position();
    if (position != photos.Count() - 1)
        photos.SetPosition(position + 1);
    else if (AskStartAgain())
        photos.SetPosition(0);
}

void StepPrevious(PhotoList& photos)
{
    // Without a selection this asks as at the first picture rather than
    // stepping to a position before the list.
    const int position = photos.Position();
    if (position > 0)
        photos.SetPosition(position - 1);
    else if (Dialogs().AskYesNoDefaultYes(FirstQuestion, Pixly))
        photos.SetPosition(photos.Count() - 1);
}

} // namespace Navigation
