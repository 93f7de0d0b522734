#include "testenvironment.h"
#include "viewer/sortingundo.h"

#include <QDir>
#include <QFile>
#include <QTest>

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

    void copyIsRemovedAgain()
    {
        SortingUndo undo;
        QVERIFY(undo.Copy(source, copy, true));
        QCOMPARE(bytesOf(copy), QByteArray("original"));
        const SortingUndo::Result result = undo.Undo();
        QCOMPARE(result.outcome, SortingUndo::Outcome::Undone);
        QCOMPARE(result.picture, source);
        QVERIFY(!QFile::exists(copy));
        QCOMPARE(bytesOf(source), QByteArray("original"));
        QCOMPARE(undo.Undo().outcome, SortingUndo::Outcome::NothingToUndo);
    }

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

    void renameAndTrashComeBack()
    {
        SortingUndo undo;
        const QString moved =
            QDir(env->makeFolder(QStringLiteral("zdroj/sub"))).filePath(QStringLiteral("b.jpg"));
        QVERIFY(undo.Move(source, moved));
        QCOMPARE(undo.Trash(moved), DesktopTrash::Outcome::Trashed);
        QVERIFY(!QFile::exists(moved));
        QCOMPARE(undo.Undo().picture, moved);
        QCOMPARE(bytesOf(moved), QByteArray("original"));
        QCOMPARE(undo.Undo().picture, source);
        QCOMPARE(bytesOf(source), QByteArray("original"));
        QVERIFY(!QFile::exists(moved));
    }

    void refusedStepStaysForALaterTry_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("message");
        QTest::newRow("copy changed since") << "changed copy"
                                            << "Kopii nelze vrátit zpět, od té doby se změnila:\r";
        QTest::newRow("original of the copy gone")
            << "original gone"
            << "Kopii nelze vrátit zpět, původní obrázek už neexistuje:\r";
        QTest::newRow("old name taken") << "name taken"
                                        << "Krok nelze vrátit zpět, název je obsazen:\r";
        QTest::newRow("place of a deleted file taken") << "place taken"
                                                       << "Krok nelze vrátit zpět, název je obsazen:\r";
        QTest::newRow("trash entry gone") << "entry gone"
                                          << "Obrázek nelze vrátit, v koši už není:\r";
    }

    void refusedStepStaysForALaterTry()
    {
        QFETCH(QString, step);
        QFETCH(QString, message);
        SortingUndo undo;
        QString blocking;  // the file in the way, removed for the later try
        QString refusedOn; // the path the message names
        std::function<void()> mend;
        if (step.contains(QStringLiteral("copy")) || step == QStringLiteral("original gone")) {
            QVERIFY(undo.Copy(source, copy, false));
            if (step == QStringLiteral("changed copy")) {
                env->writeFile(QStringLiteral("cil/a.jpg"), "edited");
                refusedOn = copy;
                mend = [&] { env->writeFile(QStringLiteral("cil/a.jpg"), "original"); };
            } else {
                QFile::rename(source, source + QStringLiteral(".bak"));
                refusedOn = source;
                mend = [&] { QFile::rename(source + QStringLiteral(".bak"), source); };
            }
        } else if (step == QStringLiteral("name taken")) {
            QVERIFY(undo.Move(source, copy));
            env->writeFile(QStringLiteral("zdroj/a.jpg"), "newcomer");
            refusedOn = source;
            mend = [&] { QFile::remove(source); };
        } else {
            QCOMPARE(undo.Trash(source), DesktopTrash::Outcome::Trashed);
            const QString inTrash = env->trashed(QStringLiteral("a.jpg"));
            refusedOn = source;
            if (step == QStringLiteral("place taken")) {
                env->writeFile(QStringLiteral("zdroj/a.jpg"), "newcomer");
                mend = [&] { QFile::remove(source); };
            } else {
                QFile::rename(inTrash, inTrash + QStringLiteral(".gone"));
                mend = [inTrash] { QFile::rename(inTrash + QStringLiteral(".gone"), inTrash); };
            }
        }
        const SortingUndo::Result result = undo.Undo();
        QCOMPARE(result.outcome, SortingUndo::Outcome::Refused);
        QCOMPARE(result.message, message + QDir::toNativeSeparators(refusedOn));
        QCOMPARE(undo.Count(), 1);

        mend();
        QCOMPARE(undo.Undo().outcome, SortingUndo::Outcome::Undone);
        QCOMPARE(bytesOf(source), QByteArray("original"));
        QCOMPARE(undo.Count(), 0);
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
