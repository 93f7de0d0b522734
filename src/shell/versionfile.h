#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The version file the maker publishes: line 1 the major digit, line 2 the
// minor digit, line 3 unused, line 4 the date of publishing; lines beyond
// the fourth are ignored.
struct PublishedVersion {
    QString major;
    QString minor;
    QString date;
};

namespace VersionFile {

// Where the file lives on the maker's web server, and its local name.
inline const QString RemotePath = QStringLiteral("/programy/aktual/pixly.dat");
inline const QString LocalName = QStringLiteral("aktual.dat");

// The first four lines of the file (Windows-1250 text; CR LF or a bare LF
// ends a line, the last line may lack its break); nothing with fewer lines.
std::optional<PublishedVersion> Parse(const QByteArray& contents);

// Whether the published version is newer than the running one, by major
// and minor digit. A line 1 that is not exactly one digit, or a line 2 that
// does not begin with a digit, is never newer.
bool IsNewerThan(const PublishedVersion& published, const QString& running);

// The question asked before handing over to the updater.
QString UpdateQuestion(const PublishedVersion& published);

} // namespace VersionFile
