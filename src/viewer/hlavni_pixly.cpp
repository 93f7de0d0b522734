#include "viewer/hlavni_pixly.h"

Thlavni::Thlavni(Windows& windows) : QWidget(nullptr), windows_(windows)
{
    setWindowTitle(QStringLiteral("Vendrax"));
}
