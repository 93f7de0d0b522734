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
        // Without a trash the replaced file waits beside the copy where the user can see it.
        const QStringList expected =
            trashUsable ? QStringList{"a.jpg"} : QStringList{"a (nahrazený).jpg", "a.jpg"};
        QCOMPARE(namesIn(QFileInfo(copy).path()), expected);
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

    void refusedStepIsGivenUpForTheOneBelow_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("disturbed"); // the file moved away afterwards
        QTest::addColumn<bool>("occupied");     // another file put in its place
        QTest::addColumn<int>("refusal");
        using Refusal = SortingUndo::Refusal;
        QTest::newRow("copy changed since") << "copy"
                                            << "copy" << true << int(Refusal::CopyChanged);
        QTest::newRow("original of the copy gone") << "copy"
                                                   << "source" << false << int(Refusal::OriginalGone);
        QTest::newRow("old name taken") << "move"
                                        << "source" << true << int(Refusal::NameTaken);
        QTest::newRow("place of a deleted file taken") << "trash"
                                                       << "source" << true << int(Refusal::NameTaken);
        QTest::newRow("trash entry gone") << "trash"
                                          << "trash" << false << int(Refusal::NotInTrash);
        QTest::newRow("another file in the trash under its name") << "trash"
                                                                  << "trash" << true << int(Refusal::NotOurs);
    }

    void refusedStepIsGivenUpForTheOneBelow()
    {
        QFETCH(QString, step);
        QFETCH(QString, disturbed);
        QFETCH(bool, occupied);
        QFETCH(int, refusal);
        SortingUndo undo;
        const QString older = env->writeFile(QStringLiteral("zdroj/b.jpg"), "older");
        QVERIFY(undo.Move(older, older + QStringLiteral(".moved")));
        if (step == QStringLiteral("copy")) QVERIFY(undo.Copy(source, copy, false));
        if (step == QStringLiteral("move")) QVERIFY(undo.Move(source, copy));
        if (step == QStringLiteral("trash"))
            QCOMPARE(undo.Trash(source).outcome, DesktopTrash::Outcome::Trashed);
        const QString path = disturbed == QStringLiteral("copy")     ? copy
                             : disturbed == QStringLiteral("source") ? source
                                                                     : env->trashed(QStringLiteral("a.jpg"));
        QFile::rename(path, path + QStringLiteral(".parked"));
        QFile newcomer(path);
        if (occupied) QVERIFY(newcomer.open(QIODevice::WriteOnly) && newcomer.write("newcomer") == 8);
        newcomer.close();

        const SortingUndo::Result result = undo.Undo();
        QCOMPARE(result.outcome, SortingUndo::Outcome::Refused);
        QCOMPARE(int(result.refusal), refusal);
        QCOMPARE(result.path, QDir::toNativeSeparators(disturbed == "copy" ? copy : source));
        // Nothing was touched, and Ctrl+Z goes on with the step before.
        QCOMPARE(bytesOf(path), occupied ? QByteArray("newcomer") : QByteArray());
        QCOMPARE(undo.Undo().picture, older);
        QCOMPARE(bytesOf(older), QByteArray("older"));
        QCOMPARE(undo.Undo().outcome, SortingUndo::Outcome::NothingToUndo);
    }

    void keepsTheNewestSteps()
    {
        SortingUndo undo;
        const QString other = source + QStringLiteral(".b");
        for (int step = 0; step < SortingUndo::Depth + 10; ++step)
            QVERIFY(step % 2 ? undo.Move(other, source) : undo.Move(source, other));
        QCOMPARE(undo.Count(), SortingUndo::Depth);
        QVERIFY(SortingUndo::Depth >= 100);
    }
};

QTEST_GUILESS_MAIN(TestSortingUndo)
#include "tst_sortingundo.moc"
