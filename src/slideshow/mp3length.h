#pragma once

#include <QString>
#include <optional>

// The playing time of an MPEG audio file (MP3 and its layer I and II kin),
// read from its frame headers: from the frame count of a Xing, Info or VBRI
// header when the first frame holds one, otherwise from the audio's size and
// the first frame's bitrate, as for a file of constant bitrate. An ID3v2 tag
// in front and an ID3v1 tag at the end are left out. Nothing when the file
// can't be read or does not hold two consecutive frames near its start.
std::optional<int> Mp3LengthMs(const QString& path);
