#include "folders/favouritesfile.h"

#include "fileops/saferewrite.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace FavouritesFile {

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const char* const LegacyEncoding = "windows-1250";
const QChar Separator(u';');

bool HasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

QString Decode(const QByteArray& contents)
{
    if (contents.startsWith(Utf8Bom)) {
        // Only the one mark is dropped: a description may itself begin with U+FEFF.
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        return utf8.decode(contents.sliced(Utf8Bom.size()));
    }
    QStringDecoder decoder(LegacyEncoding);
    return decoder.decode(contents);
}

// The text in Windows-1250, or no value when it holds a character that the
// code page lacks (the encoder would put a substitute in its place) or when
// this Qt has no Windows-1250 converter at all.
std::optional<QByteArray> EncodeLegacy(const QString& text)
{
    QStringEncoder encoder(LegacyEncoding);
    if (!encoder.isValid()) return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) return std::nullopt;
    return bytes;
}

// The first MaxEntries lines; both CR LF and a bare LF end a line.
QStringList SplitLines(const QString& text)
{
    QStringList lines = text.split(u'\n');
    if (lines.size() > MaxEntries) lines.resize(MaxEntries);
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
    }
    return lines;
}

Favourite SplitLine(const QString& line)
{
    const qsizetype separator = line.indexOf(Separator);
    if (separator < 0) return {QString(), line};
    return {line.left(separator), line.mid(separator + 1)};
}

bool IsWritten(const Favourite& entry)
{
    return !entry.description.isEmpty() && !HasLineBreak(entry.description) && !HasLineBreak(entry.path);
}

// The first MaxEntries lines of the file, undecoded, so that an oversized
// file is never read whole.
QByteArray ReadLeadingLines(QFile& file)
{
    QByteArray contents;
    for (int line = 0; line < MaxEntries && !file.atEnd(); ++line)
        contents += file.readLine();
    return contents;
}

} // namespace

QString FileNameFor(const QString& loginName)
{
    QString name = loginName;
    for (QChar& character : name) {
        if (character >= u'A' && character <= u'Z') character = QChar(character.unicode() + (u'a' - u'A'));
    }
    return name + QStringLiteral(".dat");
}

QList<Favourite> DefaultList(const QString& documentsFolder)
{
    return {{QStringLiteral("Dokumenty"), documentsFolder}};
}

std::optional<QList<Favourite>> Load(const QString& filePath, const QString& documentsFolder)
{
    QFile file(filePath);
    if (!file.exists()) return DefaultList(documentsFolder);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return Parse(ReadLeadingLines(file));
}

QList<Favourite> Parse(const QByteArray& contents)
{
    const QStringList lines = SplitLines(Decode(contents));
    // Lines past the end of the file read as empty.
    const auto lineAt = [&lines](int index) { return SplitLine(lines.value(index)); };

    QList<Favourite> entries;
    for (int index = 0; index < MaxEntries; ++index) {
        const Favourite entry = lineAt(index);
        if (!entry.path.isEmpty()) entries.append(entry);
        if (index + 1 == MaxEntries || lineAt(index + 1).description.isEmpty()) break;
    }
    return entries;
}

QByteArray Serialise(const QList<Favourite>& entries)
{
    QString text;
    for (const Favourite& entry : entries.first(qMin(entries.size(), qsizetype(MaxEntries)))) {
        if (IsWritten(entry)) text += entry.description + Separator + entry.path + QStringLiteral("\r\n");
    }
    // Windows-1250 bytes that happen to begin like a byte-order mark would be
    // read back as UTF-8, so such a file is written as UTF-8 too.
    const std::optional<QByteArray> legacy = EncodeLegacy(text);
    if (legacy && !legacy->startsWith(Utf8Bom)) return *legacy;
    return Utf8Bom + text.toUtf8();
}

bool Save(const QString& filePath, const QList<Favourite>& entries)
{
    return RewriteFile(filePath, Serialise(entries)).ok();
}

bool IsValidDescription(const QString& description)
{
    return !description.contains(Separator) && !HasLineBreak(description);
}

bool IsValidPath(const QString& path)
{
    return !HasLineBreak(path);
}

bool CanAdd(int currentCount)
{
    return currentCount < MaxEntries;
}

} // namespace FavouritesFile
