#include "exif/exif.h"

#include "exif/exifreader.h"

#include <QStringList>

TExif::TExif(QWidget* parent) : QPlainTextEdit(parent)
{
    clear();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TExif::showexif()
{
    clear();
    QStringList lines;
    ReadExif(filename, lines);
    setPlainText(lines.join(QLatin1Char('\n')));
    setReadOnly(true);
    setFocusPolicy(Qt::ClickFocus);
}
