#include "controls/directorylistbox.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

int RowOf(const DirectoryListBox& box, const QString& folder)
{
    for (int row = 0; row < box.count(); ++row)
        if (box.FolderAt(row) == Native(folder)) return row;
    return -1;
}

QStringList Texts(const DirectoryListBox& box, int fromRow)
{
    QStringList texts;
    for (int row = fromRow; row < box.count(); ++row)
        texts.append(box.item(row)->text());
    return texts;
}

} // namespace

class TestDirectoryListBox : public QObject {
    Q_OBJECT

private slots:
    void init();
    void showsRootPathLevelsThenSubfolders();
    void directoryIsNativeAbsoluteWithoutTrailingSeparator();
    void everySuccessfulSetReportsAChange();
    void refusesWhatIsNoFolder_data();
    void refusesWhatIsNoFolder();
    void updateRereadsAndReportsAChange();
    void updateFallsBackToTheRootWhenTheFolderHasGone();
    void enterOpensTheEntry_data();
    void enterOpensTheEntry();
    void enterStaysWithTheList();
    void doubleClickOpensTheEntry();
    void openingAVanishedEntryChangesNothing();

private:
    std::unique_ptr<QTemporaryDir> root_;
    QString current_;
};

void TestDirectoryListBox::init()
{
    root_ = std::make_unique<QTemporaryDir>();
    current_ = root_->path() + "/photos/2024";
    QDir dir;
    for (const char* name : {"Zeta", "alpha", "Beta", ".cache"})
        QVERIFY(dir.mkpath(current_ + "/" + name));
    QFile file(current_ + "/picture.jpg");
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestDirectoryListBox::showsRootPathLevelsThenSubfolders()
{
    const QString before = QDir::currentPath();
    DirectoryListBox box;
    QVERIFY(box.SetDirectory(current_));
    QCOMPARE(QDir::currentPath(), before);

    QStringList levels{current_};
    while (!QDir(levels.first()).isRoot())
        levels.prepend(QFileInfo(levels.first()).path());
    const int subfolderRow = int(levels.size());
    QCOMPARE(box.count(), subfolderRow + 3);

    QCOMPARE(box.item(0)->text(), Native(QDir::rootPath()));
    for (int row = 0; row < subfolderRow; ++row) {
        QCOMPARE(box.FolderAt(row), Native(levels[row]));
        QCOMPARE(box.item(row)->data(DirectoryListBox::LevelRole).toInt(), row);
        if (row > 0) QCOMPARE(box.item(row)->text(), QFileInfo(levels[row]).fileName());
    }
    QCOMPARE(Texts(box, subfolderRow), (QStringList{"alpha", "Beta", "Zeta"}));
    for (int row = subfolderRow; row < box.count(); ++row) {
        QCOMPARE(box.item(row)->data(DirectoryListBox::LevelRole).toInt(), subfolderRow);
        QCOMPARE(box.FolderAt(row), Native(current_ + "/" + box.item(row)->text()));
    }
    QVERIFY(!box.item(1)->icon().isNull());

    // The current folder's line is the one highlighted.
    QCOMPARE(box.currentRow(), subfolderRow - 1);
    QCOMPARE(box.selectedItems().size(), 1);
    QCOMPARE(box.FolderAt(box.count()), QString());
}

void TestDirectoryListBox::directoryIsNativeAbsoluteWithoutTrailingSeparator()
{
    DirectoryListBox box;
    QVERIFY(box.SetDirectory(current_ + "/"));
    QCOMPARE(box.Directory(), Native(current_));
    QVERIFY(box.SetDirectory(current_ + "/alpha/../Beta"));
    QCOMPARE(box.Directory(), Native(current_ + "/Beta"));
    QVERIFY(box.SetDirectory(QDir::rootPath()));
    QCOMPARE(box.Directory(), Native(QDir::rootPath()));
    QCOMPARE(box.count() > 0 ? box.item(0)->data(DirectoryListBox::LevelRole).toInt() : -1, 0);
}

void TestDirectoryListBox::everySuccessfulSetReportsAChange()
{
    DirectoryListBox box;
    QSignalSpy changes(&box, &DirectoryListBox::directoryChanged);
    QVERIFY(box.SetDirectory(current_));
    QVERIFY(box.SetDirectory(current_));
    QVERIFY(box.SetDirectory(current_ + "/alpha"));
    QCOMPARE(changes.size(), 3);
    QCOMPARE(changes[0][0].toString(), Native(current_));
    QCOMPARE(changes[1][0].toString(), Native(current_));
    QCOMPARE(changes[2][0].toString(), Native(current_ + "/alpha"));
}

void TestDirectoryListBox::refusesWhatIsNoFolder_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing") << "/photos/2023";
    QTest::newRow("file") << "/photos/2024/picture.jpg";
    QTest::newRow("empty") << "";
}

