#pragma once

#include <QDialog>

class QCheckBox;
class Windows;

// The program settings window.
class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(Windows& windows);

    // The working copy of the automatic update check after start.
    QCheckBox* CheckBox2;

private:
    void FormCreate();

    Windows& windows_;
};
