#include "controls/filelistbox.h"

#include "controls/filelisting.h"

#include <QDir>
#include <QMouseEvent>

FileListBox::FileListBox(QWidget* parent)
    : QListWidget(parent), directory_(QDir::toNativeSeparators(QDir::currentPath())),
      mask_(QStringLiteral("*"))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    Update();
}

void FileListBox::SetDirectory(const QString& path)
{
    // Showing the folder it already shows keeps the list and its selection,
    // so a window can re-point its lists without losing the current picture.
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(QDir(path).absolutePath()));
    if (folder == directory_) return;
    directory_ = folder;
    Update();
}

void FileListBox::SetMask(const QString& mask)
{
    mask_ = mask;
    Update();
}

void FileListBox::Update()
{
    clear();
    if (!kindOf_) {
        groups_.reset();
        addItems(ListMatchingFiles(directory_, mask_));
    } else {
        // One reading of the folder serves both the groups and the listed names.
        const QStringList all = ListMatchingFiles(directory_, QStringLiteral("*"));
        QStringList listed = all;
        listed.removeIf([this](const QString& name) { return !MatchesMask(name, mask_); });
        groups_.emplace(all, kindOf_);
        addItems(groups_->Shown(listed));
    }
    SetItemIndex(-1);
}

void FileListBox::SetGrouping(PhotoGroups::KindOf kindOf)
{
    kindOf_ = std::move(kindOf);
    Update();
}

QStringList FileListBox::FilesOf(const QString& name) const
{
    return groups_ ? groups_->GroupOf(name) : QStringList{name};
}

QString FileListBox::EntryShowing(const QString& name) const
{
    for (const QString& file : FilesOf(name))
        for (int i = 0; i < count(); ++i)
            if (Item(i).compare(file, Qt::CaseInsensitive) == 0) return Item(i);
    return QString();
}

QString FileListBox::FileName() const
{
    const int index = ItemIndex();
    return index < 0 ? QString() : JoinFolderAndName(directory_, Item(index));
}

int FileListBox::ItemIndex() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void FileListBox::SetItemIndex(int index)
{
    if (index < 0 || index >= count()) {
        setCurrentRow(-1);
        clearSelection();
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(index));
}

QString FileListBox::Item(int index) const
{
    const QListWidgetItem* entry = item(index);
    return entry ? entry->text() : QString();
}

void FileListBox::mousePressEvent(QMouseEvent* event)
{
    QListWidget::mousePressEvent(event);
    emit mousePressed();
}
