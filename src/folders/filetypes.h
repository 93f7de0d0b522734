#pragma once

#include <QString>
#include <QStringList>

class RadioGroup;

// The file type choice of the folder window: its items and the mask of each, as the program always
// had them, or, with the setting formaty, with every format of photos people have (HEIC, AVIF, RAW,
// PNG, WebP, GIF, TIFF, JPEG XL) in "Vše" and in items of their own.
class FileTypes {
public:
    explicit FileTypes(bool allFormats) : allFormats_(allFormats) {}

    QStringList Items() const;
    // The mask of an item; empty for an index outside the items.
    QString Mask(int index) const;
    // Two columns for the longer choice, so that every item stays readable in the frame.
    int Columns() const { return allFormats_ ? 2 : 1; }

    // Lays the choice out in the group and gives it the items, keeping the chosen one where it
    // still stands and otherwise choosing "Vše"; the choice is made as a click makes it.
    void ShowIn(RadioGroup& group) const;

    // The mask without the patterns of the newer formats, for the resample window, which works on
    // JPEG pictures.
    static QString WithoutNewerFormats(const QString& mask);

private:
    bool allFormats_;
};
