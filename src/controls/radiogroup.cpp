#include "controls/radiogroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QRadioButton>

#include <algorithm>

RadioGroup::RadioGroup(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)), layout_(new QGridLayout(this))
{
    layout_->setContentsMargins(8, 4, 8, 4);
    layout_->setVerticalSpacing(2);
    connect(buttons_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

void RadioGroup::SetItems(const QStringList& items)
{
    for (QAbstractButton* button : buttons_->buttons()) {
        buttons_->removeButton(button);
        delete button;
    }
    items_ = items;
    const int rows = (int(items.size()) + columns_ - 1) / std::max(columns_, 1);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        buttons_->addButton(button, i);
        layout_->addWidget(button, i % rows, i / rows);
    }
    fitColumns();
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

bool RadioGroup::event(QEvent* event)
{
    const bool handled = QGroupBox::event(event);
    // The texts' room is known for certain only once the style and the font apply.
    if (event->type() == QEvent::Polish || event->type() == QEvent::LayoutRequest ||
        event->type() == QEvent::FontChange)
        fitColumns();
    return handled;
}

void RadioGroup::fitColumns()
{
    // Items side by side need the room of their texts; the frame grows to the right for them.
    if (columns_ > 1 && sizeHint().width() > width()) resize(sizeHint().width(), height());
}
