#include "exif/exifreader.h"

#include "exif/exifstream.h"
#include "formats/containerexif.h"

#include <QStringDecoder>

#include <algorithm>
#include <charconv>
#include <iterator>
#include <span>
#include <string>

namespace {

constexpr uint16_t StartOfImage = 0xFFD8;
constexpr uint8_t EndOfImage = 0xD9;
constexpr uint8_t App1 = 0xE1;
constexpr uint16_t IntelOrderMark = 0x4949;    // "II"
constexpr uint16_t MotorolaOrderMark = 0x4D4D; // "MM"
constexpr uint16_t TiffMagic = 42;

constexpr int EntrySize = 12;
constexpr int ValueFieldOffset = 8;
// The entry count before an IFD's entries and the next-IFD link after them.
constexpr int IfdFrameSize = 2 + 4;
constexpr uint32_t LargestNextIfd = 0xFFFF;

// Real files nest IFD0, Exif IFD and Interoperability IFD, or chain IFD0 and IFD1;
// anything this deep is hostile and would only use up the stack.
constexpr size_t MaxChainDepth = 32;
// A sound EXIF block is read about once; this allows any sharing of IFDs and values
// a real file could have, and stops pointers that fan out to the same IFDs.
constexpr int64_t ReadBudget = 16 * int64_t{TrxExifStream::SectionSize};

enum ValueType : uint16_t {
    ByteType = 1,
    AsciiType = 2,
    ShortType = 3,
    LongType = 4,
    RationalType = 5,
    UndefinedType = 7,
    SLongType = 9,
    SRationalType = 10,
};

struct TagNameEntry {
    uint16_t tag;
    const char* name;
};

// Sorted by tag.
constexpr TagNameEntry MainTags[] = {
    {0x0100, "ImageWidth"},
    {0x0101, "ImageLength"},
    {0x0102, "BitsPerSample"},
    {0x0103, "Compression"},
    {0x0106, "PhotometricInterpretation"},
    {0x010E, "ImageDescription"},
    {0x010F, "Make"},
    {0x0110, "Model"},
    {0x0111, "StripOffsets"},
    {0x0112, "Orientation"},
    {0x0115, "SamplesPerPixel"},
    {0x0116, "RowsPerStrip"},
    {0x0117, "StripByteCounts"},
    {0x011A, "XResolution"},
    {0x011B, "YResolution"},
    {0x011C, "PlanarConfiguration"},
    {0x0128, "ResolutionUnit"},
    {0x012D, "TransferFunction"},
    {0x0131, "Software"},
    {0x0132, "DateTime"},
    {0x013B, "Artist"},
    {0x013E, "WhitePoint"},
    {0x013F, "PrimaryChromaticities"},
    {0x0201, "JPEGInterchangeFormat"},
    {0x0202, "JPEGInterchangeFormatLength"},
    {0x0211, "YCbCrCoefficients"},
    {0x0212, "YCbCrSubSampling"},
    {0x0213, "YCbCrPositioning"},
    {0x0214, "ReferenceBlackWhite"},
    {0x8298, "Copyright"},
    {0x829A, "ExposureTime"},
    {0x829D, "FNumber"},
    {0x8769, "Exif IFD"},
    {0x8822, "ExposureProgram"},
    {0x8824, "SpectralSensitivity"},
    {0x8825, "GPS Info Pointer"},
    {0x8827, "ISOSpeedRatings"},
    {0x8828, "OECF"},
    {0x9000, "ExifVersion"},
    {0x9003, "DateTimeOriginal"},
    {0x9004, "DateTimeDigitized"},
    {0x9101, "ComponentsConfiguration"},
    {0x9102, "CompressedBitsPerPixel"},
    {0x9201, "ShutterSpeedValue"},
    {0x9202, "ApertureValue"},
    {0x9203, "BrightnessValue"},
    {0x9204, "ExposureBiasValue"},
    {0x9205, "MaxApertureValue"},
    {0x9206, "SubjectDistance"},
    {0x9207, "MeteringMode"},
    {0x9208, "LightSource"},
    {0x9209, "Flash"},
    {0x920A, "FocalLength"},
    {0x927C, "MakerNote"},
    {0x9286, "UserComment"},
    {0x9290, "SubSecTime"},
    {0x9291, "SubSecTimeOriginal"},
    {0x9292, "SubSecTimeDigitized"},
    {0xA000, "FlashPixVersion"},
    {0xA001, "ColorSpace"},
    {0xA002, "PixelXDimension"},
    {0xA003, "PixelYDimension"},
    {0xA005, "Interoperability IFD Pointer"},
    {0xA20B, "FlashEnergy"},
    {0xA20C, "SpatialFrequencyResponse"},
    {0xA20E, "FocalPlaneXResolution"},
    {0xA20F, "FocalPlaneYResolution"},
    {0xA210, "FicalPlaneResolutionUnit"},
    {0xA214, "SubjectLocation"},
    {0xA215, "ExposureIndex"},
    {0xA217, "SensingMethod"},
    {0xA300, "FileSource"},
    {0xA301, "SceneType"},
    {0xA302, "CFAPattern"},
};

constexpr TagNameEntry GpsTags[] = {
    {0x0000, "GPSVersionID"},       {0x0001, "GPSLatitudeRef"},
    {0x0002, "GPSLatitude"},        {0x0003, "GPSLongitudeRef"},
    {0x0004, "GPSLongitude"},       {0x0005, "GPSAltitudeRef"},
    {0x0006, "GPSAltitude"},        {0x0007, "GPSTimeStamp"},
    {0x0008, "GPSSatellites"},      {0x0009, "GPSStatus"},
    {0x000A, "GPSMeasureMode"},     {0x000B, "GPSDOP"},
    {0x000C, "GPSSpeedRef"},        {0x000D, "GPSSpeed"},
    {0x000E, "GPSTrackRef"},        {0x000F, "GPSTrack"},
    {0x0010, "GPSImgDirectionRef"}, {0x0011, "GPSImgDirection"},
    {0x0012, "GPSMapDatum"},        {0x0013, "GPSDestLatitudeRef"},
    {0x0014, "GPSDestLatitude"},    {0x0015, "GPSDestLongitudeRef"},
    {0x0016, "GPSDestLongitude"},   {0x0017, "GPSDestBearingRef"},
    {0x0018, "GPSDestBearing"},     {0x0019, "GPSDestDistanceRef"},
    {0x001A, "GPSDestDistance"},
};

constexpr TagNameEntry InteropTags[] = {
    {0x0001, "InteroperabilityIndex"},  {0x0002, "InteroperabilityVersion"},
    {0x1000, "RelatedImageFileFormat"}, {0x1001, "RelatedImageWidth"},
    {0x1002, "RelatedImageLength"},
};

std::span<const TagNameEntry> TableFor(int kind)
{
    switch (kind) {
    case MainIfd:
    case ExifSubIfd: return MainTags;
    case GpsIfd: return GpsTags;
    case InteropIfd: return InteropTags;
    default: return {};
    }
}

// The kind of the IFD that a pointer tag leads to.
std::optional<int> SubIfdKind(uint16_t tag)
{
    switch (tag) {
    case 0x8769: return ExifSubIfd;
    case 0x8825: return GpsIfd;
    case 0xA005: return InteropIfd;
    default: return std::nullopt;
    }
}

// Values are put together as plain ASCII text and made a QString once they are complete.
void AppendNumber(std::string& text, int64_t number)
{
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
    text.append(digits, end);
}

void AppendHexByte(std::string& text, uint8_t byte)
{
    static constexpr char HexDigits[] = "0123456789ABCDEF";
    text.push_back(HexDigits[byte >> 4]);
    text.push_back(HexDigits[byte & 0x0F]);
}

// Moves the stream past the marker of a JPEG's first APP1 segment, from just after its start of
// image; false when its markers end before one.
bool SkipToFirstApp1(TrxExifStream& stream)
{
    for (;;) {
        if (stream.ReadByte() != 0xFF) return false;
        const uint8_t marker = stream.ReadByte();
        if (marker == EndOfImage) return false;
        if (marker == App1) return true;
        // Every marker is taken to have a length, so a scan's data ends the search.
        const uint16_t length = stream.ReadWord();
        stream.Seek(WrapOffset(int64_t{stream.Position()} + static_cast<uint16_t>(length - 2)));
    }
}

std::optional<uint32_t> ReadByteOrderAndIfd0(TrxExifStream& stream);

// Checks the APP1 segment's "Exif" header and the TIFF header after it, sets ExifStart
// and the byte order, and gives IFD0's offset; nothing when the segment holds no EXIF data.
std::optional<uint32_t> ReadTiffHeader(TrxExifStream& stream)
{
    stream.ReadWord(); // the segment length: the section bound limits the reading instead
    QByteArray identifier(4, '\0');
    stream.ReadBlock(identifier, 4);
    if (identifier != "Exif" || stream.ReadWord() != 0) return std::nullopt;
    stream.SetExifStart(stream.Position());
    return ReadByteOrderAndIfd0(stream);
}

// Reads a TIFF header from the stream's position: sets the byte order and gives IFD0's offset;
// nothing when it is not a TIFF header.
std::optional<uint32_t> ReadByteOrderAndIfd0(TrxExifStream& stream)
{
    switch (stream.ReadWord()) {
    case IntelOrderMark: stream.SetByteOrder(TrxFileStream::LittleEndian); break;
    case MotorolaOrderMark: stream.SetByteOrder(TrxFileStream::BigEndian); break;
    default: return std::nullopt;
    }
    if (stream.ReadWord() != TiffMagic) return std::nullopt;
    return stream.ReadLong();
}

// The IFD kind of a block's first IFD.
int KindOf(ExifBlock::First first)
{
    switch (first) {
    case ExifBlock::First::ExifIfd: return ExifSubIfd;
    case ExifBlock::First::GpsIfd: return GpsIfd;
    case ExifBlock::First::Ifd0: break;
    }
    return MainIfd;
}

// Keeps an IFD's offset on the chain of IFDs being read while it is read.
class ChainLink {
public:
    ChainLink(std::vector<int32_t>& chain, int32_t start) : chain_(chain) { chain_.push_back(start); }
    ~ChainLink() { chain_.pop_back(); }
    ChainLink(const ChainLink&) = delete;
    ChainLink& operator=(const ChainLink&) = delete;

private:
    std::vector<int32_t>& chain_;
};

} // namespace

