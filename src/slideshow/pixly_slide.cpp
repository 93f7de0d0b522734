#include "slideshow/pixly_slide.h"

Tslideshow::Tslideshow(Windows& windows) : QDialog(nullptr), windows_(windows)
{
    setWindowTitle(QStringLiteral("Slideshow - nastavení"));
}
