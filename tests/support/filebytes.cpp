#include "filebytes.h"

#include <QFile>

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<unreadable: " + path.toUtf8() + '>';
    return file.readAll();
}
