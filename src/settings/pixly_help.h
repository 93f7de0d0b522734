#pragma once

#include <QDialog>

class Windows;

class Thelp : public QDialog {
    Q_OBJECT
public:
    explicit Thelp(Windows& windows);

private:
    Windows& windows_;
};
