#pragma once

#include "controls/buttonlessdialog.h"

class TExif;
class Windows;

// The EXIF information window: the EXIF lines of the picture on screen.
class Texifdata : public ButtonlessDialog {
    Q_OBJECT
public:
    explicit Texifdata(Windows& windows);

    TExif* Exif1;

    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Windows& windows_;
};
