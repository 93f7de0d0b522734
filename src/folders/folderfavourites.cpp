#include "folders/folderfavourites.h"

#include "controls/directorylistbox.h"
#include "folders/favouritesview.h"
#include "folders/nast_pixly.h"
#include "platform/dialogservice.h"
#include "platform/handlerguard.h"
#include "platform/systeminfo.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <optional>

namespace {

namespace Text {
const QString Title = QStringLiteral("Oblíbené složky:");
const QString ColumnDescription = QStringLiteral("Popis");
const QString ColumnPath = QStringLiteral("Cesta");
const QString Frame = QStringLiteral("Oblíbené");
const QString Add = QStringLiteral("Přidat");
const QString AddHint = QStringLiteral("Přidá aktuálně otevřenou složku");
const QString Change = QStringLiteral("Změnit");
const QString ChangeHint = QStringLiteral("Změní aktuálně vybranou položku");
const QString Remove = QStringLiteral("Smazat");
const QString RemoveHint = QStringLiteral("Smaže aktuálně vybranou položku");
const QString MenuEdit = QStringLiteral("Editovat");
const QString MenuAddNew = QStringLiteral("Přidat novou");
const QString FavouritesCaption = QStringLiteral("Oblíbené položky");
const QString NoFavourite = QStringLiteral("Nevybral jste žádnou oblíbenou položku!");
const QString OnlyFavourite = QStringLiteral("Nemůžete smazat všechny položky!");
const QString FavouritesFull = QStringLiteral("Více oblíbených položek už nelze přidat!");
const QString BadDescription = QStringLiteral("Název položky nesmí obsahovat středník ani konec řádku!");
const QString BadPath = QStringLiteral("Cestu k této složce nelze uložit mezi oblíbené položky!");
const QString EmptyField = QStringLiteral("Klikáte do prázdného pole!");
const QString AddFavouriteCaption = QStringLiteral("Přidat novou oblíbenou složku");
const QString AddFavouritePrompt = QStringLiteral("Zadejte název pro novou položku:");
const QString NewFavourite = QStringLiteral("Nová položka");
const QString ChangeFavouriteCaption = QStringLiteral("Změnit oblíbenou složku");
const QString ChangeFavouritePrompt = QStringLiteral("Zadejte nový název pro položku:");
const QString FolderMissing =
    QStringLiteral("Daná cesta neexistuje!\rZměňte prosím cestu k oblíbené položce.");
const QString FolderMissingCaption = QStringLiteral("Složka nenalezena!");
const QString RemoveMissingQuestion = QStringLiteral("Chcete danou položku smazat?");
} // namespace Text

// The warning for a refused favourites operation; empty when there is none.
QString warningFor(FavouritesList::Outcome outcome)
{
    switch (outcome) {
    case FavouritesList::Outcome::NothingSelected: return Text::NoFavourite;
    case FavouritesList::Outcome::Full: return Text::FavouritesFull;
    case FavouritesList::Outcome::BadDescription: return Text::BadDescription;
    case FavouritesList::Outcome::BadPath: return Text::BadPath;
    case FavouritesList::Outcome::OnlyEntry: return Text::OnlyFavourite;
    case FavouritesList::Outcome::Done:
    case FavouritesList::Outcome::FirstEntryKept: break;
    }
    return QString();
}

} // namespace

FolderFavourites::FolderFavourites(Tnastaveni& window) : window_(window) {}

