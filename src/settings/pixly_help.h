#pragma once

#include <QDialog>

class QPlainTextEdit;
class Windows;

// The help window: a fixed summary of the keys.
class Thelp : public QDialog {
    Q_OBJECT
public:
    explicit Thelp(Windows& windows);

    QPlainTextEdit* Memo1;

    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
};
