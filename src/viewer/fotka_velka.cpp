#include "viewer/fotka_velka.h"

Tvelka_fotka::Tvelka_fotka(Windows& windows) : QWidget(nullptr), windows_(windows)
{
    setWindowTitle(QStringLiteral(""));
}