void ReadExif(const QString& fileName, QStringList& lines)
{
    TrxExifStream stream(fileName);
    if (stream.Eof()) return;
    if (stream.ReadWord() != StartOfImage) {
        for (const ExifBlock& block : PictureExifBlocks(fileName))
            ReadExifBlock(block, fileName, lines);
        return;
    }
    if (!SkipToFirstApp1(stream)) return;
    const std::optional<uint32_t> ifd0 = ReadTiffHeader(stream);
    if (!ifd0) return;
    ExifReader(stream, lines).ReadIfd(*ifd0, MainIfd);
}

void ReadExifBlock(const ExifBlock& block, const QString& fileName, QStringList& lines)
{
    // The block starts with its TIFF header, so ExifStart stays 0 and its offsets are the block's
    // own: a TIFF or RAW file is its own block, its IFDs anywhere in it, beyond any APP1 segment.
    constexpr qsizetype TiffHeaderSize = 8;
    if (block.tiff.size() < TiffHeaderSize) return;
    TrxExifStream stream(block.tiff, fileName);
    const std::optional<uint32_t> ifd = ReadByteOrderAndIfd0(stream);
    if (ifd) ExifReader(stream, lines).ReadIfd(*ifd, KindOf(block.first));
}

ExifReader::ExifReader(TrxExifStream& stream, QStringList& lines)
    : stream_(stream), lines_(lines), budget_(ReadBudget)
{
    chain_.reserve(MaxChainDepth);
}

