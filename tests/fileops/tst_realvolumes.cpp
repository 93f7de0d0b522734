#include "controls/filelistbox.h"
#include "filebytes.h"
#include "fileops/desktoptrash.h"
#include "fileops/fileoperations.h"
#include "fileops/sortingundo.h"
#include "realvolume.h"
#include "recordingdialogs.h"
#include "sorting/photoactions.h"
#include "sorting/photofiles.h"
#include "sorting/photolist.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <cerrno>
#include <memory>

namespace {

// Pictures of their own bytes, so that a wrong file in the right place shows.
QByteArray pictureBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

QString write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return QString();
    return path;
}

QStringList everythingIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

class StillView : public PhotoView {
public:
    void PresentCurrentPicture() override {}
    void LoadPictureFrom(const QString&) override {}
    void ShowCurrentPicture() override {}
    void SetPathLabel(const QString&) override {}
};

} // namespace

#define MOUNTED(volume, kind, bytes)                                                                         \
    RealVolume volume(RealVolume::Kind::kind, bytes);                                                        \
    if (!volume.mounted()) QFAIL(qPrintable(volume.error()))

class TestRealVolumes : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestEnvironment> env;

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }

    void memoryCardRenamesCaseOnlyAndBack()
    {
        MOUNTED(card, ExfatCard, 16 << 20);
        const QByteArray picture = pictureBytes(4096);
        const QString lower = write(card.path() + "/img_0001.jpg", picture);
        const QString upper = card.path() + "/IMG_0001.jpg";
        SortingUndo undo;
        QVERIFY(undo.Move(lower, upper));
        QCOMPARE(everythingIn(card.path()), QStringList{"IMG_0001.jpg"});
        QCOMPARE(undo.Undo().outcome, SortingUndo::Outcome::Undone);
        QCOMPARE(everythingIn(card.path()), QStringList{"img_0001.jpg"});
        QCOMPARE(FileBytes(lower), picture);
        // Another file under the other case is another file there too.
        write(card.path() + "/b.jpg", "other");
        QCOMPARE(undo.Move(lower, card.path() + "/B.JPG").outcome(), FileResult::Outcome::NameTaken);
        QCOMPARE(FileBytes(lower), picture);
        QCOMPARE(FileBytes(card.path() + "/b.jpg"), QByteArray("other"));
    }

    void memoryCardTakesAndGivesPictures_data()
    {
        QTest::addColumn<bool>("toCard");
        QTest::addColumn<bool>("move");
        QTest::newRow("copy onto the card") << true << false;
        QTest::newRow("copy from the card") << false << false;
        QTest::newRow("move onto the card") << true << true;
        QTest::newRow("move from the card") << false << true;
    }

    void memoryCardTakesAndGivesPictures()
    {
        QFETCH(bool, toCard);
        QFETCH(bool, move);
        MOUNTED(card, ExfatCard, 16 << 20);
        const QString disk = env->makeFolder("disk");
        const QString from = toCard ? disk : card.path();
        const QString to = toCard ? card.path() : disk;
        const QByteArray picture = pictureBytes(3 << 20);
        const QString source = write(from + "/DSC_0042.JPG", picture);
        const QString target = to + "/vyber.jpg";
        SortingUndo undo;
        QVERIFY(move ? undo.Move(source, target) : undo.Copy(source, target, true));
        QCOMPARE(FileBytes(target), picture);
        QCOMPARE(QFile::exists(source), !move);
        QCOMPARE(everythingIn(to), QStringList{"vyber.jpg"});
        QCOMPARE(undo.Undo().outcome, SortingUndo::Outcome::Undone);
        QCOMPARE(FileBytes(source), picture);
        QVERIFY(everythingIn(to).isEmpty());
        QCOMPARE(everythingIn(from), QStringList{"DSC_0042.JPG"});
    }

    void memoryCardHasNoTrashSoDeletingAsksFirst()
    {
        MOUNTED(card, ExfatCard, 16 << 20);
        write(card.path() + "/a.jpg", "a");
        FileListBox list;
        list.SetMask("*.jpg");
        list.SetDirectory(card.path());
        PhotoList photos(list);
        photos.SetPosition(0);
        SortingUndo undo;
        StillView view;
        PhotoActions actions(view, {"", ""});
        RecordingDialogs dialogs;
        dialogs.answerYes();
        dialogs.answerYes();
        actions.Delete({photos, card.path(), card.path(), 0, true, undo, true});
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Tento obrázek nelze přesunout do koše.\rOpravdu ho chcete trvale smazat?"));
        // Gone outright, and no trash folder left behind on the card.
        QVERIFY(everythingIn(card.path()).isEmpty());
        QCOMPARE(undo.Count(), 0);
    }

    void moveOntoAnotherVolumeNeverReplaces()
    {
        MOUNTED(card, ExfatCard, 16 << 20);
        MOUNTED(disk, Tmpfs, 16 << 20);
        const QString source = write(disk.path() + "/y.jpg", "moving");
        write(card.path() + "/Y.JPG", "staying");
        QCOMPARE(FileOperations::MoveNoReplace(source, card.path() + "/y.jpg").outcome(),
                 FileResult::Outcome::NameTaken);
        QCOMPARE(FileBytes(source), QByteArray("moving"));
        QCOMPARE(everythingIn(card.path()), QStringList{"Y.JPG"});
        QCOMPARE(FileBytes(card.path() + "/Y.JPG"), QByteArray("staying"));
    }

    void fullDiskSaysSoAndKeepsOnlyWholeCopies_data()
    {
        QTest::addColumn<bool>("withRaw");
        QTest::addColumn<QStringList>("copied");
        QTest::addColumn<QString>("stoppedBy");
        QTest::addColumn<QString>("photoNote");
        QTest::newRow("picture") << false << QStringList{"1.jpg", "2.jpg", "3.jpg"} << "4.jpg" << QString();
        // From the second photo on its JPEG fits, its RAW does not: neither stays.
        QTest::newRow("RAW + JPEG") << true << QStringList{"1.jpg", "1.nef"} << "4.nef"
                                    << "\rŽádný soubor obrázku proto nebyl změněn.";
    }

    void fullDiskSaysSoAndKeepsOnlyWholeCopies()
    {
        QFETCH(bool, withRaw);
        QFETCH(QStringList, copied);
        QFETCH(QString, stoppedBy);
        QFETCH(QString, photoNote);
        MOUNTED(full, Tmpfs, 1 << 20);
        const QByteArray picture = pictureBytes((withRaw ? 100 : 300) << 10);
        const QByteArray raw = pictureBytes(800 << 10);
        const QString source = env->writeFile("zdroj/a.jpg", picture);
        if (withRaw) env->writeFile("zdroj/a.nef", raw);
        FileListBox list;
        list.SetMask("*.jpg;*.nef");
        list.SetDirectory(QFileInfo(source).absolutePath());
        list.SetGrouping(&GroupingKindOf);
        PhotoList photos(list);
        photos.SetPosition(0);
        SortingUndo undo;
        StillView view;
        PhotoActions actions(view, {"", ""});
        RecordingDialogs dialogs;
        for (int copy = 1; copy <= 4; ++copy)
            dialogs.answerInput(QString::number(copy));
        for (int copy = 1; copy <= 4; ++copy)
            actions.Copy({photos, QString(), full.path(), 0, false, undo, true});
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Obrázek se nepodařilo zkopírovat do\r%1\r%2")
                         .arg(QDir::toNativeSeparators(full.path() + "/" + stoppedBy), SystemReason(ENOSPC)) +
                     photoNote);
        QCOMPARE(dialogs.last().icon, QStringLiteral("warning"));
        QCOMPARE(everythingIn(full.path()), copied);
        for (const QString& name : everythingIn(full.path()))
            QCOMPARE(FileBytes(full.path() + "/" + name), name.endsWith(".nef") ? raw : picture);
        QCOMPARE(FileBytes(source), picture);
        QCOMPARE(undo.Count(), copied.size() / (withRaw ? 2 : 1));
    }

    void destinationThatTakesNothingSaysWhy_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("error");
        QTest::newRow("read-only volume") << true << EROFS;
        QTest::newRow("folder removed meanwhile") << false << ENOENT;
    }

    void destinationThatTakesNothingSaysWhy()
    {
        QFETCH(bool, readOnly);
        QFETCH(int, error);
        MOUNTED(volume, Tmpfs, 1 << 20);
        MOUNTED(readOnlyVolume, ReadOnlyTmpfs, 1 << 20);
        const QString folder = readOnly ? readOnlyVolume.path() : volume.path() + "/gone";
        const QString source = env->writeFile("zdroj/a.jpg", "picture");
        SortingUndo undo;
        for (const bool move : {false, true}) {
            const FileResult result =
                move ? undo.Move(source, folder + "/a.jpg") : undo.Copy(source, folder + "/a.jpg", true);
            QCOMPARE(result.reason(), SystemReason(error));
        }
        QCOMPARE(FileBytes(source), QByteArray("picture"));
        QCOMPARE(undo.Count(), 0);
    }

    void trashKeepsTheRealPlaceOfALinkedFolder()
    {
        MOUNTED(volume, Tmpfs, 1 << 20);
        QDir(volume.path()).mkdir("fotky");
        write(volume.path() + "/fotky/a.jpg", "a");
        const QString linked = env->startDir() + "/karta";
        QVERIFY(QFile::link(volume.path() + "/fotky", linked));
        const DesktopTrash::Result trashed = DesktopTrash::MoveToTrash(linked + "/a.jpg");
        QCOMPARE(trashed.outcome, DesktopTrash::Outcome::Trashed);
        QVERIFY(trashed.entry.trashedPath.startsWith(volume.path() + "/.Trash-"));
        QVERIFY(FileBytes(trashed.entry.infoPath).contains("\nPath=fotky/a.jpg\n"));
        QCOMPARE(DesktopTrash::Restore(trashed.entry), DesktopTrash::RestoreOutcome::Restored);
        QCOMPARE(FileBytes(linked + "/a.jpg"), QByteArray("a"));
    }

    void longNamesGoToTheTrashAndAcrossVolumes()
    {
        MOUNTED(volume, Tmpfs, 1 << 20);
        const QString name = QString(120, QChar(u'ž')) + ".jpg"; // 244 bytes
        const QString first = env->writeFile("a/" + name, "first");
        const DesktopTrash::Result trashed = DesktopTrash::MoveToTrash(first);
        QCOMPARE(trashed.outcome, DesktopTrash::Outcome::Trashed);
        QCOMPARE(DesktopTrash::Restore(trashed.entry), DesktopTrash::RestoreOutcome::Restored);
        QVERIFY(FileOperations::MoveNoReplace(first, volume.path() + "/" + name));
        QCOMPARE(FileBytes(volume.path() + "/" + name), QByteArray("first"));
    }
};

QTEST_MAIN(TestRealVolumes)
#include "tst_realvolumes.moc"
