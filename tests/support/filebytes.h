#pragma once

#include <QByteArray>
#include <QString>

// A file's bytes, or a marker naming the file when it cannot be read, so that a missing file is
// never mistaken for an empty one in a comparison.
QByteArray FileBytes(const QString& path);
