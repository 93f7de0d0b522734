#include "shell/versionfile.h"

#include "shell/versioncompare.h"

#include <QStringDecoder>
#include <QStringList>

namespace VersionFile {

namespace {

constexpr int UsedLines = 4;

QString decodeLegacy(const QByteArray& contents)
{
    QStringDecoder decoder("windows-1250");
    if (!decoder.isValid()) return QString::fromLatin1(contents);
    return decoder.decode(contents);
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

std::optional<PublishedVersion> Parse(const QByteArray& contents)
{
    QStringList lines = decodeLegacy(contents).split(QLatin1Char('\n'));
    // The break after the last line leaves an empty piece that is no line.
    if (lines.last().isEmpty()) lines.removeLast();
    if (lines.size() < UsedLines) return std::nullopt;
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    }
    return PublishedVersion{lines.at(0), lines.at(1), lines.at(3)};
}

bool IsNewerThan(const PublishedVersion& published, const QString& running)
{
    if (published.major.size() != 1 || !isAsciiDigit(published.major.at(0))) return false;
    const auto remote = ReadVersionDigits(published.major + QLatin1Char('.') + published.minor);
    const auto current = ReadVersionDigits(running);
    return remote && current && IsNewer(*remote, *current);
}

QString UpdateQuestion(const PublishedVersion& published)
{
    return QStringLiteral("Na internetu byla nalezena nová verze ") + published.major + QLatin1Char('.') +
           published.minor + QStringLiteral(", přidána ") + published.date + QLatin1Char('\r') +
           QStringLiteral("Chcete jí stáhnout a nainstalovat?");
}

} // namespace VersionFile
