#include "exif/pixly_exif.h"

Texifdata::Texifdata(Windows& windows) : QDialog(nullptr), windows_(windows)
{
    setWindowTitle(QStringLiteral("EXIF informace"));
}
