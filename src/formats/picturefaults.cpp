#include "formats/picturefaults.h"

#include <QDir>

namespace {
const QString Damaged = QStringLiteral("Obrázek nelze zobrazit, soubor je poškozený nebo neúplný:\r%1");
const QString TooLarge = QStringLiteral("Obrázek nelze zobrazit, je příliš velký (%1 × %2 pixelů):\r%3");
} // namespace

PixlyError DamagedPicture(const QString& path)
{
    return PixlyError(Damaged.arg(QDir::toNativeSeparators(path)));
}

void RefuseOversizedPicture(const QSize& size, const QString& path)
{
    RefuseOversizedPicture(size.width(), size.height(), path);
}

void RefuseOversizedPicture(qint64 width, qint64 height, const QString& path)
{
    if (width <= 0 || height <= 0) throw DamagedPicture(path);
    // Each side on its own too, so that the product cannot overflow.
    if (width <= MaxPicturePixels && height <= MaxPicturePixels && width * height <= MaxPicturePixels) return;
    throw PixlyError(TooLarge.arg(width).arg(height).arg(QDir::toNativeSeparators(path)));
}
