#pragma once

class QEvent;
class QWidget;

// True when the event ends a click on the widget: the left button released over it. Qt sends the
// release to the widget that took the press, so a press dragged off and let go elsewhere is no
// click, nor is a right or middle click.
bool EndsClick(const QWidget& widget, const QEvent& event);
