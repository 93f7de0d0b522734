#pragma once

#include <QDialog>

class Windows;

class Tslideshow : public QDialog {
    Q_OBJECT
public:
    explicit Tslideshow(Windows& windows);

private:
    Windows& windows_;
};
