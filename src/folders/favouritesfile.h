#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// One favourite folder: the name the user gave it and the folder it opens.
struct Favourite {
    QString description;
    QString path;

    bool operator==(const Favourite&) const = default;
};

// The per-user favourites file: one "description;path" line per entry, CR LF
// line ends, Windows-1250 text. A file whose entries Windows-1250 cannot hold
// is written as UTF-8 behind a byte-order mark instead, and read back as such.
namespace FavouritesFile {

// The number of entries the file carries: at most this many lines are read
// and at most this many entries are written.
constexpr int MaxEntries = 101;

// The login name with A to Z lowered (every other character kept) + ".dat".
QString FileNameFor(const QString& loginName);

// What a user without a favourites file starts with.
QList<Favourite> DefaultList(const QString& documentsFolder);

// The favourites in the file; DefaultList when there is no file. No value when
// the file exists but cannot be read, so that the caller does not save over it.
std::optional<QList<Favourite>> Load(const QString& filePath, const QString& documentsFolder);

// The favourites that the file contents stand for. The first line always
// counts, the first later line with an empty description ends the list and
// lines with an empty path are skipped; lines past MaxEntries are ignored.
QList<Favourite> Parse(const QByteArray& contents);

// The file contents for the entries: the first MaxEntries entries, without
// those with an empty description (as the format has always done) and without
// those holding a line break (they would split into lines that cut the list
// short on the next load).
QByteArray Serialise(const QList<Favourite>& entries);

// Writes Serialise(entries) to a temporary file beside the target and moves it
// over the target only when complete. False when that failed; the old file is
// then as it was.
bool Save(const QString& filePath, const QList<Favourite>& entries);

// Whether a typed description survives a save and load: no ";" (the
// separator) and no line break.
bool IsValidDescription(const QString& description);

// Whether a folder path survives a save and load: no line break.
bool IsValidPath(const QString& path);

// Whether one more entry fits into the file beside currentCount entries.
bool CanAdd(int currentCount);

} // namespace FavouritesFile
