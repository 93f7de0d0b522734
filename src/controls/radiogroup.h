#pragma once

#include <QGroupBox>
#include <QStringList>

class QAbstractButton;
class QButtonGroup;
class QGridLayout;

// A captioned frame with one radio button per item, one of them selected. The items stand in
// columns, filled top to bottom, one column unless asked otherwise; a frame too narrow for its
// columns is widened to the right.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(const QString& caption, QWidget* parent = nullptr);

    void SetItems(const QStringList& items);
    // For the items set from now on.
    void SetColumns(int columns) { columns_ = columns; }
    QStringList Items() const { return items_; }
    // One radio button per item, in the order of the items.
    QList<QAbstractButton*> Buttons() const;
    // -1 when nothing is selected.
    int ItemIndex() const;
    // Selecting by program emits clicked like a click by the user.
    void SetItemIndex(int index);

signals:
    void clicked(int index);

protected:
    bool event(QEvent* event) override;

private:
    // Tab enters the group at the selected button, also when the program
    // made the choice.
    void keepTabStopOnSelection();
    void fitColumns();

    QStringList items_;
    QButtonGroup* buttons_;
    QGridLayout* layout_;
    int columns_ = 1;
};
