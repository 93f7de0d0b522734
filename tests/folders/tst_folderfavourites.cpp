#include "controls/directorylistbox.h"
#include "controls/filelistbox.h"
#include "folders/favouritesfile.h"
#include "folders/favouritesview.h"
#include "folders/nast_pixly.h"
#include "platform/systeminfo.h"
#include "recordingdialogs.h"
#include "startedprogram.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>

#ifdef Q_OS_UNIX
#include "resourcelimits.h"
#endif

namespace {

const QString Caption = QStringLiteral("Oblíbené položky");
const QString NoFavourite = QStringLiteral("Nevybral jste žádnou oblíbenou položku!");
const QString FolderMissing =
    QStringLiteral("Daná cesta neexistuje!\rZměňte prosím cestu k oblíbené položce.");
const QString FolderMissingCaption = QStringLiteral("Složka nenalezena!");

using Favourites = QList<Favourite>;

QString favouritesPath(const TestEnvironment& env)
{
    return QDir(env.startDir()).filePath(FavouritesFile::FileNameFor(SystemInfo::LoginName()));
}

void writeFavourites(const TestEnvironment& env, const QByteArray& contents)
{
    QFile file(favouritesPath(env));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

QByteArray readFavourites(const TestEnvironment& env)
{
    QFile file(favouritesPath(env));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

// What the list shows, row by row.
Favourites shownEntries(const Tnastaveni* window)
{
    Favourites rows;
    for (int row = 0; row < window->ListView1->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = window->ListView1->topLevelItem(row);
        QString description = item->text(0);
        const QString number = QStringLiteral("%1 – ").arg(row + 1);
        if (row < 9)
            description = description.startsWith(number) ? description.mid(number.size())
                                                         : QStringLiteral("<unnumbered>");
        rows.append({description, item->text(1)});
    }
    return rows;
}

// The list as it stands, checked against what it shows.
Favourites entriesOf(const Tnastaveni* window)
{
    const Favourites entries = window->Favourites().Entries();
    if (shownEntries(window) != entries) qWarning() << "the list shows other entries than it holds";
    return shownEntries(window) == entries ? entries : Favourites{};
}

void verifyWarning(const DialogCall& call, const QString& text)
{
    QCOMPARE(call.function, QStringLiteral("ShowMessageKind"));
    QCOMPARE(call.text, text);
    QCOMPARE(call.caption, Caption);
    QCOMPARE(call.icon, QStringLiteral("warning"));
}

void verifyInputBox(const DialogCall& call, const QString& caption, const QString& prompt,
                    const QString& proposed)
{
    QCOMPARE(call.function, QStringLiteral("InputBox"));
    QCOMPARE(call.caption, caption);
    QCOMPARE(call.text, prompt);
    QCOMPARE(call.proposed, proposed);
}

void doubleClickRow(Tnastaveni* window, int row)
{
    FavouritesView* list = window->ListView1;
    const QPoint at = row < 0 ? QPoint(20, list->viewport()->height() - 5)
                              : list->visualItemRect(list->topLevelItem(row)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

QByteArray numberedLines(int count)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += "F" + QByteArray::number(i) + ";/f" + QByteArray::number(i) + "\r\n";
    return lines;
}

} // namespace

class TestFolderFavourites : public QObject {
    Q_OBJECT

private slots:
    void firstStartShowsTheDocumentsFolderAndTheFirstHideWritesIt()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        QCOMPARE(entriesOf(window), (Favourites{{"Dokumenty", SystemInfo::DocumentsFolder()}}));
        QCOMPARE(window->ListView1->SelectedIndex(), -1);
        QVERIFY(!QFile::exists(favouritesPath(env)));

        window->hide();
        QStringEncoder windows1250("windows-1250");
        const QByteArray expected = windows1250.encode(
            QStringLiteral("Dokumenty;") + SystemInfo::DocumentsFolder() + QStringLiteral("\r\n"));
        QVERIFY(!windows1250.hasError());
        QCOMPARE(readFavourites(env), expected);
        QCOMPARE(dialogs.count(), 0);
    }

    void closingWritesTheFavouritesOnlyWhenTheProgramEnds()
    {
        TestEnvironment env;
        writeFavourites(env, "A;/a\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        dialogs.answerInput(QStringLiteral("B"));
        window->pridat->click();

        dialogs.answerNo();
        QVERIFY(!window->close());
        QCOMPARE(readFavourites(env), QByteArray("A;/a\r\n"));

        dialogs.answerYes();
        QVERIFY(window->close());
        QCOMPARE(readFavourites(env),
                 "A;/a\r\nB;" + window->DirectoryListBox1->Directory().toUtf8() + "\r\n");
    }

    void addAppendsTheSourceFolder()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        writeFavourites(env, "A;/a\r\nB;/b\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->DirectoryListBox1->SetDirectory(folder);
        window->ListView1->SetSelectedIndex(1);

        dialogs.answerInput(QStringLiteral("Fotky"));
        window->pridat->click();
        QCOMPARE(dialogs.count(), 1);
        verifyInputBox(dialogs.last(), QStringLiteral("Přidat novou oblíbenou složku"),
                       QStringLiteral("Zadejte název pro novou položku:"), QStringLiteral("Nová položka"));
        QCOMPARE(entriesOf(window), (Favourites{{"A", "/a"}, {"B", "/b"}, {"Fotky", folder}}));
        QCOMPARE(window->ListView1->SelectedIndex(), 1);

        // Cancel adds nothing; an empty name is shown but never written.
        window->pridat->click();
        QCOMPARE(window->Favourites().Count(), 3);
        dialogs.answerInput(QString());
        window->pridat->click();
        QCOMPARE(entriesOf(window).last(), (Favourite{"", folder}));
        window->hide();
        QCOMPARE(readFavourites(env), "A;/a\r\nB;/b\r\nFotky;" + folder.toUtf8() + "\r\n");
    }

    void aNameWithASemicolonIsRefusedAndAskedForAgain()
    {
        TestEnvironment env;
        writeFavourites(env, "A;/a\r\nB;/b\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        dialogs.answerInput(QStringLiteral("Rodina;2024"));
        dialogs.answerInput(QStringLiteral("Rodina 2024"));
        window->pridat->click();
        QCOMPARE(dialogs.count(), 3);
        verifyWarning(dialogs.calls().at(1),
                      QStringLiteral("Název položky nesmí obsahovat středník ani konec řádku!"));
        verifyInputBox(dialogs.calls().at(2), QStringLiteral("Přidat novou oblíbenou složku"),
                       QStringLiteral("Zadejte název pro novou položku:"), QStringLiteral("Rodina;2024"));
        QCOMPARE(entriesOf(window).last().description, QStringLiteral("Rodina 2024"));

        // The same on a change; cancelling the second question leaves the entry.
        dialogs.clear();
        window->ListView1->SetSelectedIndex(1);
        dialogs.answerInput(QStringLiteral("B;C"));
        window->zmenit->click();
        QCOMPARE(dialogs.count(), 3);
        QCOMPARE(dialogs.last().proposed, QStringLiteral("B;C"));
        QCOMPARE(entriesOf(window).at(1), (Favourite{"B", "/b"}));
    }

    void aHundredAndSecondEntryIsRefused()
    {
        TestEnvironment env;
        writeFavourites(env, numberedLines(FavouritesFile::MaxEntries));
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        QCOMPARE(window->Favourites().Count(), FavouritesFile::MaxEntries);

        window->pridat->click();
        QCOMPARE(dialogs.count(), 1);
        verifyWarning(dialogs.last(), QStringLiteral("Více oblíbených položek už nelze přidat!"));
        window->DragDrop(window->ListView1, window->DirectoryListBox1);
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(dialogs.last().text, QStringLiteral("Více oblíbených položek už nelze přidat!"));
        QCOMPARE(window->Favourites().Count(), FavouritesFile::MaxEntries);

        // Once one has gone, there is room again.
        window->ListView1->SetSelectedIndex(100);
        window->smazat->click();
        dialogs.answerInput(QStringLiteral("Poslední"));
        window->pridat->click();
        QCOMPARE(window->Favourites().Count(), FavouritesFile::MaxEntries);
        QCOMPARE(entriesOf(window).last().description, QStringLiteral("Poslední"));
    }

    void changePointsTheEntryAtTheSourceFolder()
    {
        TestEnvironment env;
        const QString other = env.makeFolder(QStringLiteral("jinde"));
        writeFavourites(env, "A;/a\r\nB;/b\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        window->zmenit->click();
        QCOMPARE(dialogs.count(), 1);
        verifyWarning(dialogs.last(), NoFavourite);

        window->DirectoryListBox1->SetDirectory(other);
        window->ListView1->SetSelectedIndex(1);
        dialogs.clear();
        dialogs.answerInput(QStringLiteral("Jinde"));
        window->zmenit->click();
        verifyInputBox(dialogs.last(), QStringLiteral("Změnit oblíbenou složku"),
                       QStringLiteral("Zadejte nový název pro položku:"), QStringLiteral("B"));
        QCOMPARE(entriesOf(window), (Favourites{{"A", "/a"}, {"Jinde", other}}));
        QCOMPARE(window->ListView1->SelectedIndex(), 1);

        // Cancel changes nothing.
        window->DirectoryListBox1->SetDirectory(env.startDir());
        window->zmenit->click();
        QCOMPARE(entriesOf(window), (Favourites{{"A", "/a"}, {"Jinde", other}}));
    }

    void deleteKeepsTheFirstEntryAndTheLastOne()
    {
        TestEnvironment env;
        writeFavourites(env, "A;/a\r\nB;/b\r\nC;/c\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        window->smazat->click();
        QCOMPARE(dialogs.count(), 1);
        verifyWarning(dialogs.last(), NoFavourite);

        window->ListView1->SetSelectedIndex(0);
        window->smazat->click();
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(window->Favourites().Count(), 3);

        // The second goes at once, without a question, and nothing stays selected.
        window->ListView1->SetSelectedIndex(1);
        window->smazat->click();
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(entriesOf(window), (Favourites{{"A", "/a"}, {"C", "/c"}}));
        QCOMPARE(window->ListView1->SelectedIndex(), -1);

        // The Delete key in the list does the same.
        window->ListView1->SetSelectedIndex(1);
        window->ListView1->setFocus();
        QTest::keyClick(window->ListView1, Qt::Key_Delete);
        QCOMPARE(entriesOf(window), (Favourites{{"A", "/a"}}));

        window->ListView1->SetSelectedIndex(0);
        window->smazat->click();
        QCOMPARE(dialogs.count(), 2);
        verifyWarning(dialogs.last(), QStringLiteral("Nemůžete smazat všechny položky!"));
        QCOMPARE(entriesOf(window), (Favourites{{"A", "/a"}}));
    }

    void deleteInTheSourceFileListRemovesTheFavouriteNotTheFile()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        env.writeFile(QStringLiteral("fotky/a.jpg"), MakeJpeg(8, 8, Qt::red));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + folder.toUtf8() + "\n");
        writeFavourites(env, "A;/a\r\nB;/b\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->ListView1->SetSelectedIndex(1);
        window->FileListBox1->SetItemIndex(0);
        window->FileListBox1->setFocus();
        QTest::keyClick(window->FileListBox1, Qt::Key_Delete);
        QCOMPARE(entriesOf(window), (Favourites{{"A", "/a"}}));
        QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("a.jpg"))));
        QCOMPARE(dialogs.count(), 0);
    }

    void popupMenuClicksTheButtons()
    {
        TestEnvironment env;
        writeFavourites(env, "A;/a\r\nB;/b\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        const QList<QAction*> items = window->menu_oblibene->actions();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items.at(0)->text(), QStringLiteral("Editovat"));
        QCOMPARE(items.at(1)->text(), QStringLiteral("Smazat"));
        QCOMPARE(items.at(2)->text(), QStringLiteral("Přidat novou"));

        window->ListView1->SetSelectedIndex(1);
        dialogs.answerInput(QStringLiteral("Bé"));
        items.at(0)->trigger();
        QCOMPARE(dialogs.last().caption, QStringLiteral("Změnit oblíbenou složku"));
        QCOMPARE(entriesOf(window).at(1).description, QStringLiteral("Bé"));

        items.at(1)->trigger();
        QCOMPARE(window->Favourites().Count(), 1);

        items.at(2)->trigger();
        QCOMPARE(dialogs.last().caption, QStringLiteral("Přidat novou oblíbenou složku"));
    }

    void doubleClickOpensTheEntryOnTheSourceSide()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        env.writeFile(QStringLiteral("fotky/a.jpg"), MakeJpeg(8, 8, Qt::red));
        writeFavourites(env, "A;/a\r\nFotky;" + folder.toUtf8() + "\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        doubleClickRow(window, 1);
        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(window->DirectoryListBox1->Directory(), folder);
        QCOMPARE(window->Edit1->text(), folder);
        QCOMPARE(window->FileListBox1->Count(), 1);
        QCOMPARE(QDir::toNativeSeparators(QDir::currentPath()), env.startDir());

        doubleClickRow(window, -1);
        QCOMPARE(dialogs.count(), 1);
        verifyWarning(dialogs.last(), QStringLiteral("Klikáte do prázdného pole!"));
    }

    void openingAFolderThatHasGoneOffersToRemoveIt_data()
    {
        QTest::addColumn<bool>("remove");
        QTest::newRow("yes removes even the first entry") << true;
        QTest::newRow("no keeps it") << false;
    }

    void openingAFolderThatHasGoneOffersToRemoveIt()
    {
        QFETCH(bool, remove);
        TestEnvironment env;
        const QString kept = env.makeFolder(QStringLiteral("kept"));
        writeFavourites(env, "Pryč;/no/such/folder\r\nKept;" + kept.toUtf8() + "\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        const QString sourceBefore = window->DirectoryListBox1->Directory();

        if (remove)
            dialogs.answerYes();
        else
            dialogs.answerNo();
        doubleClickRow(window, 0);
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(dialogs.calls().at(0).function, QStringLiteral("ShowMessageKind"));
        QCOMPARE(dialogs.calls().at(0).text, FolderMissing);
        QCOMPARE(dialogs.calls().at(0).caption, FolderMissingCaption);
        QCOMPARE(dialogs.calls().at(0).icon, QStringLiteral("error"));
        QCOMPARE(dialogs.calls().at(1).function, QStringLiteral("AskYesNo"));
        QCOMPARE(dialogs.calls().at(1).text, QStringLiteral("Chcete danou položku smazat?"));
        QCOMPARE(dialogs.calls().at(1).caption, FolderMissingCaption);
        QCOMPARE(dialogs.calls().at(1).defaultButton, QStringLiteral("No"));
        QCOMPARE(window->DirectoryListBox1->Directory(), sourceBefore);
        QCOMPARE(window->Favourites().Count(), remove ? 1 : 2);
        QCOMPARE(entriesOf(window).last(), (Favourite{"Kept", kept}));
    }

    void removingTheOnlyEntryLeavesAnEmptyFileAndAnEmptyList()
    {
        TestEnvironment env;
        writeFavourites(env, "Pryč;/no/such/folder\r\n");
        RecordingDialogs dialogs;
        {
            auto windows = StartProgram();
            windows->nastaveni->ListView1->SetSelectedIndex(0);
            dialogs.answerYes();
            windows->nastaveni->ListView1DblClick();
            QCOMPARE(windows->nastaveni->Favourites().Count(), 0);
            windows->nastaveni->hide();
            QCOMPARE(readFavourites(env), QByteArray());
        }
        auto restarted = StartProgram();
        QCOMPARE(restarted->nastaveni->Favourites().Count(), 0);
        QCOMPARE(restarted->nastaveni->ListView1->topLevelItemCount(), 0);
    }

    void droppingAnEntryOnAFolderTreeOpensItOnThatSide()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        const QString source = env.makeFolder(QStringLiteral("zdroj"));
        writeFavourites(env, "Fotky;" + folder.toUtf8() + "\r\nPryč;/no/such/folder\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->DirectoryListBox1->SetDirectory(source);

        window->ListView1->SetSelectedIndex(0);
        window->DragDrop(window->DirectoryListBox2, window->ListView1);
        QCOMPARE(window->DirectoryListBox2->Directory(), folder);
        QCOMPARE(window->Edit2->text(), folder);
        QCOMPARE(window->FileListBox2->Directory(), folder);
        QCOMPARE(window->DirectoryListBox1->Directory(), source);
        QCOMPARE(QDir::toNativeSeparators(QDir::currentPath()), env.startDir());

        window->DirectoryListBox2->SetDirectory(env.startDir());
        window->DragDrop(window->DirectoryListBox1, window->ListView1);
        QCOMPARE(window->DirectoryListBox1->Directory(), folder);
        QCOMPARE(window->DirectoryListBox2->Directory(), env.startDir());
        QCOMPARE(dialogs.count(), 0);

        // A gone folder on the destination side: the same error and question.
        window->ListView1->SetSelectedIndex(1);
        dialogs.answerYes();
        window->DragDrop(window->DirectoryListBox2, window->ListView1);
        QCOMPARE(dialogs.calls().at(0).text, FolderMissing);
        QCOMPARE(entriesOf(window), (Favourites{{"Fotky", folder}}));
        QCOMPARE(window->DirectoryListBox2->Directory(), env.startDir());
    }

    void droppingTheSourceTreeOnTheListAddsItsFolder()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        writeFavourites(env, "A;/a\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->DirectoryListBox1->SetDirectory(folder);

        dialogs.answerInput(QStringLiteral("Fotky"));
        window->DragDrop(window->ListView1, window->DirectoryListBox1);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Přidat novou oblíbenou složku"));
        QCOMPARE(entriesOf(window), (Favourites{{"A", "/a"}, {"Fotky", folder}}));

        // Anything else dropped on the list is taken and does nothing.
        dialogs.clear();
        window->FileListBox1->SetItemIndex(0);
        for (QWidget* source : std::initializer_list<QWidget*>{
                 window->FileListBox1, window->DirectoryListBox2, window->FileListBox2, window->ListView1})
            window->DragDrop(window->ListView1, source);
        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(window->Favourites().Count(), 2);
    }

    void aFolderNamedOutsideWindows1250SurvivesARestart()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("Фото"));
        RecordingDialogs dialogs;
        {
            auto windows = StartProgram();
            windows->nastaveni->DirectoryListBox1->SetDirectory(folder);
            dialogs.answerInput(QStringLiteral("Фото"));
            windows->nastaveni->pridat->click();
            windows->nastaveni->hide();
        }
        auto restarted = StartProgram();
        QCOMPARE(restarted->nastaveni->Favourites().Entries().last(), (Favourite{"Фото", folder}));
    }

    void aFileThatCannotBeReadIsNeverReplaced()
    {
        TestEnvironment env;
        QVERIFY(QDir().mkdir(favouritesPath(env)));
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        QCOMPARE(entriesOf(window), (Favourites{{"Dokumenty", SystemInfo::DocumentsFolder()}}));
        window->hide();
        QVERIFY(QFileInfo(favouritesPath(env)).isDir());
        QCOMPARE(dialogs.count(), 0);
    }

    void aFailedSaveLeavesTheOldFileAndTheList()
    {
#ifdef Q_OS_UNIX
        TestEnvironment env;
        writeFavourites(env, "A;/a\r\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        dialogs.answerInput(QStringLiteral("Druhá položka"));
        window->pridat->click();

        // Files may grow to 8 bytes only, so the new file cannot be written.
        {
            const FileSizeLimit limit(8);
            window->hide();
        }

        QCOMPARE(readFavourites(env), QByteArray("A;/a\r\n"));
        QCOMPARE(QDir(env.startDir()).entryList(QDir::Files),
                 QStringList{FavouritesFile::FileNameFor(SystemInfo::LoginName())});
        QCOMPARE(window->Favourites().Count(), 2);
        QCOMPARE(dialogs.count(), 1);

        window->show();
        window->hide();
        QVERIFY(readFavourites(env).startsWith("A;/a\r\nDruh"));
#else
        QSKIP("needs a file size limit");
#endif
    }
};

QTEST_MAIN(TestFolderFavourites)
#include "tst_folderfavourites.moc"
