#include "folders/folderpreview.h"

#include "controls/filelistbox.h"
#include "controls/picturebox.h"
#include "folders/nast_pixly.h"
#include "formats/jpegcodec.h"
#include "formats/screenpicture.h"
#include "platform/dialogservice.h"
#include "platform/freedmemory.h"
#include "platform/pixlyerror.h"
#include "platform/screenprofile.h"

namespace {
const QString IncompleteJpeg = QStringLiteral("Incomplete JPEG");
const QString ApplicationTitle = QStringLiteral("Vendrax");
// The decoder's error when JPEG data yields nothing at its first read.
constexpr int EmptyJpegError = 42;
} // namespace

FolderPreview::FolderPreview(Tnastaveni& window) : window_(window) {}

void FolderPreview::Load(const QString& path)
{
    // Read as the viewers read it, at the size of the box; the box itself enlarges a small one.
    const PictureShape shape(
        window_.Image1->size(), window_.nast.otacet, {},
        ShownColours{window_.nast.barvy, window_.nast.barvy ? ScreenColourProfile() : QByteArray()});
    window_.Image1->SetPicture(ReadShownPicture(path, shape).fitted);
    // What the decode needed goes back to the system rather than waiting with the process for the
    // next picture to be previewed.
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
