#pragma once

#include "formats/containerexif.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

class TrxExifStream;

// Which IFD is being read; it decides the table the tag names come from.
enum IfdKind : int {
    MainIfd = 0,    // IFD0 and the IFDs linked from it (IFD1, the thumbnail)
    ExifSubIfd = 1, // the Exif IFD and its linked IFDs
    GpsIfd = 2,
    InteropIfd = 3,
};

// Appends one "name=value" line per tag of the JPEG file's EXIF data, in file order
// with sub-IFDs in place of their pointers. A file that isn't a JPEG with EXIF data
// gives no lines; errors before the first IFD (the file can't be opened, it ends
// during the marker scan) are raised, errors inside the IFDs only show in the lines.
// A file of one of the newer formats gives the lines of the EXIF blocks its container
// carries (formats/containerexif.h), in the same form.
void ReadExif(const QString& fileName, QStringList& lines);

// Appends the lines of one EXIF block that begins with its TIFF header. Reads past the
// block's end end the reading as they end it in a file.
void ReadExifBlock(const ExifBlock& block, const QString& fileName, QStringList& lines);

// Reads the IFDs of one EXIF block, depth first. Hostile blocks are kept to a
// moment's work: an IFD that is already being read (a loop) or that lies deeper
// than any real file nests counts as failed, and so does everything once the reader
// has gone through many times the section's size (links fanning out to shared IFDs).
class ExifReader {
public:
    ExifReader(TrxExifStream& stream, QStringList& lines);

    // Reads the IFD at offset (from the TIFF header) and the IFDs linked from it;
    // false when it or one of them could not be read completely.
    bool ReadIfd(uint32_t offset, int kind);

private:
    struct Entry {
        int32_t position;
        uint16_t tag;
        uint16_t type;
        uint32_t count;
        uint32_t value;
    };

    bool ReadEntries(int kind);
    Entry ReadEntry();
    // False for a value type that can't be printed; it ends the IFD.
    bool AddEntryLines(const Entry& entry, int kind);
    std::optional<QString> ReadValue(const Entry& entry);
    QString ReadAscii(const Entry& entry);
    template <typename Format>
    QString ReadElements(const Entry& entry, bool inlineValue, int elementSize, char separator,
                         Format formatElement);
    // Places the stream at the entry's values; returns how many elements to read.
    int64_t SeekElements(const Entry& entry, bool inlineValue, int elementSize);
    void Spend(int64_t bytes);

    TrxExifStream& stream_;
    QStringList& lines_;
    std::vector<int32_t> chain_;
    int64_t budget_;
};

// The tag's name in the table of the IFD kind, or "Tag " and four hex digits.
QString TagName(int kind, int tag);

// The text of an EXIF ASCII value (Windows-1250 bytes) without its control
// characters, so the terminating NUL and line breaks go.
QString CleanAscii(const QByteArray& text);
