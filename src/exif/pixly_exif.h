#pragma once

#include <QDialog>

class Windows;

class Texifdata : public QDialog {
    Q_OBJECT
public:
    explicit Texifdata(Windows& windows);

private:
    Windows& windows_;
};
