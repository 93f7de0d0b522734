#include "folders/builtinpreview.h"

#include <QFont>
#include <QPainter>

QImage BuiltInPreview()
{
    QImage picture(962, 613, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 170));
    QPainter painter(&picture);
    QFont font(QStringLiteral("Bookman Old Style"));
    font.setPixelSize(160);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Pixly"));
    return picture;
}
