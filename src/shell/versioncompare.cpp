#include "shell/versioncompare.h"

std::optional<VersionDigits> ReadVersionDigits(const QString& version)
{
    if (version.size() < 3) return std::nullopt;
    const QChar major = version.at(0);
    const QChar minor = version.at(2);
    const auto isAsciiDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    if (!isAsciiDigit(major) || !isAsciiDigit(minor)) return std::nullopt;
    return VersionDigits{major.unicode() - '0', minor.unicode() - '0'};
}

bool IsNewer(const VersionDigits& a, const VersionDigits& b)
{
    return a.major > b.major || (a.major == b.major && a.minor > b.minor);
}

VersionOrder CompareRunningWithStored(const QString& running, const QString& stored)
{
    const auto runningDigits = ReadVersionDigits(running);
    const auto storedDigits = ReadVersionDigits(stored);
    if (!runningDigits || !storedDigits) return VersionOrder::Equal;
    if (IsNewer(*runningDigits, *storedDigits)) return VersionOrder::Newer;
    if (IsNewer(*storedDigits, *runningDigits)) return VersionOrder::Older;
    return VersionOrder::Equal;
}
