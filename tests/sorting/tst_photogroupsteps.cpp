#include "controls/filelistbox.h"
#include "fileops/sortingundo.h"
#include "recordingdialogs.h"
#include "sorting/photoactions.h"
#include "sorting/photofiles.h"
#include "sorting/photolist.h"
#include "testenvironment.h"

#include <QDir>
#include <QTest>

namespace {

class SilentView : public PhotoView {
public:
    void PresentCurrentPicture() override {}
    void LoadPictureFrom(const QString&) override {}
    void ShowCurrentPicture() override {}
    void SetPathLabel(const QString&) override {}
};

const QStringList Photo{"DSC_0042.JPG", "DSC_0042.NEF", "DSC_0042.NEF.xmp", "dsc_0042.xmp"};

// A source folder holding one photo of four files and a lone picture, listed with grouping.
struct PairFolders {
    TestEnvironment env;
    QString source = env.makeFolder(QStringLiteral("zdroj"));
    QString destination = env.makeFolder(QStringLiteral("cil"));
    FileListBox list;
    PhotoList photos{list};
    SortingUndo undo;

    PairFolders()
    {
        for (const QString& name : Photo + QStringList{"jiny.jpg"})
            env.writeFile(QStringLiteral("zdroj/") + name, name.toUtf8());
        list.SetMask(QStringLiteral("*.jpg;*.nef"));
        list.SetDirectory(source);
        list.SetGrouping(&GroupingKindOf);
        photos.SelectByPath(QDir(source).filePath(QStringLiteral("DSC_0042.JPG")));
    }
    PhotoActionContext context(int action, bool toTrash)
    {
        return {photos, source, destination, action, false, undo, toTrash};
    }
    QStringList filesIn(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    }
};

QStringList sorted(QStringList names)
{
    names.sort(Qt::CaseInsensitive);
    return names;
}

} // namespace

class TestPhotoGroupSteps : public QObject {
    Q_OBJECT
private slots:
    void theListShowsAPhotoOnceAndTheLabelItsOtherPictures()
    {
        PairFolders folders;
        QCOMPARE(folders.list.Count(), 2);
        QCOMPARE(folders.list.Item(0), QStringLiteral("DSC_0042.JPG"));
        const QStringList files = folders.photos.FilesOf(folders.photos.CurrentPath());
        QCOMPARE(files.size(), 4);
        QCOMPARE(PhotoLabel(files), folders.photos.CurrentPath() + QStringLiteral(" + NEF"));
        // Opening the RAW finds the photo's entry.
        folders.photos.SelectByPath(QDir(folders.source).filePath(QStringLiteral("DSC_0042.NEF")));
        QCOMPARE(folders.photos.Position(), 0);
        folders.list.SetGrouping({});
        QCOMPARE(folders.list.Count(), 3);
    }

    void everyStepTakesTheWholePhotoAndUndoBringsItBack_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("sourceAfter");
        QTest::addColumn<QStringList>("destinationAfter");
        QTest::addColumn<QString>("question");
        const QStringList copies{"nove.jpg", "nove.NEF", "nove.NEF.xmp", "nove.xmp"};
        QTest::newRow("copy") << "copy"
                              << "nove.jpg" << sorted(Photo + QStringList{"jiny.jpg"}) << copies
                              << "Zadej název:\r(Obrázek má 4 soubory, všechny dostanou tento název.)";
        QTest::newRow("rename") << "rename"
                                << "NOVE"
                                << QStringList{"jiny.jpg", "NOVE.JPG", "NOVE.NEF", "NOVE.NEF.xmp", "NOVE.xmp"}
                                << QStringList()
                                << "Zadej název:\r(Obrázek má 4 soubory, všechny dostanou tento název.)";
        QTest::newRow("delete")
            << "delete" << QString() << QStringList{"jiny.jpg"} << QStringList()
            << "Opravdu chcete tento obrázek smazat i s jeho dalšími soubory (celkem 4 soubory)?";
    }

    void everyStepTakesTheWholePhotoAndUndoBringsItBack()
    {
        QFETCH(QString, step);
        QFETCH(QString, typed);
        QFETCH(QStringList, sourceAfter);
        QFETCH(QStringList, destinationAfter);
        QFETCH(QString, question);
        PairFolders folders;
        const QStringList sourceBefore = folders.filesIn(folders.source);
        RecordingDialogs dialogs;
        SilentView view;
        PhotoActions actions(view, {QStringLiteral("Zadej název:"), QStringLiteral("Zadej název:")});
        if (step == "delete") {
            dialogs.answerYes();
            actions.Delete(folders.context(0, true));
        } else {
            dialogs.answerInput(typed);
            actions.CopyOrRename(folders.context(step == "copy" ? 0 : 1, true));
        }
        QCOMPARE(dialogs.calls().first().text, question);
        QCOMPARE(folders.filesIn(folders.source), sourceAfter);
        QCOMPARE(folders.filesIn(folders.destination), destinationAfter);

        actions.Undo(folders.context(0, true));
        QCOMPARE(folders.filesIn(folders.source), sourceBefore);
        QCOMPARE(folders.filesIn(folders.destination), QStringList());
        QCOMPARE(folders.list.Item(folders.photos.Position()), QStringLiteral("DSC_0042.JPG"));
    }

    void aPhotoGoesWholeOrNotAtAll_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("stoppedBy");
        QTest::addColumn<QString>("expected");
        QTest::newRow("copy onto a folder") << 0 << "cil/nove.NEF"
                                            << "Obrázek se nepodařilo zkopírovat do\r%1\r";
        QTest::newRow("rename onto a taken name") << 1 << "zdroj/nove.NEF"
                                                  << "Obrázek nelze přejmenovat, název je obsazen:\r%1";
    }

    void aPhotoGoesWholeOrNotAtAll()
    {
        QFETCH(int, action);
        QFETCH(QString, stoppedBy);
        QFETCH(QString, expected);
        PairFolders folders;
        // The RAW's place is taken by a folder for a copy, by a file for a rename.
        const QString taken =
            action == 0 ? folders.env.makeFolder(stoppedBy) : folders.env.writeFile(stoppedBy, "jiny");
        const QStringList sourceBefore = folders.filesIn(folders.source);
        RecordingDialogs dialogs;
        SilentView view;
        PhotoActions actions(view, {QString(), QString()});
        dialogs.answerInput(QStringLiteral("nove"));
        actions.CopyOrRename(folders.context(action, false));

        const QString text = dialogs.last().text;
        QVERIFY2(text.startsWith(expected.arg(QDir::toNativeSeparators(taken))), qPrintable(text));
        QVERIFY(text.endsWith(QStringLiteral("\rŽádný soubor obrázku proto nebyl změněn.")));
        QCOMPARE(folders.filesIn(folders.source), sourceBefore);
        QCOMPARE(folders.filesIn(folders.destination), QStringList());
        QCOMPARE(folders.undo.Count(), 0);
    }
};

QTEST_MAIN(TestPhotoGroupSteps)
#include "tst_photogroupsteps.moc"
