#include "settings/pixly_help.h"

Thelp::Thelp(Windows& windows) : QDialog(nullptr), windows_(windows)
{
    setWindowTitle(QStringLiteral("Help"));
}
