#include "controls/filelistbox.h"
#include "controls/picturebox.h"
#include "fileops/fileresult.h"
#include "fileops/sortingundo.h"
#include "formats/picturefile.h"
#include "platform/pixlyerror.h"
#include "recordingdialogs.h"
#include "sorting/photoactions.h"
#include "sorting/photolist.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <cerrno>

namespace {

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().toHex()) : QString();
}

// A window that only records what the actions asked of it.
class RecordingView : public PhotoView {
public:
    QStringList loaded;
    QString label;
    int shown = 0;
    int presented = 0;
    QString failOn;
    void PresentCurrentPicture() override { ++presented; }
    void LoadPictureFrom(const QString& path) override
    {
        loaded << path;
        if (!failOn.isEmpty() && path.endsWith(failOn)) LoadPictureFile(path);
    }
    void ShowCurrentPicture() override { ++shown; }
    void SetPathLabel(const QString& path) override { label = path; }
};

const PhotoActionTexts MainTexts{QStringLiteral("Zadej název pro nový soubor:"),
                                 QStringLiteral("Zadej nový název pro soubor:")};

struct Folders {
    TestEnvironment env;
    QString source = env.makeFolder(QStringLiteral("zdroj"));
    QString destination = env.makeFolder(QStringLiteral("cil"));
    FileListBox list;
    PhotoList photos{list};
    SortingUndo undo;

    explicit Folders(const QStringList& names)
    {
        for (const QString& name : names)
            env.writeFile(QStringLiteral("zdroj/") + name, name.toUtf8());
        list.SetMask(QStringLiteral("*.jpg;*.jpeg;*.bmp;*.wmf"));
        list.SetDirectory(source);
    }
    PhotoActionContext context(int action, bool confirm = true, bool toTrash = false)
    {
        return {photos, source, destination, action, confirm, undo, toTrash};
    }

    QString inSource(const QString& name) const { return QDir(source).filePath(name); }
    QString inDestination(const QString& name) const { return QDir(destination).filePath(name); }
};

} // namespace

