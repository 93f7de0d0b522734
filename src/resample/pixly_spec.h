#pragma once

#include <QDialog>

class Windows;

class Tspecial : public QDialog {
    Q_OBJECT
public:
    explicit Tspecial(Windows& windows);

private:
    Windows& windows_;
};