void FolderFavourites::CreatePanel()
{
    Tnastaveni& w = window_;
    w.Label6 = new QLabel(Text::Title, &w);
    w.Label6->move(240, 40);
    w.Label6->adjustSize();
    w.ListView1 = new FavouritesView({Text::ColumnDescription, Text::ColumnPath}, &w);
    w.ListView1->setGeometry(240, 53, 284, 179);
    w.RadioGroup3 = new QGroupBox(Text::Frame, &w);
    w.RadioGroup3->setGeometry(456, 232, 89, 113);
    const auto button = [&](const QString& caption, int top, const QString& hint, auto handler) {
        auto* control = new QPushButton(caption, w.RadioGroup3);
        control->setGeometry(8, top, 73, 25);
        control->setToolTip(hint);
        QObject::connect(control, &QPushButton::clicked, &w, Guarded(handler));
        return control;
    };
    w.pridat = button(Text::Add, 18, Text::AddHint, [this] { Add(); });
    w.zmenit = button(Text::Change, 48, Text::ChangeHint, [this] { Change(); });
    w.smazat = button(Text::Remove, 78, Text::RemoveHint, [this] { Remove(); });

    w.menu_oblibene = new QMenu(&w);
    QObject::connect(w.menu_oblibene->addAction(Text::MenuEdit), &QAction::triggered, w.zmenit,
                     &QPushButton::click);
    QObject::connect(w.menu_oblibene->addAction(Text::Remove), &QAction::triggered, w.smazat,
                     &QPushButton::click);
    QObject::connect(w.menu_oblibene->addAction(Text::MenuAddNew), &QAction::triggered, w.pridat,
                     &QPushButton::click);
    w.ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        w.ListView1, &QWidget::customContextMenuRequested, w.menu_oblibene,
        [&w](const QPoint& at) { w.menu_oblibene->popup(w.ListView1->viewport()->mapToGlobal(at)); });
}

void FolderFavourites::Load()
{
    favourites_ = FavouritesList::Load(
        QDir(window_.startDir).filePath(FavouritesFile::FileNameFor(SystemInfo::LoginName())),
        SystemInfo::DocumentsFolder());
    show(-1);
}

void FolderFavourites::Save() const
{
    favourites_.Save();
}

void FolderFavourites::show(int selectedIndex)
{
    window_.ListView1->Show(favourites_.Entries(), selectedIndex);
}

bool FolderFavourites::allows(FavouritesList::Outcome outcome)
{
    const QString warning = warningFor(outcome);
    if (!warning.isEmpty())
        Dialogs().ShowMessageKind(warning, Text::FavouritesCaption, DialogService::Warning);
    return outcome == FavouritesList::Outcome::Done;
}

bool FolderFavourites::askName(const QString& caption, const QString& prompt, QString proposed,
                               const std::function<FavouritesList::Outcome(const QString&)>& apply)
{
    // A name that the file cannot keep is refused and asked for again.
    while (const std::optional<QString> name = Dialogs().InputBox(caption, prompt, proposed)) {
        if (allows(apply(*name))) return true;
        proposed = *name;
    }
    return false;
}

void FolderFavourites::Add()
{
    const QString folder = window_.Edit1->text();
    if (!allows(favourites_.CanAdd(folder))) return;
    if (askName(Text::AddFavouriteCaption, Text::AddFavouritePrompt, Text::NewFavourite,
                [&](const QString& name) {
                    return favourites_.Add({name, folder});
                }))
        show(window_.ListView1->SelectedIndex());
}

void FolderFavourites::Change()
{
    const int index = window_.ListView1->SelectedIndex();
    const QString folder = window_.Edit1->text();
    if (!allows(favourites_.CanChange(index, folder))) return;
    if (askName(Text::ChangeFavouriteCaption, Text::ChangeFavouritePrompt, favourites_.At(index)->description,
                [&](const QString& name) {
                    return favourites_.Change(index, {name, folder});
                }))
        show(index);
}

void FolderFavourites::Remove()
{
    if (allows(favourites_.Remove(window_.ListView1->SelectedIndex()))) show(-1);
}

void FolderFavourites::Open(DirectoryListBox* side)
{
    const int index = window_.ListView1->SelectedIndex();
    const std::optional<Favourite> entry = favourites_.At(index);
    if (!entry) {
        Dialogs().ShowMessageKind(Text::EmptyField, Text::FavouritesCaption, DialogService::Warning);
        return;
    }
    if (!entry->path.isEmpty() && QFileInfo(entry->path).isDir()) {
        side->SetDirectory(entry->path);
        QDir::setCurrent(window_.startDir);
        return;
    }
    SayFolderMissing();
    if (!Dialogs().AskYesNo(Text::RemoveMissingQuestion, Text::FolderMissingCaption)) return;
    favourites_.RemoveAt(index);
    show(-1);
}

void FolderFavourites::SayFolderMissing()
{
    Dialogs().ShowMessageKind(Text::FolderMissing, Text::FolderMissingCaption, DialogService::Error);
}
