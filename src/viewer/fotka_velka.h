#pragma once

#include <QWidget>

class Windows;

class Tvelka_fotka : public QWidget {
    Q_OBJECT
public:
    explicit Tvelka_fotka(Windows& windows);

private:
    Windows& windows_;
};