void TestDirectoryListBox::refusesWhatIsNoFolder()
{
    QFETCH(QString, relative);
    const QString path = relative.isEmpty() ? QString() : root_->path() + relative;

    DirectoryListBox box;
    QVERIFY(box.SetDirectory(current_));
    const QStringList shown = Texts(box, 0);
    QSignalSpy changes(&box, &DirectoryListBox::directoryChanged);

    QVERIFY(!box.SetDirectory(path));
    QCOMPARE(changes.size(), 0);
    QCOMPARE(box.Directory(), Native(current_));
    QCOMPARE(Texts(box, 0), shown);
}

void TestDirectoryListBox::updateRereadsAndReportsAChange()
{
    DirectoryListBox box;
    QVERIFY(box.SetDirectory(current_));
    QVERIFY(QDir(current_).mkdir("Added"));
    QVERIFY(QDir(current_).rmdir("Zeta"));
    QSignalSpy changes(&box, &DirectoryListBox::directoryChanged);

    box.Update();
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes[0][0].toString(), Native(current_));
    QVERIFY(RowOf(box, current_ + "/Added") > 0);
    QCOMPARE(RowOf(box, current_ + "/Zeta"), -1);
}

void TestDirectoryListBox::updateFallsBackToTheRootWhenTheFolderHasGone()
{
    DirectoryListBox box;
    QVERIFY(box.SetDirectory(current_ + "/alpha"));
    QVERIFY(root_->remove());
    QSignalSpy changes(&box, &DirectoryListBox::directoryChanged);

    box.Update();
    const QString root = Native(QDir::rootPath());
    QCOMPARE(box.Directory(), root);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes[0][0].toString(), root);
    QCOMPARE(box.FolderAt(0), root);
}

void TestDirectoryListBox::enterOpensTheEntry_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("target");
    QTest::newRow("Return on a subfolder") << int(Qt::Key_Return) << "/photos/2024/Beta";
    QTest::newRow("keypad Enter on a subfolder") << int(Qt::Key_Enter) << "/photos/2024/alpha";
    QTest::newRow("Return on a path level") << int(Qt::Key_Return) << "/photos";
}

void TestDirectoryListBox::enterOpensTheEntry()
{
    QFETCH(int, key);
    QFETCH(QString, target);
    const QString folder = root_->path() + target;

    DirectoryListBox box;
    QVERIFY(box.SetDirectory(current_));
    QSignalSpy changes(&box, &DirectoryListBox::directoryChanged);
    box.setCurrentRow(RowOf(box, folder));

    QTest::keyClick(&box, Qt::Key(key));
    QCOMPARE(box.Directory(), Native(folder));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(box.FolderAt(box.currentRow()), Native(folder));
}

void TestDirectoryListBox::enterStaysWithTheList()
{
    QDialog dialog;
    auto* box = new DirectoryListBox(&dialog);
    auto* okButton = new QPushButton("OK", &dialog);
    okButton->setDefault(true);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(box->SetDirectory(current_));
    QSignalSpy clicks(okButton, &QPushButton::clicked);
    box->setCurrentRow(RowOf(*box, current_ + "/Beta"));

    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->Directory(), Native(current_ + "/Beta"));
    QCOMPARE(clicks.size(), 0);
    QVERIFY(dialog.isVisible());
}

void TestDirectoryListBox::doubleClickOpensTheEntry()
{
    DirectoryListBox box;
    QVERIFY(box.SetDirectory(current_));
    box.resize(300, 600);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy changes(&box, &DirectoryListBox::directoryChanged);

    const int row = RowOf(box, current_ + "/Zeta");
    const QPoint centre = box.visualItemRect(box.item(row)).center();
    // A real double-click: the first click, then the second press that the
    // system reports as a double-click.
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(changes.size(), 0);
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(box.viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(box.Directory(), Native(current_ + "/Zeta"));
    QCOMPARE(changes.size(), 1);
}

void TestDirectoryListBox::openingAVanishedEntryChangesNothing()
{
    DirectoryListBox box;
    QVERIFY(box.SetDirectory(current_));
    box.setCurrentRow(RowOf(box, current_ + "/alpha"));
    QVERIFY(QDir(current_).rmdir("alpha"));
    QSignalSpy changes(&box, &DirectoryListBox::directoryChanged);

    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(box.Directory(), Native(current_));
    QCOMPARE(changes.size(), 0);
}

QTEST_MAIN(TestDirectoryListBox)
#include "tst_directorylistbox.moc"
