#pragma once

#include <QWidget>

class Windows;

class Thlavni : public QWidget {
    Q_OBJECT
public:
    explicit Thlavni(Windows& windows);

private:
    Windows& windows_;
};