bool ExifReader::ReadIfd(uint32_t offset, int kind)
{
    try {
        stream_.Seek(WrapOffset(int64_t{stream_.ExifStart()} + offset));
        if (stream_.Eof()) return true;
        const int32_t start = stream_.Position();
        if (chain_.size() >= MaxChainDepth || std::find(chain_.begin(), chain_.end(), start) != chain_.end())
            return false;
        const ChainLink link(chain_, start);
        if (!ReadEntries(kind)) return false;
        const uint32_t next = stream_.ReadLong();
        if (next > LargestNextIfd) return false;
        return next == 0 || ReadIfd(next, kind);
    } catch (const PixlyError&) {
        return false;
    }
}

bool ExifReader::ReadEntries(int kind)
{
    Spend(IfdFrameSize);
    const uint16_t count = stream_.ReadWord();
    for (uint16_t i = 0; i < count; ++i) {
        const Entry entry = ReadEntry();
        if (!AddEntryLines(entry, kind)) return false;
        stream_.Seek(WrapOffset(int64_t{entry.position} + EntrySize));
    }
    return true;
}

ExifReader::Entry ExifReader::ReadEntry()
{
    Spend(EntrySize);
    Entry entry{};
    entry.position = stream_.Position();
    entry.tag = stream_.ReadWord();
    entry.type = stream_.ReadWord();
    entry.count = stream_.ReadLong();
    entry.value = stream_.ReadLong();
    return entry;
}

bool ExifReader::AddEntryLines(const Entry& entry, int kind)
{
    const std::optional<QString> value = ReadValue(entry);
    if (!value) return false;
    if (const std::optional<int> subKind = SubIfdKind(entry.tag)) {
        if (!ReadIfd(entry.value, *subKind))
            lines_.append(TagName(kind, entry.tag) + QStringLiteral("=[ ERROR ]"));
    } else {
        lines_.append(TagName(kind, entry.tag) + u'=' + *value);
    }
    return true;
}

