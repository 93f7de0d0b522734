#include "exif/pixly_exif.h"

#include "controls/filelistbox.h"
#include "exif/exif.h"
#include "folders/nast_pixly.h"
#include "platform/handlerguard.h"
#include "shell/windows.h"

#include <QApplication>
#include <QShowEvent>

namespace {
const QString Caption = QStringLiteral("EXIF informace");
}

Texifdata::Texifdata(Windows& windows) : ButtonlessDialog(nullptr), windows_(windows)
{
    setWindowTitle(Caption);
    setFixedSize(399, 345);
    Exif1 = new TExif(this);
    Exif1->setGeometry(0, 0, 401, 348);
    Exif1->setPlainText(QStringLiteral("Exif1"));
}

void Texifdata::showEvent(QShowEvent* event)
{
    ButtonlessDialog::showEvent(event);
    if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

void Texifdata::FormShow()
{
    Exif1->filename = windows_.nastaveni->FileListBox1->FileName();
    Exif1->showexif();
    Exif1->setFocus();
    QApplication::beep();
}
