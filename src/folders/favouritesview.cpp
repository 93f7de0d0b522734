#include "folders/favouritesview.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

const QString NumberPrefix = QStringLiteral("%1 – ");

// Draws each cell with a line along its right and bottom edge, which makes
// the grid, and the row under the pointer in a light highlight.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (option.state.testFlag(QStyle::State_MouseOver) &&
            !option.state.testFlag(QStyle::State_Selected)) {
            QColor hot = option.palette.color(QPalette::Highlight);
            hot.setAlpha(100);
            painter->fillRect(option.rect, hot);
        }
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
};

} // namespace

FavouritesView::FavouritesView(const QStringList& columns, QWidget* parent) : QTreeWidget(parent)
{
    setHeaderLabels(columns);
    setColumnWidth(0, 100);
    setColumnWidth(1, 180);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new GridDelegate(this));

    // The selection looks the same whether or not the list has the focus.
    QPalette colours = palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    // Hover events mark the row to highlight; mouse tracking reports the
    // row the pointer has entered, which is selected when it rests there.
    viewport()->setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    hoverTimer_.setSingleShot(true);
    hoverTimer_.setInterval(HoverSelectDelay);
    connect(&hoverTimer_, &QTimer::timeout, this, &FavouritesView::selectHoveredRow);
    connect(this, &QAbstractItemView::entered, this, &FavouritesView::rowEntered);
    connect(this, &QAbstractItemView::viewportEntered, this, &FavouritesView::forgetHoveredRow);
}

void FavouritesView::Show(const QList<Favourite>& entries, int selectedIndex)
{
    clear();
    for (const Favourite& entry : entries) {
        // The first nine carry the digit that sends a picture there from the viewers.
        const int number = topLevelItemCount() + 1;
        const QString shown =
            number <= NumberedEntries ? NumberPrefix.arg(number) + entry.description : entry.description;
        auto* row = new QTreeWidgetItem(this, {shown, entry.path});
        row->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
    SetSelectedIndex(selectedIndex);
}

int FavouritesView::SelectedIndex() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

void FavouritesView::SetSelectedIndex(int index)
{
    QTreeWidgetItem* row = topLevelItem(index);
    if (!row) {
        selectionModel()->clear();
        return;
    }
    setCurrentItem(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int FavouritesView::HoveredIndex() const
{
    return hovered_.isValid() ? hovered_.row() : -1;
}

void FavouritesView::mousePressEvent(QMouseEvent* event)
{
    hoverTimer_.stop();
    QTreeWidget::mousePressEvent(event);
    if (!indexAt(event->position().toPoint()).isValid()) selectionModel()->clear();
}

void FavouritesView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit listDoubleClicked();
}

bool FavouritesView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave) forgetHoveredRow();
    return QTreeWidget::viewportEvent(event);
}

void FavouritesView::rowEntered(const QModelIndex& index)
{
    // Moving from one column to the other stays on the same row.
    if (hovered_.isValid() && hovered_.row() == index.row()) return;
    hovered_ = index;
    hoverTimer_.start();
}

void FavouritesView::forgetHoveredRow()
{
    hoverTimer_.stop();
    hovered_ = QPersistentModelIndex();
}

void FavouritesView::selectHoveredRow()
{
    if (hovered_.isValid()) SetSelectedIndex(hovered_.row());
}
