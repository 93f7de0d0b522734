#include "fileops/desktoptrash.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestDesktopTrash : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestEnvironment> env;

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    // Each sandbox gives back the data folder it found, so the next one starts after it is gone.
    void cleanup() { env.reset(); }

    void trashedFileHasItsInfoAndComesBack()
    {
        const QString path = env->writeFile(QStringLiteral("fotky/léto 100%.jpg"), "picture");
        const DesktopTrash::Result trashed = DesktopTrash::MoveToTrash(path);
        QCOMPARE(trashed.outcome, DesktopTrash::Outcome::Trashed);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(bytesOf(env->trashed(QStringLiteral("léto 100%.jpg"))), QByteArray("picture"));
        QVERIFY(trashed.entry.infoPath.endsWith(QStringLiteral("/Trash/info/léto 100%.jpg.trashinfo")));
        const QString info = QString::fromLatin1(bytesOf(trashed.entry.infoPath));
        const QString encoded = QString::fromLatin1(QFile::encodeName(path).toPercentEncoding("/"));
        QVERIFY(encoded.endsWith(QStringLiteral("/l%C3%A9to%20100%25.jpg")));
        QVERIFY2(QRegularExpression(
                     QStringLiteral("^\\[Trash Info\\]\nPath=") + QRegularExpression::escape(encoded) +
                     QStringLiteral("\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$"))
                     .match(info)
                     .hasMatch(),
                 qPrintable(info));
        // A second file of that name takes the next free name.
        const DesktopTrash::Result second =
            DesktopTrash::MoveToTrash(env->writeFile(QStringLiteral("b/léto 100%.jpg"), "2"));
        QCOMPARE(second.entry.trashedPath, env->trashed(QStringLiteral("léto 100%.2.jpg")));

        QCOMPARE(DesktopTrash::Restore(trashed.entry), DesktopTrash::RestoreOutcome::Restored);
        QCOMPARE(bytesOf(path), QByteArray("picture"));
        QVERIFY(!QFile::exists(trashed.entry.infoPath));
    }

    void restoreNeverReplacesAndNoticesAMissingEntry()
    {
        const QString path = env->writeFile(QStringLiteral("c/y.jpg"), "old");
        const DesktopTrash::Entry entry = DesktopTrash::MoveToTrash(path).entry;
        env->writeFile(QStringLiteral("c/y.jpg"), "new");
        QCOMPARE(DesktopTrash::Restore(entry), DesktopTrash::RestoreOutcome::PlaceTaken);
        QCOMPARE(bytesOf(path), QByteArray("new"));
        QCOMPARE(bytesOf(entry.trashedPath), QByteArray("old"));
        QFile::remove(path);
        QFile::remove(entry.trashedPath);
        QCOMPARE(DesktopTrash::Restore(entry), DesktopTrash::RestoreOutcome::EntryGone);
    }

    void noUsableTrashIsReported()
    {
        // The user's data folder lies below a plain file, so no trash can be made there.
        const QString blocker = env->writeFile(QStringLiteral("blocker"), "");
        qputenv("XDG_DATA_HOME", (blocker + QStringLiteral("/data")).toUtf8());
        const QString path = env->writeFile(QStringLiteral("d/z.jpg"), "z");
        QCOMPARE(DesktopTrash::MoveToTrash(path).outcome, DesktopTrash::Outcome::NoTrash);
        QCOMPARE(bytesOf(path), QByteArray("z"));
    }

    void volumeTrashFolder_data()
    {
        QTest::addColumn<QString>("shared"); // what $topdir/.Trash is
        QTest::addColumn<QString>("own");    // what $topdir/.Trash-$uid is
        QTest::addColumn<QString>("expected");
        const QString uid = QString::number(::getuid());
        QTest::newRow("nothing yet") << ""
                                     << ""
                                     << ".Trash-" + uid;
        QTest::newRow("sticky shared") << "sticky"
                                       << ""
                                       << ".Trash/" + uid;
        QTest::newRow("shared without sticky bit") << "folder"
                                                   << ""
                                                   << ".Trash-" + uid;
        QTest::newRow("shared is a link") << "link"
                                          << ""
                                          << ".Trash-" + uid;
        QTest::newRow("own is a link") << ""
                                       << "link"
                                       << "";
    }

    void volumeTrashFolder()
    {
        QFETCH(QString, shared);
        QFETCH(QString, own);
        QFETCH(QString, expected);
        const QString top = env->makeFolder(QStringLiteral("volume_") + QTest::currentDataTag());
        const QString elsewhere = env->makeFolder(QStringLiteral("elsewhere"));
        const auto make = [&](const QString& kind, const QString& path) {
            if (kind == QStringLiteral("folder") || kind == QStringLiteral("sticky")) QDir().mkpath(path);
            if (kind == QStringLiteral("sticky")) ::chmod(QFile::encodeName(path).constData(), 01777);
            if (kind == QStringLiteral("link")) QFile::link(elsewhere, path);
        };
        make(shared, top + QStringLiteral("/.Trash"));
        make(own, top + QStringLiteral("/.Trash-") + QString::number(::getuid()));
        const QString folder = DesktopTrash::TrashFolderOnVolume(top);
        QCOMPARE(folder, expected.isEmpty() ? QString() : top + QLatin1Char('/') + expected);
        if (folder.isEmpty()) return;
        QVERIFY(QFileInfo(folder + QStringLiteral("/files")).isDir());
        QVERIFY(QFileInfo(folder + QStringLiteral("/info")).isDir());
        struct stat status {};
        ::stat(QFile::encodeName(folder).constData(), &status);
        QCOMPARE(status.st_mode & 0777, mode_t(0700));
    }
};

QTEST_GUILESS_MAIN(TestDesktopTrash)
#include "tst_desktoptrash.moc"
