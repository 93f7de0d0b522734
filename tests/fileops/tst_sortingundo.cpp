#include "fileops/sortingundo.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <memory>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestSortingUndo : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestEnvironment> env;
    QString source;
    QString copy;

    // With the user's data folder below a plain file no trash can be made.
    void blockTrash() const
    {
        qputenv("XDG_DATA_HOME",
                (env->writeFile(QStringLiteral("blocker"), "") + QStringLiteral("/data")).toUtf8());
    }

private slots:
    void init()
    {
        env = std::make_unique<TestEnvironment>();
        source = env->writeFile(QStringLiteral("zdroj/a.jpg"), "original");
        copy = QDir(env->makeFolder(QStringLiteral("cil"))).filePath(QStringLiteral("a.jpg"));
    }

    // Each sandbox gives back the data folder it found, so the next one starts after it is gone.
    void cleanup() { env.reset(); }

    void replacedFileComesBack_data()
    {
        QTest::addColumn<bool>("trashUsable");
        QTest::newRow("from the trash") << true;
        QTest::newRow("from beside the copy") << false;
    }

    void replacedFileComesBack()
    {
        QFETCH(bool, trashUsable);
        if (!trashUsable) blockTrash();
        env->writeFile(QStringLiteral("cil/a.jpg"), "replaced");
        SortingUndo undo;
        QVERIFY(undo.Copy(source, copy, true));
        QCOMPARE(bytesOf(copy), QByteArray("original"));
        QCOMPARE(namesIn(QFileInfo(copy).path()).size(), trashUsable ? 1 : 2);
        QCOMPARE(undo.Undo().outcome, SortingUndo::Outcome::Undone);
        QCOMPARE(bytesOf(copy), QByteArray("replaced"));
        QCOMPARE(namesIn(QFileInfo(copy).path()), QStringList{QStringLiteral("a.jpg")});
    }

    void copyOntoItselfIsRefusedAndTouchesNothing()
    {
        SortingUndo undo;
        QVERIFY(!undo.Copy(source, source, true));
        QCOMPARE(bytesOf(source), QByteArray("original"));
        QCOMPARE(undo.Count(), 0);
    }

    void refusedStepStaysForALaterTry_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("disturbed"); // the file moved away afterwards
        QTest::addColumn<bool>("occupied");     // another file put in its place
        QTest::addColumn<QString>("message");
        QTest::newRow("copy changed since")
            << "copy"
            << "copy" << true << "Kopii nelze vrátit zpět, od té doby se změnila:\r";
        QTest::newRow("original of the copy gone")
            << "copy"
            << "source" << false << "Kopii nelze vrátit zpět, původní obrázek už neexistuje:\r";
        QTest::newRow("old name taken") << "move"
                                        << "source" << true << "Krok nelze vrátit zpět, název je obsazen:\r";
        QTest::newRow("place of a deleted file taken")
            << "trash"
            << "source" << true << "Krok nelze vrátit zpět, název je obsazen:\r";
        QTest::newRow("trash entry gone") << "trash"
                                          << "trash" << false << "Obrázek nelze vrátit, v koši už není:\r";
    }

    void refusedStepStaysForALaterTry()
    {
        QFETCH(QString, step);
        QFETCH(QString, disturbed);
        QFETCH(bool, occupied);
        QFETCH(QString, message);
        SortingUndo undo;
        if (step == QStringLiteral("copy")) QVERIFY(undo.Copy(source, copy, false));
        if (step == QStringLiteral("move")) QVERIFY(undo.Move(source, copy));
        if (step == QStringLiteral("trash")) QCOMPARE(undo.Trash(source), DesktopTrash::Outcome::Trashed);
        const QString path = disturbed == QStringLiteral("copy")     ? copy
                             : disturbed == QStringLiteral("source") ? source
                                                                     : env->trashed(QStringLiteral("a.jpg"));
        QFile::rename(path, path + QStringLiteral(".parked"));
        QFile newcomer(path);
        if (occupied) QVERIFY(newcomer.open(QIODevice::WriteOnly) && newcomer.write("newcomer") == 8);
        newcomer.close();

        const SortingUndo::Result result = undo.Undo();
        QCOMPARE(result.outcome, SortingUndo::Outcome::Refused);
        QCOMPARE(result.message, message + QDir::toNativeSeparators(disturbed == "copy" ? copy : source));
        QCOMPARE(undo.Count(), 1);

        if (occupied) QFile::remove(path);
        QFile::rename(path + QStringLiteral(".parked"), path);
        QCOMPARE(undo.Undo().picture, source);
        QCOMPARE(bytesOf(source), QByteArray("original"));
        QVERIFY(!QFile::exists(copy));
        QCOMPARE(undo.Undo().outcome, SortingUndo::Outcome::NothingToUndo);
    }

    void keepsTheNewestSteps()
    {
        SortingUndo undo;
        for (int step = 0; step < SortingUndo::Depth + 10; ++step)
            undo.RecordMove(QString::number(step), QString::number(step + 1));
        QCOMPARE(undo.Count(), SortingUndo::Depth);
        QVERIFY(SortingUndo::Depth >= 100);
    }
};

QTEST_GUILESS_MAIN(TestSortingUndo)
#include "tst_sortingundo.moc"
