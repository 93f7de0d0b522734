#include "folders/folderfileoperations.h"

#include "controls/directorylistbox.h"
#include "controls/filelistbox.h"
#include "controls/radiogroup.h"
#include "folders/favouritesfile.h"
#include "folders/favouritesview.h"
#include "folders/folderdragdrop.h"
#include "folders/nast_pixly.h"
#include "folders/newfolderprompt.h"
#include "platform/dialogservice.h"
#include "platform/handlerguard.h"
#include "sorting/photofiles.h"
#include "sorting/photolist.h"
#include "sorting/stepmessages.h"

#include <QDir>
#include <QFileInfo>

namespace {
namespace Text {
const QString SwapQuestion = QStringLiteral("Přejete si prohodit cesty ke složkám?");
const QString SwapCaption = QStringLiteral("Změna adresáře");
const QString NewFolderCaption = QStringLiteral("Vytvoření nové složky");
const QString FolderCreated = QStringLiteral("Složka \"%1\" byla vytvořena a nastavena jako aktuální.");
const QString DeleteFileQuestion = QStringLiteral("Opravdu chcete vybraný soubor smazat?");
const QString DeletePhotoQuestion =
    QStringLiteral("Opravdu chcete vybraný soubor smazat i s dalšími soubory jeho fotky (celkem %1)?");
const QString DeleteFileCaption = QStringLiteral("Smazání souboru");
} // namespace Text
} // namespace

FolderFileOperations::FolderFileOperations(Tnastaveni& window) : window_(window) {}

FolderDragDrop* FolderFileOperations::AcceptDrops()
{
    auto* drops = new FolderDragDrop(
        [this](QWidget* target, QWidget* source) { RunGuarded([&] { Drop(target, source); }); }, &window_);
    using Role = FolderDragDrop::Control;
    for (const auto& [control, role] : std::initializer_list<std::pair<QAbstractItemView*, Role>>{
             {window_.DirectoryListBox1, Role::DirectoryListBox1},
             {window_.FileListBox1, Role::FileListBox1},
             {window_.DirectoryListBox2, Role::DirectoryListBox2},
             {window_.FileListBox2, Role::FileListBox2},
             {window_.ListView1, Role::ListView1}})
        drops->AddControl(control, role);
    return drops;
}

void FolderFileOperations::Drop(QWidget* target, QWidget* source)
{
    switch (window_.drops->EffectOf(source, target)) {
    case FolderDragDrop::Effect::CopyFile: CopyDroppedFile(); break;
    case FolderDragDrop::Effect::SwapOnDrop: swapOnDrop(); break;
    case FolderDragDrop::Effect::OpenOnSource: window_.favourites.Open(window_.DirectoryListBox1); break;
    case FolderDragDrop::Effect::OpenOnDestination: window_.favourites.Open(window_.DirectoryListBox2); break;
    case FolderDragDrop::Effect::AddFavourite: window_.favourites.Add(); break;
    case FolderDragDrop::Effect::Refused:
    case FolderDragDrop::Effect::NoEffect: break;
    }
}

bool FolderFileOperations::askToSwap()
{
    return Dialogs().AskYesNo(Text::SwapQuestion, Text::SwapCaption);
}

void FolderFileOperations::SwapFolders()
{
    if (!askToSwap()) return;
    const QString formerSource = window_.DirectoryListBox1->Directory();
    window_.SetSourceFolder(window_.DirectoryListBox2->Directory());
    window_.SetDestinationFolder(formerSource);
}

void FolderFileOperations::swapOnDrop()
{
    const bool swap = askToSwap();
    const QString formerSource = window_.DirectoryListBox1->Directory();
    window_.SetSourceFolder(window_.DirectoryListBox2->Directory());
    if (swap) window_.SetDestinationFolder(formerSource);
}

void FolderFileOperations::CopyDroppedFile()
{
    // A copy onto the file itself is refused, so equal folders never harm the picture.
    const QString source = window_.FileListBox1->FileName();
    if (!source.isEmpty()) {
        const QString target = QDir(window_.FileListBox2->Directory()).filePath(QFileInfo(source).fileName());
        const QStringList files = PhotoList(*window_.FileListBox1).FilesOf(source);
        const SortingUndo::GroupResult copied =
            window_.undo.CopyGroup(StepsTo(files, target), window_.nast.kos);
        if (!copied.result.ok()) StepMessages::CopyFailed(copied.stoppedBy, copied.result, files.size() > 1);
    }
    window_.FileListBox1->Update();
    window_.FileListBox2->Update();
}

void FolderFileOperations::DeleteSelectedFile()
{
    if (!window_.SelectedPictureOrComplain()) return;
    FileListBox& files = *window_.FileListBox1;
    const QStringList photo = PhotoList(files).FilesOf(files.FileName());
    const QString question =
        photo.size() > 1 ? Text::DeletePhotoQuestion.arg(FileCount(photo.size())) : Text::DeleteFileQuestion;
    if (!Dialogs().AskYesNo(question, Text::DeleteFileCaption)) return;
    if (!DeletePhoto(photo, window_.undo, window_.nast.kos)) return;
    const int index = files.ItemIndex();
    files.Update();
    files.SetItemIndex(index);
    // After the last file has gone nothing is selected and the preview
    // returns to the default picture.
    previewSelected();
}

void FolderFileOperations::UndoLastStep()
{
    PhotoList photos(*window_.FileListBox1);
    if (!UndoStep(window_.undo, photos)) return;
    FollowSourceList();
    window_.FileListBox2->Update();
    previewSelected();
}

PhotoActionContext FolderFileOperations::ActionContextFor(PhotoList& photos)
{
    QStringList favouriteFolders;
    for (const Favourite& entry : window_.Favourites().Entries())
        favouriteFolders << entry.path;
    return {photos,
            window_.DirectoryListBox1->Directory(),
            window_.DirectoryListBox2->Directory(),
            window_.RadioGroup1->ItemIndex(),
            window_.nast.show,
            window_.undo,
            window_.nast.kos,
            favouriteFolders,
            &FolderFavourites::SayFolderMissing,
            [this] { FollowSourceList(); }};
}

void FolderFileOperations::FollowSourceList()
{
    const QString listed = window_.FileListBox1->Directory();
    if (QDir(listed) == QDir(window_.DirectoryListBox1->Directory())) return;
    const QString picture = window_.FileListBox1->FileName();
    window_.SetSourceFolder(listed);
    if (!picture.isEmpty()) PhotoList(*window_.FileListBox1).SelectByPath(picture);
}

void FolderFileOperations::previewSelected()
{
    const QString selected = window_.FileListBox1->FileName();
    if (selected.isEmpty())
        window_.preview.LoadQuietly(window_.defaultPicture);
    else
        window_.preview.Load(selected);
}

void FolderFileOperations::NewFolder()
{
    const QString destination = window_.DirectoryListBox2->Directory();
    // A folder that was not made is never entered nor reported as created:
    // the user's copies would go somewhere else.
    const std::optional<QString> name = AskAndMakeFolder(destination);
    if (!name) return;
    window_.DirectoryListBox2->Update();
    window_.SetDestinationFolder(QDir::toNativeSeparators(QDir(destination).filePath(*name)));
    Dialogs().ShowMessageKind(Text::FolderCreated.arg(*name), Text::NewFolderCaption,
                              DialogService::Information);
}
