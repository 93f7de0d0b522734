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
    addItems(ListMatchingFiles(directory_, mask_));
    SetItemIndex(-1);
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
