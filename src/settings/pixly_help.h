#pragma once

#include "controls/buttonlessdialog.h"

class QPlainTextEdit;
class Windows;

// The help window: a fixed summary of the keys.
class Thelp : public ButtonlessDialog {
    Q_OBJECT
public:
    explicit Thelp(Windows& windows);

    QPlainTextEdit* Memo1;

    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
};
