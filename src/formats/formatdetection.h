#pragma once

#include "formats/pictureformat.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Which decoder reads a file. The formats of the program's first version (JPEG, bitmaps, icons,
// metafiles) are chosen by the extension alone, as they always were. Files under the extensions of
// the newer formats are read as what their contents are, whatever the extension says: phones and
// messengers save JPEGs as ".heic", and a mislabelled file is still a photo.

// The format an extension names, the extension written without its dot, in any case; none for an
// extension that no decoder reads.
std::optional<PictureFormat> FormatNamedBy(const QString& extension);

// Whether files of the format are read by their contents.
bool ReadByContents(PictureFormat format);

// The extensions (lower case, without the dot) that name files of a format read by its contents.
QStringList ExtensionsOf(PictureFormat format);

// The format that the file's first bytes show, if any. TIFF-based camera RAW files show as RAW only
// when the TIFF says so itself (a DNG version tag, a CR2 header); others show as TIFF.
std::optional<PictureFormat> FormatOfContents(const QByteArray& contents);

// The decoder for a file of a format read by its contents: the format its contents show, a TIFF
// named as a camera RAW file as RAW (most RAW files are TIFF inside), and contents that no check
// recognises as the named format, whose decoder then judges them.
PictureFormat FormatToDecode(PictureFormat named, const QByteArray& contents);
