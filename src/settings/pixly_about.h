#pragma once

#include <QDialog>

class Windows;

class Tabout : public QDialog {
    Q_OBJECT
public:
    explicit Tabout(Windows& windows);

private:
    Windows& windows_;
};
