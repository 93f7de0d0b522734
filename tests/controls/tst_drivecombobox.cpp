#include "controls/drivecombobox.h"

#include <QDir>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QStringList Entries(const DriveComboBox& box)
{
    QStringList entries;
    for (int i = 0; i < box.count(); ++i)
        entries.append(box.itemText(i));
    return entries;
}

// A root that no mounted volume has, as after a volume went away.
const QString GoneVolume = Native(QStringLiteral("/no-such-volume"));

} // namespace

class TestDriveComboBox : public QObject {
    Q_OBJECT

private slots:
    void listsReadyVolumesByRoot();
    void startsOnTheVolumeOfTheRoot();
    void driveOfAPathIsTheRootOfItsVolume();
    void setDriveSelectsOrAddsWithoutReportingAChoice();
    void refreshKeepsTheSelection();
    void userChoiceIsReported();
    void choosingTheSelectedDriveAgainIsNoChoice();
    void messageNameOfADrive_data();
    void messageNameOfADrive();
};

void TestDriveComboBox::listsReadyVolumesByRoot()
{
    const DriveComboBox box;
    const QStringList entries = Entries(box);
    QVERIFY(!entries.isEmpty());
    QCOMPARE(QSet<QString>(entries.cbegin(), entries.cend()).size(), entries.size());
    for (const QString& root : entries) {
        const QStorageInfo volume(root);
        QVERIFY2(volume.isValid() && volume.isReady(), qPrintable(root));
        QCOMPARE(Native(volume.rootPath()), root);
    }
#ifdef Q_OS_LINUX
    QVERIFY(!entries.contains("/proc"));
    QVERIFY(!entries.contains("/sys"));
    QVERIFY(!entries.contains("/dev/pts"));
#endif
}

void TestDriveComboBox::startsOnTheVolumeOfTheRoot()
{
    const DriveComboBox box;
    QCOMPARE(box.Drive(), DriveComboBox::DriveOf(QDir::rootPath()));
    QCOMPARE(box.currentText(), box.Drive());
}

void TestDriveComboBox::driveOfAPathIsTheRootOfItsVolume()
{
    QTemporaryDir folder;
    QCOMPARE(DriveComboBox::DriveOf(folder.path()), Native(QStorageInfo(folder.path()).rootPath()));
    QCOMPARE(DriveComboBox::DriveOf(QDir::rootPath()), Native(QDir::rootPath()));
    QVERIFY(!DriveComboBox::DriveOf(folder.path() + "/missing/deeper").isEmpty());
    QVERIFY(!DriveComboBox::DriveOf(QString()).isEmpty());
}

void TestDriveComboBox::setDriveSelectsOrAddsWithoutReportingAChoice()
{
    DriveComboBox box;
    QSignalSpy chosen(&box, &DriveComboBox::driveChosen);
    const int listed = box.count();

    box.SetDrive(box.itemText(listed - 1));
    QCOMPARE(box.currentIndex(), listed - 1);
    QCOMPARE(box.count(), listed);

    box.SetDrive(GoneVolume);
    box.SetDrive(GoneVolume);
    QCOMPARE(box.Drive(), GoneVolume);
    QCOMPARE(box.count(), listed + 1);
    QCOMPARE(chosen.size(), 0);
}

void TestDriveComboBox::refreshKeepsTheSelection()
{
    QTemporaryDir folder;
    DriveComboBox box;
    box.SetDrive(DriveComboBox::DriveOf(folder.path()));
    const QString selected = box.Drive();
    box.Refresh();
    QCOMPARE(box.Drive(), selected);

    // A volume that has gone stays shown until the user picks another.
    box.SetDrive(GoneVolume);
    box.Refresh();
    QCOMPARE(box.Drive(), GoneVolume);
}

void TestDriveComboBox::userChoiceIsReported()
{
    DriveComboBox box;
    box.SetDrive(GoneVolume);
    box.setCurrentIndex(box.count() - 2);
    QSignalSpy chosen(&box, &DriveComboBox::driveChosen);

    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen[0][0].toString(), GoneVolume);
    QCOMPARE(box.Drive(), GoneVolume);
}

void TestDriveComboBox::choosingTheSelectedDriveAgainIsNoChoice()
{
    DriveComboBox box;
    box.SetDrive(GoneVolume);
    QVERIFY(box.count() >= 2);
    QSignalSpy chosen(&box, &DriveComboBox::driveChosen);
    // What the box does when the user picks an entry: select it, then report the activation,
    // which Qt sends even when the entry was already selected.
    const auto pick = [&box](int index) {
        box.setCurrentIndex(index);
        emit box.activated(index);
    };

    pick(box.currentIndex());
    QCOMPARE(chosen.size(), 0);

    pick(0);
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen[0][0].toString(), box.itemText(0));
    pick(0);
    QCOMPARE(chosen.size(), 1);

    // A drive set by the program is the current one too.
    box.SetDrive(GoneVolume);
    pick(box.currentIndex());
    QCOMPARE(chosen.size(), 1);
    pick(0);
    QCOMPARE(chosen.size(), 2);
}

void TestDriveComboBox::messageNameOfADrive_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("name");
    QTest::newRow("windows drive") << QStringLiteral("C:\\") << QStringLiteral("c");
    QTest::newRow("windows drive, forward slash") << QStringLiteral("D:/") << QStringLiteral("d");
    QTest::newRow("windows drive, bare") << QStringLiteral("e:") << QStringLiteral("e");
    QTest::newRow("mount point keeps its case")
        << QStringLiteral("/media/USB") << QStringLiteral("/media/USB");
    QTest::newRow("file-system root") << QStringLiteral("/") << QStringLiteral("/");
    QTest::newRow("network share") << QStringLiteral("\\\\Server\\Fotky\\")
                                   << QStringLiteral("\\\\Server\\Fotky\\");
    QTest::newRow("folder named like a drive") << QStringLiteral("/mnt/C:") << QStringLiteral("/mnt/C:");
}

void TestDriveComboBox::messageNameOfADrive()
{
    QFETCH(QString, root);
    QFETCH(QString, name);
    QCOMPARE(DriveComboBox::MessageName(root), name);
}

QTEST_MAIN(TestDriveComboBox)
#include "tst_drivecombobox.moc"