std::optional<QString> ExifReader::ReadValue(const Entry& entry)
{
    switch (entry.type) {
    case ByteType:
        return ReadElements(entry, entry.count <= 4, 1, ',',
                            [this](std::string& text) { AppendNumber(text, stream_.ReadByte()); });
    case AsciiType: return ReadAscii(entry);
    case ShortType:
        return ReadElements(entry, entry.count <= 2, 2, ',',
                            [this](std::string& text) { AppendNumber(text, stream_.ReadWord()); });
    case LongType:
        if (entry.count <= 1) return QString::number(entry.value);
        return ReadElements(entry, false, 4, ',',
                            [this](std::string& text) { AppendNumber(text, stream_.ReadLong()); });
    case RationalType:
        return ReadElements(entry, false, 8, ',', [this](std::string& text) {
            const uint32_t numerator = stream_.ReadLong();
            const uint32_t denominator = stream_.ReadLong();
            AppendNumber(text, numerator);
            text.push_back('/');
            AppendNumber(text, denominator);
        });
    case UndefinedType:
        return ReadElements(entry, entry.count <= 4, 1, ' ',
                            [this](std::string& text) { AppendHexByte(text, stream_.ReadByte()); });
    case SLongType:
        if (entry.count <= 1) return QString::number(static_cast<int32_t>(entry.value));
        return ReadElements(entry, false, 4, ',', [this](std::string& text) {
            AppendNumber(text, static_cast<int32_t>(stream_.ReadLong()));
        });
    case SRationalType:
        return ReadElements(entry, false, 8, ',', [this](std::string& text) {
            const auto numerator = static_cast<int32_t>(stream_.ReadLong());
            const auto denominator = static_cast<int32_t>(stream_.ReadLong());
            AppendNumber(text, numerator);
            text.push_back('/');
            AppendNumber(text, denominator);
        });
    default: return std::nullopt;
    }
}

QString ExifReader::ReadAscii(const Entry& entry)
{
    const int64_t count = SeekElements(entry, entry.count <= 4, 1);
    QByteArray text(static_cast<qsizetype>(count), '\0');
    text.truncate(stream_.ReadBlock(text, static_cast<int32_t>(count)));
    return CleanAscii(text);
}

template <typename Format>
QString ExifReader::ReadElements(const Entry& entry, bool inlineValue, int elementSize, char separator,
                                 Format formatElement)
{
    const int64_t count = SeekElements(entry, inlineValue, elementSize);
    std::string value;
    for (int64_t i = 0; i < count; ++i) {
        if (!value.empty()) value.push_back(separator);
        formatElement(value);
    }
    return QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size()));
}

int64_t ExifReader::SeekElements(const Entry& entry, bool inlineValue, int elementSize)
{
    // Read as a signed 32-bit number: counts of 2^31 and more read no element.
    const int64_t count = std::max(0, static_cast<int32_t>(entry.count));
    if (inlineValue) {
        stream_.Seek(WrapOffset(int64_t{entry.position} + ValueFieldOffset));
        return count;
    }
    stream_.Seek(WrapOffset(int64_t{stream_.ExifStart()} + entry.value));
    if (count == 0) return 0;
    // A value that claims more than lies before the end of the file and the section fails
    // the IFD as a read past the end would, before anything is allocated or read.
    if (count * elementSize > stream_.BytesAvailableAt(stream_.Position())) throw OutOfBoundsError();
    Spend(count * elementSize);
    return count;
}

void ExifReader::Spend(int64_t bytes)
{
    if (bytes > budget_) {
        budget_ = 0;
        throw OutOfBoundsError();
    }
    budget_ -= bytes;
}

QString TagName(int kind, int tag)
{
    const std::span<const TagNameEntry> table = TableFor(kind);
    const auto found =
        std::lower_bound(table.begin(), table.end(), tag,
                         [](const TagNameEntry& entry, int wanted) { return entry.tag < wanted; });
    if (found != table.end() && found->tag == tag) return QString::fromLatin1(found->name);
    return QStringLiteral("Tag ") + QString::number(tag, 16).toUpper().rightJustified(4, u'0');
}

QString CleanAscii(const QByteArray& text)
{
    QByteArray printable;
    printable.reserve(text.size());
    for (const char character : text) {
        if (static_cast<uint8_t>(character) > 31) printable.append(character);
    }
    thread_local QStringDecoder windows1250("windows-1250");
    return windows1250.decode(printable);
}
