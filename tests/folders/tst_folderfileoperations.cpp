#include "controls/directorylistbox.h"
#include "controls/filelistbox.h"
#include "controls/picturebox.h"
#include "filebytes.h"
#include "folders/favouritesview.h"
#include "folders/folderdragdrop.h"
#include "folders/nast_pixly.h"
#include "recordingdialogs.h"
#include "startedprogram.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <memory>

namespace {

const QString SwapQuestion = QStringLiteral("Přejete si prohodit cesty ke složkám?");
const QString SwapCaption = QStringLiteral("Změna adresáře");
const QString DeleteQuestion = QStringLiteral("Opravdu chcete vybraný soubor smazat?");
const QString DeleteCaption = QStringLiteral("Smazání souboru");

QString nativeJoin(const QString& folder, const QString& name)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

QStringList names(const FileListBox* list)
{
    QStringList result;
    for (int i = 0; i < list->Count(); ++i)
        result << list->Item(i);
    return result;
}

QColor previewColour(const Tnastaveni* window)
{
    const QImage& picture = window->Image1->Picture();
    return picture.isNull() ? QColor() : picture.pixelColor(picture.width() / 2, picture.height() / 2);
}

bool sameColour(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) < 12 && qAbs(a.green() - b.green()) < 12 && qAbs(a.blue() - b.blue()) < 12;
}

// A profile whose source and destination folders are the given ones.
void storeFolders(const TestEnvironment& env, const QString& source, const QString& destination)
{
    env.writeFile(QStringLiteral("Vendrax.conf"), "[prog]\nverze=2.2\n[dir]\ndirectory1=" + source.toUtf8() +
                                                      "\ndirectory2=" + destination.toUtf8() + "\n");
}

// As the system delivers it: to the focused control, through the window's shortcuts.
void pressCtrlZ(QWidget* control)
{
    control->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(control->window()));
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Z, Qt::ControlModifier);
}

