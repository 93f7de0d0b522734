#pragma once

#include "folders/favouritesfile.h"

#include <QList>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QTimer>
#include <QTreeWidget>

// The report-style list of favourite folders: one row per entry with its
// name and folder, grid lines, whole rows selected, nothing edited in place,
// headers that do not sort. The selection stays visible without the focus,
// and the row under the pointer is highlighted and, after a short hover,
// selected. A click on the empty part of the list clears the selection.
class FavouritesView : public QTreeWidget {
    Q_OBJECT

public:
    // How long the pointer rests on a row before it is selected: the
    // system's usual hover time.
    static constexpr int HoverSelectDelay = 400;

    // columns: the headings of the name and the folder column.
    FavouritesView(const QStringList& columns, QWidget* parent = nullptr);

    // How many entries are shown with their number before the name.
    static constexpr int NumberedEntries = 9;

    // Shows the entries in their order, the first NumberedEntries with their
    // number ("1 – " and the name), and selects the one at selectedIndex
    // (-1, or an index outside the list, selects none).
    void Show(const QList<Favourite>& entries, int selectedIndex);

    // The selected row, -1 when none is.
    int SelectedIndex() const;
    void SetSelectedIndex(int index);

    // The row that the pointer rests on, -1 when none.
    int HoveredIndex() const;

signals:
    // A double-click anywhere in the list, on a row or beside the rows.
    void listDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void rowEntered(const QModelIndex& index);
    void forgetHoveredRow();
    void selectHoveredRow();

    QTimer hoverTimer_;
    QPersistentModelIndex hovered_;
};
