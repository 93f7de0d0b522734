#pragma once

#include <QString>
#include <optional>

// Versions are compared by their first and third characters, each read as
// one decimal digit (major and minor): "2.2" is major 2, minor 2.
struct VersionDigits {
    int major;
    int minor;
};

// The two digits, or nothing when the text is shorter than three characters
// or has a non-digit at character 1 or 3.
std::optional<VersionDigits> ReadVersionDigits(const QString& version);

// True when a is newer than b: a greater major, or equal majors and a greater minor.
bool IsNewer(const VersionDigits& a, const VersionDigits& b);

enum class VersionOrder { Newer, Older, Equal };

// How the running version stands to the stored one. A stored text that
// cannot be compared counts as equal, so it neither migrates nor warns.
VersionOrder CompareRunningWithStored(const QString& running, const QString& stored);