// Drags the source control over the target and drops it there, as the
// system does; true when the target took the drop.
bool dropWithEvents(Tnastaveni* window, QAbstractItemView* target, QWidget* source)
{
    const std::unique_ptr<QMimeData> data(window->drops->MimeDataFor(source));
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target->viewport(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target->viewport(), &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

} // namespace

class TestFolderFileOperations : public QObject {
    Q_OBJECT

private slots:
    void droppingAPictureOnTheDestinationListCopiesIt()
    {
        TestEnvironment env;
        const QString source = env.makeFolder(QStringLiteral("zdroj"));
        const QString destination = env.makeFolder(QStringLiteral("cil"));
        const QByteArray first = MakeJpeg(16, 16, Qt::red);
        env.writeFile(QStringLiteral("zdroj/a.jpg"), first);
        env.writeFile(QStringLiteral("zdroj/b.jpg"), MakeJpeg(8, 8, Qt::blue));
        storeFolders(env, source, destination);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        window->FileListBox1->SetItemIndex(0);
        window->DragDrop(window->FileListBox2, window->FileListBox1);
        QCOMPARE(FileBytes(nativeJoin(destination, QStringLiteral("a.jpg"))), first);
        QCOMPARE(names(window->FileListBox2), QStringList{"a.jpg"});
        // Both lists were read again, so nothing is selected.
        QCOMPARE(window->FileListBox1->ItemIndex(), -1);

        // Again with changed contents: the copy is replaced without a question.
        const QByteArray second = MakeJpeg(24, 24, Qt::green);
        env.writeFile(QStringLiteral("zdroj/a.jpg"), second);
        window->FileListBox1->SetItemIndex(0);
        window->DragDrop(window->FileListBox2, window->FileListBox1);
        QCOMPARE(FileBytes(nativeJoin(destination, QStringLiteral("a.jpg"))), second);
        QCOMPARE(dialogs.count(), 0);

        // Without a selected file nothing is copied.
        window->DragDrop(window->FileListBox2, window->FileListBox1);
        QCOMPARE(names(window->FileListBox2), QStringList{"a.jpg"});
    }

    void copyingOntoTheFileItselfLeavesItWhole()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        const QByteArray picture = MakeJpeg(32, 32, Qt::red);
        env.writeFile(QStringLiteral("fotky/a.jpg"), picture);
        storeFolders(env, folder, folder);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        window->FileListBox1->SetItemIndex(0);
        window->DragDrop(window->FileListBox2, window->FileListBox1);
        QCOMPARE(FileBytes(nativeJoin(folder, QStringLiteral("a.jpg"))), picture);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"a.jpg"});
        QCOMPARE(dialogs.count(), 1);
        QVERIFY(dialogs.last().text.endsWith(QStringLiteral("\rCílem je tentýž soubor, který se kopíruje.")));
    }

    void dropsThatTheTableDoesNotNameAreRefused()
    {
        TestEnvironment env;
        const QString source = env.makeFolder(QStringLiteral("zdroj"));
        const QString destination = env.makeFolder(QStringLiteral("cil"));
        env.writeFile(QStringLiteral("zdroj/a.jpg"), MakeJpeg(8, 8, Qt::red));
        storeFolders(env, source, destination);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->FileListBox1->SetItemIndex(0);
        window->ListView1->SetSelectedIndex(0);

        // A picture dropped on the destination folder tree is refused.
        QVERIFY(!dropWithEvents(window, window->DirectoryListBox2, window->FileListBox1));
        window->DragDrop(window->DirectoryListBox2, window->FileListBox1);
        QVERIFY(QDir(destination).isEmpty());

        const QList<std::pair<QAbstractItemView*, QWidget*>> refused{
            {window->DirectoryListBox2, window->DirectoryListBox1},
            {window->FileListBox2, window->DirectoryListBox1},
            {window->FileListBox2, window->ListView1},
            {window->FileListBox1, window->ListView1},
            {window->FileListBox1, window->FileListBox1},
            {window->DirectoryListBox1, window->DirectoryListBox1}};
        for (const auto& [target, source] : refused) {
            QVERIFY2(!dropWithEvents(window, target, source),
                     qPrintable(source->objectName() + " on " + target->objectName()));
            window->DragDrop(target, source);
        }
        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(window->DirectoryListBox1->Directory(), source);
        QCOMPARE(window->DirectoryListBox2->Directory(), destination);
        QVERIFY(QDir(destination).isEmpty());
    }

    void aDropOfTheDestinationSideAsksAndNoAlignsTheSourceSide()
    {
        TestEnvironment env;
        const QString source = env.makeFolder(QStringLiteral("zdroj"));
        const QString destination = env.makeFolder(QStringLiteral("cil"));
        env.writeFile(QStringLiteral("cil/b.jpg"), MakeJpeg(8, 8, Qt::red));
        storeFolders(env, source, destination);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        window->FileListBox2->SetItemIndex(0);
        dialogs.answerNo();
        window->DragDrop(window->FileListBox1, window->FileListBox2);
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().function, QStringLiteral("AskYesNo"));
        QCOMPARE(dialogs.last().text, SwapQuestion);
        QCOMPARE(dialogs.last().caption, SwapCaption);
        QCOMPARE(dialogs.last().defaultButton, QStringLiteral("No"));
        QCOMPARE(window->DirectoryListBox1->Directory(), destination);
        QCOMPARE(window->Edit1->text(), destination);
        QCOMPARE(names(window->FileListBox1), QStringList{"b.jpg"});
        QCOMPARE(window->DirectoryListBox2->Directory(), destination);
    }

    void aDropOfTheDestinationTreeAnsweredYesSwapsTheFolders()
    {
        TestEnvironment env;
        env.writeFile(QStringLiteral("start/logo.jpg"), MakeJpeg(40, 30, Qt::red));
        const QString source = env.makeFolder(QStringLiteral("zdroj"));
        const QString destination = env.makeFolder(QStringLiteral("cil"));
        env.writeFile(QStringLiteral("zdroj/green.jpg"), MakeJpeg(20, 20, Qt::green));
        storeFolders(env, source, destination);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        // The preview rule: the first three source changes keep the preview.
        window->hide();
        window->show();
        QCOMPARE(window->sourceChangeCount, 3);
        window->FileListBox1->SetItemIndex(0);
        window->LoadPreview(window->FileListBox1->FileName());
        QVERIFY(sameColour(previewColour(window), Qt::green));

        dialogs.answerYes();
        QVERIFY(dropWithEvents(window, window->DirectoryListBox1, window->DirectoryListBox2));
        QCOMPARE(dialogs.last().text, SwapQuestion);
        QCOMPARE(window->DirectoryListBox1->Directory(), destination);
        QCOMPARE(window->DirectoryListBox2->Directory(), source);
        QCOMPARE(window->FileListBox2->Directory(), source);
        QCOMPARE(window->Edit2->text(), source);
        QVERIFY(sameColour(previewColour(window), Qt::red));
    }

    void copyByRealDragEvents()
    {
        TestEnvironment env;
        const QString source = env.makeFolder(QStringLiteral("zdroj"));
        const QString destination = env.makeFolder(QStringLiteral("cil"));
        const QByteArray picture = MakeBmp(8, 8, Qt::blue);
        env.writeFile(QStringLiteral("zdroj/a.bmp"), picture);
        storeFolders(env, source, destination);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        window->FileListBox1->SetItemIndex(0);
        QVERIFY(dropWithEvents(window, window->FileListBox2, window->FileListBox1));
        QCOMPARE(FileBytes(nativeJoin(destination, QStringLiteral("a.bmp"))), picture);
        QCOMPARE(names(window->FileListBox2), QStringList{"a.bmp"});
    }

    void deletingTheThirdOfFiveSelectsWhatWasTheFourth()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        const QList<std::pair<const char*, QColor>> pictures{{"a.jpg", Qt::red},
                                                             {"b.jpg", Qt::green},
                                                             {"c.jpg", Qt::blue},
                                                             {"d.jpg", Qt::yellow},
                                                             {"e.jpg", Qt::cyan}};
        for (const auto& [name, colour] : pictures)
            env.writeFile(QStringLiteral("fotky/") + name, MakeJpeg(20, 20, colour));
        storeFolders(env, folder, folder);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        QAction* deleteItem = window->menu_image->actions().at(3);
        QCOMPARE(deleteItem->text(), QStringLiteral("Smazat"));

        window->FileListBox1->SetItemIndex(2);
        dialogs.answerNo();
        deleteItem->trigger();
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().function, QStringLiteral("AskYesNo"));
        QCOMPARE(dialogs.last().text, DeleteQuestion);
        QCOMPARE(dialogs.last().caption, DeleteCaption);
        QCOMPARE(dialogs.last().defaultButton, QStringLiteral("No"));
        QCOMPARE(window->FileListBox1->Count(), 5);

        dialogs.answerYes();
        deleteItem->trigger();
        QVERIFY(!QFile::exists(nativeJoin(folder, QStringLiteral("c.jpg"))));
        QCOMPARE(names(window->FileListBox1), (QStringList{"a.jpg", "b.jpg", "d.jpg", "e.jpg"}));
        QCOMPARE(window->FileListBox1->ItemIndex(), 2);
        QCOMPARE(window->FileListBox1->FileName(), nativeJoin(folder, QStringLiteral("d.jpg")));
        QVERIFY(sameColour(previewColour(window), Qt::yellow));
    }

    void deletingTheLastFileLeavesNothingSelected()
    {
        TestEnvironment env;
        env.writeFile(QStringLiteral("start/logo.jpg"), MakeJpeg(40, 30, Qt::red));
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        env.writeFile(QStringLiteral("fotky/a.jpg"), MakeJpeg(20, 20, Qt::green));
        env.writeFile(QStringLiteral("fotky/b.jpg"), MakeJpeg(20, 20, Qt::blue));
        storeFolders(env, folder, folder);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        window->FileListBox1->SetItemIndex(1);
        window->LoadPreview(window->FileListBox1->FileName());
        dialogs.answerYes();
        window->Smazat1Click();
        QCOMPARE(names(window->FileListBox1), QStringList{"a.jpg"});
        QCOMPARE(window->FileListBox1->ItemIndex(), -1);
        QVERIFY(sameColour(previewColour(window), Qt::red));
    }

    void deleteWithoutASelectedFileOnlyComplains()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        env.writeFile(QStringLiteral("fotky/a.jpg"), MakeJpeg(8, 8, Qt::red));
        storeFolders(env, folder, folder);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        dialogs.answerYes();
        window->Smazat1Click();
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().text, QStringLiteral("Nevybral jste žádný obrázek!"));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Pixly"));
        QCOMPARE(dialogs.last().icon, QStringLiteral("error"));
        QVERIFY(QFile::exists(nativeJoin(folder, QStringLiteral("a.jpg"))));
    }

    void ctrlZTakesBackADeletionAndADroppedCopy_data()
    {
        QTest::addColumn<bool>("toTrash");
        QTest::newRow("to the trash") << true;
        QTest::newRow("setting off: deleted outright") << false;
    }

    void ctrlZTakesBackADeletionAndADroppedCopy()
    {
        QFETCH(bool, toTrash);
        TestEnvironment env;
        const QString source = env.makeFolder(QStringLiteral("zdroj"));
        const QString destination = env.makeFolder(QStringLiteral("cil"));
        const QByteArray green = MakeJpeg(20, 20, Qt::green);
        env.writeFile(QStringLiteral("zdroj/a.jpg"), green);
        env.writeFile(QStringLiteral("zdroj/b.jpg"), MakeJpeg(20, 20, Qt::blue));
        env.writeFile(QStringLiteral("cil/a.jpg"), "older");
        storeFolders(env, source, destination);
        if (!toTrash)
            env.writeFile(QStringLiteral("Vendrax.conf"), env.settingsText().toUtf8() + "[nast]\nkos=0\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;

        // The dropped copy replaces the older file, which comes back with Ctrl+Z
        // (with the setting off it is gone for good, so only the copy goes).
        window->FileListBox1->SetItemIndex(0);
        window->DragDrop(window->FileListBox2, window->FileListBox1);
        pressCtrlZ(window->FileListBox2);
        QCOMPARE(QFile::exists(nativeJoin(destination, QStringLiteral("a.jpg"))), toTrash);
        if (toTrash)
            QCOMPARE(FileBytes(nativeJoin(destination, QStringLiteral("a.jpg"))), QByteArray("older"));

        window->FileListBox1->SetItemIndex(0);
        dialogs.answerYes();
        window->Smazat1Click();
        QCOMPARE(QFile::exists(env.trashed(QStringLiteral("a.jpg"))), toTrash);
        // In a path field Ctrl+Z belongs to the field.
        pressCtrlZ(window->Edit1);
        QVERIFY(!QFile::exists(nativeJoin(source, QStringLiteral("a.jpg"))));
        pressCtrlZ(window->FileListBox1);
        QCOMPARE(QFile::exists(nativeJoin(source, QStringLiteral("a.jpg"))), toTrash);
        QCOMPARE(window->FileListBox1->ItemIndex(), 0);
        QVERIFY(sameColour(previewColour(window), toTrash ? QColor(Qt::green) : QColor(Qt::blue)));
        QCOMPARE(dialogs.count(), 1);
    }

    void undoAfterTheSourceFolderChangedTakesTheFolderSideAlong()
    {
        TestEnvironment env;
        const QString first = env.makeFolder(QStringLiteral("prvni"));
        const QString second = env.makeFolder(QStringLiteral("druha"));
        env.writeFile(QStringLiteral("prvni/a.jpg"), MakeJpeg(8, 8, Qt::red));
        env.writeFile(QStringLiteral("druha/b.jpg"), MakeJpeg(8, 8, Qt::blue));
        storeFolders(env, first, second);
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        window->FileListBox1->SetItemIndex(0);
        dialogs.answerYes();
        window->Smazat1Click();
        window->SetSourceFolder(second);

        pressCtrlZ(window->FileListBox1);
        QCOMPARE(window->DirectoryListBox1->Directory(), first);
        QCOMPARE(window->Edit1->text(), first);
        QCOMPARE(window->FileListBox1->FileName(), nativeJoin(first, QStringLiteral("a.jpg")));
    }

    void aDragFromTheSourceListKeepsThePressedFileAndItsPreview()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        const QList<std::pair<const char*, QColor>> pictures{
            {"a.jpg", Qt::red}, {"b.jpg", Qt::green}, {"c.jpg", Qt::blue}, {"d.jpg", Qt::yellow}};
        for (const auto& [name, colour] : pictures)
            env.writeFile(QStringLiteral("fotky/") + name, MakeJpeg(20, 20, colour));
        storeFolders(env, folder, env.makeFolder(QStringLiteral("cil")));
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Tnastaveni* window = windows->nastaveni;
        FileListBox* list = window->FileListBox1;
        const QPoint pressed = list->visualItemRect(list->item(1)).center();
        const QPoint farther = list->visualItemRect(list->item(3)).center();

        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, pressed);
        QVERIFY(sameColour(previewColour(window), Qt::green));
        QTest::mouseMove(list->viewport(), farther);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, farther);
        QCOMPARE(list->ItemIndex(), 1);
        QVERIFY(sameColour(previewColour(window), Qt::green));
        QCOMPARE(dialogs.count(), 0);
    }
};

QTEST_MAIN(TestFolderFileOperations)
#include "tst_folderfileoperations.moc"
