#pragma once

#include <QGroupBox>
#include <QStringList>

class QAbstractButton;
class QButtonGroup;
class QVBoxLayout;

// A captioned frame with one radio button per item, one of them selected.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(const QString& caption, QWidget* parent = nullptr);

    void SetItems(const QStringList& items);
    QStringList Items() const { return items_; }
    // One radio button per item, in the order of the items.
    QList<QAbstractButton*> Buttons() const;
    // -1 when nothing is selected.
    int ItemIndex() const;
    // Selecting by program emits clicked like a click by the user.
    void SetItemIndex(int index);

signals:
    void clicked(int index);

private:
    // Tab enters the group at the selected button, also when the program
    // made the choice.
    void keepTabStopOnSelection();

    QStringList items_;
    QButtonGroup* buttons_;
    QVBoxLayout* layout_;
};
