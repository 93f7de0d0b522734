#pragma once

#include <QString>

// The longest name a file may have on the volumes we write to, in the bytes of its encoding.
inline constexpr int MaxNameBytes = 255;

// stem followed by tail, the stem cut short (never inside a character) so that the whole name
// takes at most maxBytes bytes; used where a name is made longer than the one the user chose.
QString NameWithin(const QString& stem, const QString& tail, int maxBytes = MaxNameBytes);
