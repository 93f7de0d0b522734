#include "controls/radiogroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)), layout_(new QVBoxLayout(this))
{
    layout_->setContentsMargins(8, 4, 8, 4);
    layout_->setSpacing(2);
    connect(buttons_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

void RadioGroup::SetItems(const QStringList& items)
{
    for (QAbstractButton* button : buttons_->buttons()) {
        buttons_->removeButton(button);
        delete button;
    }
    items_ = items;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        buttons_->addButton(button, i);
        layout_->addWidget(button);
    }
}

QList<QAbstractButton*> RadioGroup::Buttons() const
{
    QList<QAbstractButton*> buttons;
    for (int i = 0; i < items_.size(); ++i)
        buttons.append(buttons_->button(i));
    return buttons;
}

int RadioGroup::ItemIndex() const
{
    return buttons_->checkedId();
}

void RadioGroup::SetItemIndex(int index)
{
    QAbstractButton* button = buttons_->button(index);
    if (!button) return;
    button->setChecked(true);
    keepTabStopOnSelection();
    emit clicked(index);
}

void RadioGroup::keepTabStopOnSelection()
{
    // What Qt does itself when one of the buttons takes the focus.
    for (QAbstractButton* button : buttons_->buttons())
        button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}
