#pragma once

#include <QDialog>

// A tool window without a cancel button: it is closed with the close button of its title bar, so
// Esc, which QDialog takes for cancelling, does nothing.
class ButtonlessDialog : public QDialog {
    Q_OBJECT
public:
    explicit ButtonlessDialog(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
