#pragma once

#include "controls/buttonlessdialog.h"

class QLabel;
class QPlainTextEdit;
class Windows;

// The About window: icon, product name, version, the maker's links and
// the credits of the outside components.
class Tabout : public ButtonlessDialog {
    Q_OBJECT
public:
    explicit Tabout(Windows& windows);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QPlainTextEdit* Memo1;

    void Label6Click();
    void Label8Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();

    Windows& windows_;
};
