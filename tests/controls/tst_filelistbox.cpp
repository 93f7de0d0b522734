#include "controls/filelistbox.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString AllPictures = QStringLiteral("*.jpg;*.jpeg;*.bmp;*.wmf");

void Touch(const QDir& dir, const QString& name)
{
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList Items(const FileListBox& box)
{
    QStringList items;
    for (int i = 0; i < box.Count(); ++i)
        items.append(box.Item(i));
    return items;
}

void VerifyNothingSelected(const FileListBox& box)
{
    QCOMPARE(box.ItemIndex(), -1);
    QCOMPARE(box.FileName(), QString());
    QVERIFY(box.selectedItems().isEmpty());
    QCOMPARE(box.currentRow(), -1);
}

} // namespace

class TestFileListBox : public QObject {
    Q_OBJECT

private slots:
    void init();
    void listsTheFolderWithTheMask_data();
    void listsTheFolderWithTheMask();
    void rereadClearsTheSelectionAndPicksUpNewFiles();
    void fileNameIsTheSelectedEntrysNativePath();
    void itemIndexOutsideTheListSelectsNothing_data();
    void itemIndexOutsideTheListSelectsNothing();
    void keepsOneSelection();
    void mousePressReportsThePressedEntry();
    void vanishedFolderGivesAnEmptyList();
    void leavesTheCurrentFolderAlone();

private:
    std::unique_ptr<QTemporaryDir> root_;
    QDir dir_;
};

void TestFileListBox::init()
{
    root_ = std::make_unique<QTemporaryDir>();
    dir_ = QDir(root_->path());
    for (const char* name : {"b.jpg", "A.JPG", "a.jpeg", "c.bmp", "d.wmf", "e.gif", ".hidden.jpg"})
        Touch(dir_, name);
    QVERIFY(dir_.mkdir("album.jpg"));
}

void TestFileListBox::listsTheFolderWithTheMask_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("Vše") << AllPictures << QStringList{"a.jpeg", "A.JPG", "b.jpg", "c.bmp", "d.wmf"};
    QTest::newRow("JPG, JPEG") << "*.jpg;*.jpeg" << QStringList{"a.jpeg", "A.JPG", "b.jpg"};
    QTest::newRow("BMP") << "*.bmp" << QStringList{"c.bmp"};
    QTest::newRow("WMF") << "*.wmf" << QStringList{"d.wmf"};
}

void TestFileListBox::listsTheFolderWithTheMask()
{
    QFETCH(QString, mask);
    QFETCH(QStringList, expected);

    FileListBox box;
    box.SetMask(mask);
    box.SetDirectory(root_->path());
    QCOMPARE(Items(box), expected);
    QCOMPARE(box.Mask(), mask);
    QCOMPARE(box.Directory(), QDir::toNativeSeparators(root_->path()));

    // Changing the mask alone lists the same folder anew.
    box.SetMask("*.gif");
    QCOMPARE(Items(box), QStringList{"e.gif"});
}

void TestFileListBox::rereadClearsTheSelectionAndPicksUpNewFiles()
{
    FileListBox box;
    box.SetDirectory(root_->path());
    box.SetMask(AllPictures);
    box.SetItemIndex(2);
    QCOMPARE(box.ItemIndex(), 2);

    Touch(dir_, "0.jpg");
    box.Update();
    VerifyNothingSelected(box);
    QCOMPARE(box.Count(), 6);
    QCOMPARE(box.Item(0), QString("0.jpg"));

    box.SetItemIndex(1);
    box.SetMask("*.bmp");
    VerifyNothingSelected(box);
    // The folder it already shows keeps its selection; another folder is read anew.
    box.SetItemIndex(0);
    box.SetDirectory(root_->path());
    QCOMPARE(box.ItemIndex(), 0);
    box.SetDirectory(dir_.filePath("album.jpg"));
    box.SetDirectory(root_->path());
    VerifyNothingSelected(box);
}

void TestFileListBox::fileNameIsTheSelectedEntrysNativePath()
{
    FileListBox box;
    box.SetMask("*.bmp;*.wmf");
    box.SetDirectory(root_->path() + "/");
    QCOMPARE(box.Directory(), QDir::toNativeSeparators(root_->path()));
    VerifyNothingSelected(box);

    box.SetItemIndex(1);
    QCOMPARE(box.ItemIndex(), 1);
    QCOMPARE(box.FileName(), QDir::toNativeSeparators(root_->path() + "/d.wmf"));
    QVERIFY(QFile::exists(box.FileName()));

    box.SetItemIndex(-1);
    VerifyNothingSelected(box);
}

void TestFileListBox::itemIndexOutsideTheListSelectsNothing_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("minus one") << -1;
    QTest::newRow("count") << 5;
    QTest::newRow("far beyond") << 1000;
    QTest::newRow("negative") << -7;
}

void TestFileListBox::itemIndexOutsideTheListSelectsNothing()
{
    QFETCH(int, index);
    FileListBox box;
    box.SetMask(AllPictures);
    box.SetDirectory(root_->path());
    QCOMPARE(box.Count(), 5);
    box.SetItemIndex(3);
    box.SetItemIndex(index);
    VerifyNothingSelected(box);
    QCOMPARE(box.Item(index), QString());
}

void TestFileListBox::keepsOneSelection()
{
    FileListBox box;
    box.SetMask(AllPictures);
    box.SetDirectory(root_->path());
    box.SetItemIndex(0);
    box.SetItemIndex(4);
    QCOMPARE(box.selectedItems().size(), 1);
    QCOMPARE(box.ItemIndex(), 4);

    // The user's arrow key moves the one selection.
    QTest::keyClick(&box, Qt::Key_Up);
    QCOMPARE(box.ItemIndex(), 3);
    QCOMPARE(box.selectedItems().size(), 1);
    QCOMPARE(box.FileName(), QDir::toNativeSeparators(root_->path() + "/c.bmp"));
}

void TestFileListBox::mousePressReportsThePressedEntry()
{
    FileListBox box;
    box.SetMask(AllPictures);
    box.SetDirectory(root_->path());
    box.resize(200, 300);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QStringList seen;
    connect(&box, &FileListBox::mousePressed, this, [&] { seen.append(box.FileName()); });

    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, box.visualItemRect(box.item(2)).center());
    QCOMPARE(seen, QStringList{QDir::toNativeSeparators(root_->path() + "/b.jpg")});
    QCOMPARE(box.ItemIndex(), 2);
}

void TestFileListBox::vanishedFolderGivesAnEmptyList()
{
    FileListBox box;
    box.SetMask(AllPictures);
    box.SetDirectory(root_->path());
    box.SetItemIndex(0);
    QVERIFY(root_->remove());

    box.Update();
    QCOMPARE(box.Count(), 0);
    VerifyNothingSelected(box);
    box.SetItemIndex(0);
    VerifyNothingSelected(box);

    const QString missing = QDir::toNativeSeparators(root_->path() + "/never");
    box.SetDirectory(missing);
    QCOMPARE(box.Directory(), missing);
    QCOMPARE(box.Count(), 0);
}

void TestFileListBox::leavesTheCurrentFolderAlone()
{
    const QString before = QDir::currentPath();
    FileListBox box;
    box.SetDirectory(root_->path());
    box.Update();
    QCOMPARE(QDir::currentPath(), before);
}

QTEST_MAIN(TestFileListBox)
#include "tst_filelistbox.moc"
