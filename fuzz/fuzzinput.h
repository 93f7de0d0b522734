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
