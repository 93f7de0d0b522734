#include "settings/pixly_about.h"

Tabout::Tabout(Windows& windows) : QDialog(nullptr), windows_(windows)
{
    setWindowTitle(QStringLiteral("O programu"));
}
