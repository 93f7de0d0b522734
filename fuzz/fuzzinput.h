#pragma once

// What the fuzz targets share: handing an input to readers that take a file, and the application
// object that fonts and image plugins need.

#include <QString>

#include <cstddef>
#include <cstdint>

// Writes the input to a file of the given name in a temporary folder kept for the whole run, and
// returns the file's path. Each input overwrites the one before.
QString WriteInputFile(const QString& fileName, const uint8_t* data, size_t size);

// Creates the offscreen GUI application that painting text and reading pictures need, once.
void StartOffscreenApplication();

class QByteArray;
class QImage;

// Hands the input to a metafile renderer: a refusal (PixlyError) is fine; a picture must be opaque
// RGB32 of at most MaxMetafileSide pixels a side, or the run aborts.
void RenderMetafileInput(QImage (*render)(const QByteArray&), const uint8_t* data, size_t size);

struct DecodedPicture;
class PixlyError;

// What a decoder of the newer formats may deliver: an opaque RGB32 or a premultiplied picture of
// its full size, with an orientation of 1 to 8; otherwise the run aborts.
void CheckDecodedPicture(const DecodedPicture& picture);

// A decoder of the newer formats refuses only with its own messages (picturefaults.h); another
// message aborts the run. expected says which of them the input must give, when it is known.
enum class Refusal { Either, Damaged, TooLarge };
void CheckRefusal(const PixlyError& error, Refusal expected = Refusal::Either);

// Decoding takes a moment for the largest pictures allowed; the fuzzers decode only those up to
// this many pixels and check that larger claims than the limit are refused.
constexpr long long MaxFuzzedPixels = 1 << 20;
