#include "shell/makerweb.h"

#include <QDesktopServices>
#include <QUrl>

namespace MakerWeb {

namespace {
QString& base()
{
    static QString address;
    return address;
}
} // namespace

void SetBaseAddress(const QString& address)
{
    base() = address;
    while (base().endsWith(QLatin1Char('/')))
        base().chop(1);
}

bool Available()
{
    return !base().isEmpty();
}

QString Host()
{
    return QUrl(base()).host();
}

QString Url(const QString& path)
{
    return base() + path;
}

void Open(const QString& path)
{
    if (Available()) QDesktopServices::openUrl(QUrl(Url(path)));
}

} // namespace MakerWeb
