#include "shell/makerweb.h"

#include <QDesktopServices>
#include <QUrl>

namespace MakerWeb {

QString Url(const QString& path)
{
    return QStringLiteral("http://") + Host + path;
}

void Open(const QString& path)
{
    QDesktopServices::openUrl(QUrl(Url(path)));
}

} // namespace MakerWeb
