#pragma once

#include <QString>

// The maker's web server: the About window's links, the viewer's "Web"
// item and the update check all go to this one host.
namespace MakerWeb {
inline const QString Host = QStringLiteral("www.tremanova.example");
QString Url(const QString& path);
// Opens the page in the default browser, a new window each time.
void Open(const QString& path);
} // namespace MakerWeb
