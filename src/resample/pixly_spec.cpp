#include "resample/pixly_spec.h"

Tspecial::Tspecial(Windows& windows) : QDialog(nullptr), windows_(windows)
{
    setWindowTitle(QStringLiteral("Resample"));
}