class TestPhotoActions : public QObject {
    Q_OBJECT
private slots:
    void targetPathAppendsTheExtensionWhenMissing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        const QString sep = QDir::separator();
        QTest::newRow("name only") << "dovolena"
                                   << "/d"
                                   << "/d" + sep + "dovolena.JPG";
        QTest::newRow("own extension, other case") << "dovolena.jpg"
                                                   << "/d"
                                                   << "/d" + sep + "dovolena.jpg";
        QTest::newRow("extension inside") << "dovolena.jpgx"
                                          << "/d"
                                          << "/d" + sep + "dovolena.jpgx";
        QTest::newRow("folder holds .jpg") << "x"
                                           << "/d/a.jpg"
                                           << "/d/a.jpg" + sep + "x";
        QTest::newRow("root") << "x" << QDir::rootPath() << QDir::rootPath() + "x.JPG";
        QTest::newRow("empty name") << ""
                                    << "/d"
                                    << "/d" + sep + ".JPG";
    }

    void targetPathAppendsTheExtensionWhenMissing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(TargetPath(typed, folder, QStringLiteral("IMG_0001.JPG")), expected);
    }

    void copyAsksForTheNameAndConfirmsOnlySuccess()
    {
        Folders folders({"a.jpg"});
        RecordingDialogs dialogs;
        RecordingView view;
        PhotoActions actions(view, MainTexts);
        folders.photos.SetPosition(0);

        dialogs.answerInput(QStringLiteral("kopie"));
        actions.CopyOrRename(folders.context(0));
        QCOMPARE(dialogs.calls().at(0).caption, QStringLiteral("Kopírování"));
        QCOMPARE(dialogs.calls().at(0).text, QStringLiteral("Zadej název pro nový soubor:"));
        QCOMPARE(dialogs.calls().at(0).proposed, QStringLiteral("a.jpg"));
        const QString target = QDir::toNativeSeparators(folders.inDestination(QStringLiteral("kopie.jpg")));
        QCOMPARE(readAll(target), readAll(folders.inSource(QStringLiteral("a.jpg"))));
        QCOMPARE(dialogs.last().text, QStringLiteral("Kopírování úspěšné!\r") + target);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Pixly"));
        QCOMPARE(dialogs.last().icon, QStringLiteral("information"));
        QCOMPARE(view.loaded, QStringList{folders.photos.CurrentPath()});

        // Again under the same name: replaced silently; with confirmations off nothing is said.
        dialogs.clear();
        dialogs.answerInput(QStringLiteral("kopie"));
        actions.Copy(folders.context(0, false));
        QCOMPARE(dialogs.count(), 1);

        // A failed copy says why, whatever the setting, and the picture is reloaded.
        dialogs.clear();
        dialogs.answerInput(QStringLiteral("no/such/folder/x"));
        actions.Copy(folders.context(0, false));
        const QString missing =
            QDir::toNativeSeparators(folders.inDestination(QStringLiteral("no/such/folder/x.jpg")));
        QCOMPARE(
            dialogs.last().text,
            QStringLiteral("Obrázek se nepodařilo zkopírovat do\r%1\r%2").arg(missing, SystemReason(ENOENT)));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Pixly"));
        QCOMPARE(dialogs.last().icon, QStringLiteral("warning"));
        QCOMPARE(view.loaded.size(), 3);
        QCOMPARE(folders.undo.Count(), 2);
    }

    void copyOntoItselfLeavesThePictureWhole()
    {
        Folders folders({"a.jpg"});
        RecordingDialogs dialogs;
        RecordingView view;
        PhotoActions actions(view, MainTexts);
        folders.photos.SetPosition(0);
        const QString before = readAll(folders.inSource(QStringLiteral("a.jpg")));
        PhotoActionContext sameFolder = folders.context(0);
        sameFolder.destinationFolder = folders.source;
        dialogs.answerInput(QStringLiteral("a.jpg"));
        actions.Copy(sameFolder);
        QCOMPARE(readAll(folders.inSource(QStringLiteral("a.jpg"))), before);
        QCOMPARE(dialogs.count(), 2);
        // Through another spelling of the same folder too.
        sameFolder.destinationFolder = folders.source + QStringLiteral("/../zdroj");
        dialogs.answerInput(QStringLiteral("a"));
        actions.Copy(sameFolder);
        QCOMPARE(readAll(folders.inSource(QStringLiteral("a.jpg"))), before);
    }

    void cancelDoesNothing()
    {
        Folders folders({"a.jpg"});
        RecordingDialogs dialogs;
        RecordingView view;
        PhotoActions actions(view, MainTexts);
        folders.photos.SetPosition(0);
        actions.CopyOrRename(folders.context(0));
        actions.CopyOrRename(folders.context(1));
        QCOMPARE(dialogs.count(), 2);
        QVERIFY(view.loaded.isEmpty());
        QVERIFY(QFile::exists(folders.inSource(QStringLiteral("a.jpg"))));
        QCOMPARE(QDir(folders.destination).entryList(QDir::Files).size(), 0);
    }

    void renameMovesWithoutReplacingAndFollowsTheFile()
    {
        Folders folders({"a.jpg", "b.jpg", "c.jpg"});
        RecordingDialogs dialogs;
        RecordingView view;
        PhotoActions actions(view, MainTexts);
        folders.photos.SetPosition(0);

        // Onto an existing name: refused and said, nothing else happens.
        const QString bBefore = readAll(folders.inSource(QStringLiteral("b.jpg")));
        dialogs.answerInput(QStringLiteral("b"));
        actions.CopyOrRename(folders.context(1));
        QCOMPARE(dialogs.calls().at(0).caption, QStringLiteral("Přejmenování"));
        QCOMPARE(dialogs.calls().at(0).text, QStringLiteral("Zadej nový název pro soubor:"));
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Obrázek nelze přejmenovat, název je obsazen:\r") +
                     QDir::toNativeSeparators(folders.inSource(QStringLiteral("b.jpg"))));
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(readAll(folders.inSource(QStringLiteral("b.jpg"))), bBefore);
        QVERIFY(QFile::exists(folders.inSource(QStringLiteral("a.jpg"))));

        dialogs.answerInput(QStringLiteral("z"));
        actions.Rename(folders.context(1));
        const QString target = QDir::toNativeSeparators(folders.inSource(QStringLiteral("z.jpg")));
        QVERIFY(QFile::exists(target));
        QVERIFY(!QFile::exists(folders.inSource(QStringLiteral("a.jpg"))));
        QCOMPARE(dialogs.last().text, QStringLiteral("Přejmenování úspěšné!\r") + target);
        QCOMPARE(view.label, target);
        QCOMPARE(folders.photos.CurrentPath(), target);
        QCOMPARE(folders.photos.Position(), 2);
    }

    void renameIntoASubfolderShowsThatFolder()
    {
        Folders folders({"a.jpg"});
        folders.env.makeFolder(QStringLiteral("zdroj/sub"));
        RecordingDialogs dialogs;
        RecordingView view;
        PhotoActions actions(view, MainTexts);
        folders.photos.SetPosition(0);
        dialogs.answerInput(QStringLiteral("sub/x.jpg"));
        actions.Rename(folders.context(1, false));
        QCOMPARE(folders.list.Directory(), QDir::toNativeSeparators(folders.inSource(QStringLiteral("sub"))));
        QCOMPARE(folders.photos.CurrentPath(),
                 QDir::toNativeSeparators(folders.inSource(QStringLiteral("sub/x.jpg"))));
        QCOMPARE(dialogs.count(), 1);
    }

    void renameToANameWithoutDecoderStillRereadsTheList()
    {
        Folders folders({"a.jpg", "b.jpg"});
        RecordingDialogs dialogs;
        RecordingView view;
        view.failOn = QStringLiteral(".bak");
        PhotoActions actions(view, MainTexts);
        folders.photos.SetPosition(0);
        dialogs.answerInput(QStringLiteral("a.jpg.bak"));
        QVERIFY_THROWS_EXCEPTION(PixlyError, actions.Rename(folders.context(1, false)));
        QCOMPARE(folders.list.Count(), 1);
        QCOMPARE(folders.list.Item(0), QStringLiteral("a.jpg.bak"));
        QCOMPARE(view.label, QDir::toNativeSeparators(folders.inSource(QStringLiteral("a.jpg.bak"))));
    }

    void deleteKeepsThePositionAndStepsBackAtTheEnd()
    {
        Folders folders({"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg"});
        RecordingDialogs dialogs;
        RecordingView view;
        PhotoActions actions(view, MainTexts);
        folders.photos.SetPosition(2);

        actions.Delete(folders.context(0));
        QCOMPARE(dialogs.last().text, QStringLiteral("Opravdu chcete tento obrázek smazat?"));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Smazat"));
        QCOMPARE(dialogs.last().defaultButton, QStringLiteral("No"));
        QVERIFY(QFile::exists(folders.inSource(QStringLiteral("3.jpg"))));
        QCOMPARE(view.shown, 0);

        dialogs.answerYes();
        actions.Delete(folders.context(0));
        QVERIFY(!QFile::exists(folders.inSource(QStringLiteral("3.jpg"))));
        QCOMPARE(folders.photos.Position(), 2);
        QCOMPARE(folders.list.Item(2), QStringLiteral("4.jpg"));
        QCOMPARE(view.shown, 1);

        folders.photos.SetPosition(3);
        dialogs.answerYes();
        actions.Delete(folders.context(0));
        QCOMPARE(folders.list.Count(), 3);
        QCOMPARE(folders.photos.Position(), 2);
        QCOMPARE(folders.list.Item(2), QStringLiteral("4.jpg"));
    }

    void volumeWithoutTrashAsksBeforeDeletingOutright_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void volumeWithoutTrashAsksBeforeDeletingOutright()
    {
        QFETCH(bool, yes);
        Folders folders({"1.jpg", "2.jpg"});
        qputenv("XDG_DATA_HOME", (folders.env.writeFile(QStringLiteral("blocker"), "") + "/data").toUtf8());
        RecordingDialogs dialogs;
        RecordingView view;
        PhotoActions actions(view, MainTexts);
        folders.photos.SetPosition(0);
        dialogs.answerYes();
        yes ? dialogs.answerYes() : dialogs.answerNo();
        actions.Delete(folders.context(0, true, true));
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Tento obrázek nelze přesunout do koše.\rOpravdu ho chcete trvale smazat?"));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Smazat"));
        QCOMPARE(dialogs.last().defaultButton, QStringLiteral("No"));
        QCOMPARE(QFile::exists(folders.inSource(QStringLiteral("1.jpg"))), !yes);
        QCOMPARE(view.shown, yes ? 1 : 0);
        QCOMPARE(folders.undo.Count(), 0);
    }

    void refusedUndoSaysWhyAndShowsNothing()
    {
        Folders folders({"a.jpg"});
        RecordingDialogs dialogs;
        RecordingView view;
        PhotoActions actions(view, MainTexts);
        folders.photos.SetPosition(0);
        dialogs.answerInput(QStringLiteral("c"));
        actions.Rename(folders.context(1, false, true));
        const QString taken = folders.env.writeFile(QStringLiteral("zdroj/a.jpg"), "newcomer");
        actions.Undo(folders.context(0, false, true));
        QCOMPARE(dialogs.last().text, QStringLiteral("Krok nelze vrátit zpět, název je obsazen:\r") + taken +
                                          QStringLiteral("\rTento krok už vrátit nelze."));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Pixly"));
        QCOMPARE(dialogs.last().icon, QStringLiteral("warning"));
        QCOMPARE(view.shown, 0);
        QCOMPARE(folders.undo.Count(), 0);
    }

    void everyStepActsOnThePicturePresentedFirst_data()
    {
        QTest::addColumn<QChar>("key"); // a sorting character, or D for Delete, Z for Ctrl+Z
        QTest::addColumn<int>("action");
        QTest::newRow("copy") << QChar('c') << 0;
        QTest::newRow("rename") << QChar('*') << 1;
        QTest::newRow("favourite") << QChar('1') << 0;
        QTest::newRow("delete") << QChar('D') << 0;
        QTest::newRow("undo") << QChar('Z') << 0;
    }

    void everyStepActsOnThePicturePresentedFirst()
    {
        QFETCH(QChar, key);
        QFETCH(int, action);
        Folders folders({"a.jpg", "b.jpg"});
        RecordingDialogs dialogs;
        RecordingView view;
        PhotoActions actions(view, MainTexts);
        folders.photos.SetPosition(0);
        PhotoActionContext context = folders.context(action);
        context.favouriteFolders = {folders.destination};
        int presentedAtTheQuestion = -1;
        dialogs.onNextDialog([&] { presentedAtTheQuestion = view.presented; });
        if (key == QLatin1Char('D'))
            actions.Delete(context);
        else if (key == QLatin1Char('Z'))
            actions.Undo(context);
        else
            QVERIFY(actions.CharacterKey(key, context));
        QCOMPARE(view.presented, 1);
        if (key != QLatin1Char('Z')) QCOMPARE(presentedAtTheQuestion, 1);

        // A picture whose file has gone meanwhile is said to be gone; nothing is asked about it.
        QFile::remove(folders.inSource(QStringLiteral("a.jpg")));
        dialogs.clear();
        if (key == QLatin1Char('D'))
            actions.Delete(context);
        else if (key != QLatin1Char('Z'))
            actions.CharacterKey(key, context);
        if (key == QLatin1Char('Z')) return;
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Obrázek už na svém místě není:\r") +
                     QDir::toNativeSeparators(folders.inSource(QStringLiteral("a.jpg"))));
    }

    void navigationAsksAtBothEnds()
    {
        Folders folders({"1.jpg", "2.jpg", "3.jpg"});
        RecordingDialogs dialogs;
        folders.photos.SetPosition(2);
        Navigation::StepNext(folders.photos);
        QCOMPARE(dialogs.last().function, QStringLiteral("AskYesNoDefaultYes"));
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Tenhle obrázek byl poslední.\rChcete začít prohlížet znovu od začátku?"));
        QCOMPARE(dialogs.last().defaultButton, QStringLiteral("Yes"));
        QCOMPARE(folders.photos.Position(), 2);
        dialogs.answerYes();
        Navigation::StepNext(folders.photos);
        QCOMPARE(folders.photos.Position(), 0);

        Navigation::StepPrevious(folders.photos);
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Tenhle obrázek byl první.\rChcete začít prohlížet od konce?"));
        QCOMPARE(folders.photos.Position(), 0);
        dialogs.answerYes();
        Navigation::StepPrevious(folders.photos);
        QCOMPARE(folders.photos.Position(), 2);
        Navigation::StepPrevious(folders.photos);
        QCOMPARE(folders.photos.Position(), 1);
        QCOMPARE(dialogs.count(), 4);
    }

    void selectByPathNarrowsTheMaskForAnUnlistedFile()
    {
        Folders folders({"a.jpg"});
        const QString other = folders.env.writeFile(QStringLiteral("jinde/Photo.GIF"), "x");
        folders.photos.SelectByPath(other);
        QCOMPARE(folders.list.Mask(), QStringLiteral("Photo.GIF"));
        QCOMPARE(folders.photos.CurrentPath(), other);
        folders.photos.SelectByPath(folders.inSource(QStringLiteral("A.JPG")));
        QCOMPARE(folders.photos.Position(), -1);
    }

    void selectByPathListsAHiddenFileOnItsOwn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("matching the mask")
            << ".jpg"
            << "*.jpg;*.jpeg;*.bmp;*.wmf" << QStringList({".jpg", "a.jpg", "b.jpg"});
        QTest::newRow("outside the mask") << ".x.gif"
                                          << ".x.gif" << QStringList({".x.gif"});
    }

    void selectByPathListsAHiddenFileOnItsOwn()
    {
        QFETCH(QString, name);
        QFETCH(QString, mask);
        QFETCH(QStringList, listed);
        Folders folders({"a.jpg", "b.jpg", "._a.jpg", name});
        QCOMPARE(folders.list.Count(), 2);

        folders.photos.SelectByPath(folders.inSource(name));
        QCOMPARE(folders.photos.CurrentPath(), QDir::toNativeSeparators(folders.inSource(name)));
        QCOMPARE(folders.list.Mask(), mask);
        QStringList names;
        for (int i = 0; i < folders.list.Count(); ++i)
            names << folders.list.Item(i);
        names.sort();
        QCOMPARE(names, listed);

        // Read again, the list holds what the folder shows.
        folders.photos.Reread();
        QVERIFY(folders.list.findItems(name, Qt::MatchExactly).isEmpty());
    }

    void selectByPathPrefersTheExactName()
    {
        Folders folders({"a.jpg", "A.JPG", "b.jpg"});
        for (const QString name : {QStringLiteral("A.JPG"), QStringLiteral("a.jpg")}) {
            folders.photos.SelectByPath(folders.inSource(name));
            QCOMPARE(folders.photos.CurrentPath(), QDir::toNativeSeparators(folders.inSource(name)));
        }
    }

    void fittingNeverEnlargesAndCentres_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("3000x2000") << QSize(3000, 2000) << QRect(18, 0, 973, 649);
        QTest::newRow("small") << QSize(300, 200) << QRect(354, 224, 300, 200);
        QTest::newRow("tall") << QSize(1000, 3000) << QRect(396, 0, 216, 649);
        QTest::newRow("wide") << QSize(5000, 1000) << QRect(0, 224, 1009, 201);
        QTest::newRow("exact") << QSize(1009, 649) << QRect(0, 0, 1009, 649);
    }

    void fittingNeverEnlargesAndCentres()
    {
        QFETCH(QSize, picture);
        QFETCH(QRect, expected);
        QCOMPARE(PictureBox::FitRect(picture, QSize(1009, 649), PictureBox::Placement::ShrinkCentred),
                 expected);
    }
};

QTEST_MAIN(TestPhotoActions)
#include "tst_photoactions.moc"
