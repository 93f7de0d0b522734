#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

class SettingsStore;

// The display, confirmation, deletion, orientation and file type values of
// the key "nast", named after their stored values.
struct DisplaySettings {
    int rozliseni = 0;
    int nastaveni = 14211288;
    int hlavni = 16755027;
    int velka = 12632256;
    QString orig;
    bool show = true;
    // Deleted pictures go to the desktop's trash instead of being removed outright.
    bool kos = true;
    // Pictures are shown and resampled turned by their EXIF orientation.
    bool otacet = true;
    // The file type choice lists every format of photos (HEIC, AVIF, RAW, PNG, WebP, GIF, TIFF,
    // JPEG XL) besides the program's first ones.
    bool formaty = true;
    // Pictures are converted from their own colour profile to the screen's.
    bool barvy = true;
    // A RAW, its JPEG or HEIF and their sidecars are one photo in the lists and in every step.
    bool dvojice = true;

    bool operator==(const DisplaySettings&) const = default;
};

// The two folders of the key "dir".
struct StoredFolders {
    QString directory1;
    QString directory2;
};

// Reading and writing the program's keys with their defaults. A key is read
// only when it exists; a value inside it that is missing or malformed (a
// hand-edited file) takes its own default instead of stopping the start.
namespace StoredSettings {

// 1280x1024 gives 0, 1024x768 gives 1, 800x600 gives 2, any other size 0.
int ResolutionIndexForScreen(const QSize& screen);

// The full-screen picture area of a resolution index: 0 1280x1024, 1 and 3
// ("Nevím") 1024x768, 2 800x600; an empty size for other values.
QSize PictureAreaFor(int rozliseni);

// The defaults used when "nast" is missing; orig is startDir + "\logo.jpg".
DisplaySettings DefaultDisplay(const QSize& screen, const QString& startDir);

// "nast" from an open read handle; nothing when the key is missing.
std::optional<DisplaySettings> ReadDisplay(SettingsStore& store, const DisplaySettings& defaults);
void WriteDisplay(SettingsStore& store, const DisplaySettings& values);

// "dir"; nothing when the key is missing. Missing strings read as "".
std::optional<StoredFolders> ReadFolders(SettingsStore& store);
void WriteFolders(SettingsStore& store, const StoredFolders& folders);

// "form": top, left, height, width over the given bounds; a value that
// cannot be read keeps the given one. Nothing when the key is missing.
std::optional<QRect> ReadBounds(SettingsStore& store, const QRect& current);
void WriteBounds(SettingsStore& store, const QRect& outerBounds);

// "akt": the automatic update check, true when the key is missing.
bool ReadAutomaticCheck(SettingsStore& store);
void WriteAutomaticCheck(SettingsStore& store, bool aktual);

// "prog": the version that started last; nothing when the key is missing.
std::optional<QString> ReadVersion(SettingsStore& store);
void WriteVersion(SettingsStore& store, const QString& verze);

// The stored default picture completed against the start folder: exactly
// "logo.jpg" or empty becomes startDir + "\logo.jpg"; anything else stays.
QString CompleteDefaultPicture(const QString& orig, const QString& startDir);

} // namespace StoredSettings
