#include "controls/directorylistbox.h"

#include "controls/filelisting.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

// Draws each line shifted right by its level, so the path reads as a tree.
class IndentingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(option, index), 0);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->rect.setLeft(option->rect.left() + Indent(*option, index));
    }

private:
    static int Indent(const QStyleOptionViewItem& option, const QModelIndex& index)
    {
        return index.data(DirectoryListBox::LevelRole).toInt() * option.fontMetrics.horizontalAdvance(u'M');
    }
};

// The folders from the root down to the given absolute, clean path, in Qt's
// form. Works on the text alone, so a path that has just gone still splits.
QStringList PathLevels(const QString& path)
{
    QStringList levels{path};
    for (;;) {
        const QString parent = QFileInfo(levels.first()).path();
        if (parent.size() >= levels.first().size()) break;
        levels.prepend(parent);
    }
    return levels;
}

QString CleanAbsolute(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent)
    : QListWidget(parent), directory_(QDir::cleanPath(QDir::currentPath()))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new IndentingDelegate(this));
    connect(this, &QListWidget::itemDoubleClicked, this, &DirectoryListBox::OpenEntry);
    Fill();
}

QString DirectoryListBox::Directory() const
{
    return QDir::toNativeSeparators(directory_);
}

bool DirectoryListBox::SetDirectory(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isDir()) return false;
    directory_ = CleanAbsolute(path);
    Fill();
    emit directoryChanged(Directory());
    return true;
}

void DirectoryListBox::Update()
{
    if (!QFileInfo(directory_).isDir()) directory_ = QDir::cleanPath(QDir::rootPath());
    Fill();
    emit directoryChanged(Directory());
}

QString DirectoryListBox::FolderAt(int row) const
{
    const QListWidgetItem* entry = item(row);
    return entry ? entry->data(FolderRole).toString() : QString();
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentItem()) {
        // Taken here so that Enter does not also reach a default button.
        OpenEntry(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryListBox::OpenEntry(const QListWidgetItem* entry)
{
    if (!entry) return;
    // A copy: the list is rebuilt, and the entry deleted, while it is used.
    const QString folder = entry->data(FolderRole).toString();
    SetDirectory(folder);
}

void DirectoryListBox::Fill()
{
    clear();
    const QStringList levels = PathLevels(directory_);
    AddEntry(QDir::toNativeSeparators(levels.first()), levels.first(), 0,
             style()->standardIcon(QStyle::SP_DriveHDIcon));
    const QIcon openFolder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    for (int level = 1; level < levels.size(); ++level)
        AddEntry(QFileInfo(levels[level]).fileName(), levels[level], level, openFolder);
    const int currentRow = count() - 1;

    const QIcon closedFolder = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const QString& name : ListSubfolders(directory_))
        AddEntry(name, JoinFolderAndName(directory_, name), levels.size(), closedFolder);
    setCurrentRow(currentRow, QItemSelectionModel::ClearAndSelect);
}

void DirectoryListBox::AddEntry(const QString& text, const QString& folder, int level, const QIcon& icon)
{
    auto* entry = new QListWidgetItem(icon, text, this);
    entry->setData(FolderRole, QDir::toNativeSeparators(folder));
    entry->setData(LevelRole, level);
}
