#include "folders/folderpreview.h"

#include "controls/filelistbox.h"
#include "controls/picturebox.h"
#include "folders/nast_pixly.h"
#include "formats/exiforientation.h"
#include "formats/picturefile.h"
#include "formats/pictureorientation.h"
#include "platform/dialogservice.h"
#include "platform/freedmemory.h"
#include "platform/pixlyerror.h"

namespace {
const QString IncompleteJpeg = QStringLiteral("Incomplete JPEG");
const QString ApplicationTitle = QStringLiteral("Vendrax");
// The decoder's error when JPEG data yields nothing at its first read.
constexpr int EmptyJpegError = 42;

// The picture as the preview box shows it: a JPEG turned by its EXIF orientation when turn is
// set. Only the picture already scaled to its place in the box is turned, which costs next to
// nothing however large the photo.
QImage previewPicture(const LoadedPicture& loaded, const QSize& box, bool turn)
{
    const int orientation =
        turn && loaded.format == PictureFormat::Jpeg ? ReadExifOrientation(loaded.data) : OrientationAsStored;
    if (orientation == OrientationAsStored) return loaded.image;
    const QSize place = PictureBox::FitRect(OrientedSize(loaded.image.size(), orientation), box,
                                            PictureBox::Placement::EnlargeTopLeft)
                            .size();
    return Oriented(loaded.image.scaled(OrientedSize(place, orientation), Qt::IgnoreAspectRatio,
                                        Qt::SmoothTransformation),
                    orientation);
}
} // namespace

FolderPreview::FolderPreview(Tnastaveni& window) : window_(window) {}

void FolderPreview::Load(const QString& path)
{
    window_.Image1->SetPicture(
        previewPicture(LoadPictureFile(path), window_.Image1->size(), window_.nast.otacet));
    // The preview holds its picture at full size; the one it showed before goes back to the
    // system rather than waiting with the process for a picture of its size.
    ReturnFreedMemory();
}

void FolderPreview::LoadQuietly(const QString& path)
{
    try {
        Load(path);
    } catch (const PixlyError&) {
        // The preview keeps what it shows; nothing to tell the user here.
    }
}

void FolderPreview::SourceListPressed()
{
    FileListBox& files = *window_.FileListBox1;
    files.setEnabled(false);
    const int index = files.ItemIndex();
    const QString path = files.FileName();
    if (!path.isEmpty()) {
        try {
            Load(path);
        } catch (const JpegError& error) {
            if (error.code() == EmptyJpegError) Dialogs().ShowPlainMessage(IncompleteJpeg, ApplicationTitle);
        } catch (const PixlyError&) {
            // Damaged pictures leave the preview as it was.
        }
    }
    files.SetItemIndex(index);
    files.setEnabled(true);
    // The list gave the focus away when it was disabled; the window's own
    // keys (F1, F5) apply until the user puts the focus into a control.
    window_.setFocus();
}
