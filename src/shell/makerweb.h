#pragma once

#include <QString>

// The maker's web server: the About window's links, the viewer's "Web"
// item and the update check all go to this one address. It is a build
// setting; a build without one (as distributions build it) has no update
// check and shows no web links.
namespace MakerWeb {
// The base address, for example "https://www.example.org"; "" for none.
void SetBaseAddress(const QString& base);
bool Available();
// The host name shown for the web site.
QString Host();
QString Url(const QString& path);
// Opens the page in the default browser, a new window each time.
void Open(const QString& path);
} // namespace MakerWeb
