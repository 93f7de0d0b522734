#pragma once

#include <QString>

class Tnastaveni;

// What the folder window's preview Image1 shows: a picture loaded on a
// mouse press in the source file list, after a deletion or on showing the
// window, and what a picture that cannot be loaded does to it.
class FolderPreview {
public:
    explicit FolderPreview(Tnastaveni& window);

    // Loads a picture into the preview, a JPEG turned by its EXIF
    // orientation while otacet is on and in the screen's colours while barvy
    // is on; raises the decoder's error.
    void Load(const QString& path);
    // The same, keeping the preview as it was when the picture cannot be loaded.
    void LoadQuietly(const QString& path);
    // A mouse press on the source file list: previews the selected file; an
    // empty JPEG file says so, other failures keep the preview silently.
    void SourceListPressed();

private:
    Tnastaveni& window_;
};
