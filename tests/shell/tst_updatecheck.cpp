#include "filebytes.h"
#include "folders/nast_pixly.h"
#include "platform/settingsstore.h"
#include "recordingdialogs.h"
#include "settings/nast_pixly_prog.h"
#include "shell/connectiontest.h"
#include "shell/makerweb.h"
#include "shell/pixly_flash.h"
#include "shell/updatechecker.h"
#include "shell/windows.h"
#include "testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace {

const QString QuestionFor23 = QStringLiteral("Na internetu byla nalezena nová verze 2.3, přidána 1. 3. 2007\r"
                                             "Chcete jí stáhnout a nainstalovat?");
const QString Newest = QStringLiteral("Tato verze je zatím nejnovější.");
const QString CheckFailed = QStringLiteral("Chyba při ověřování aktualizací!");
const QString Offline = QStringLiteral("Tvůj počítač není připojen k internetu. Je mi líto!");
const QByteArray Version23 = "2\r\n3\r\nopravy\r\n1. 3. 2007\r\n";
const QByteArray Version22 = "2\r\n2\r\nx\r\n1. 1. 2007\r\n";

// A web server inside the test process, on 127.0.0.1 only. Every request
// gets the same answer; a silent server reads the request and never answers.
class VersionServer {
public:
    enum class Mode { Answer, Silent };

    VersionServer()
    {
        server_.listen(QHostAddress(QHostAddress::LocalHost), 0);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                accept(socket);
        });
    }
    VersionServer(const VersionServer&) = delete;
    VersionServer& operator=(const VersionServer&) = delete;

    QUrl url() const
    {
        return QUrl(
            QStringLiteral("http://127.0.0.1:%1/programy/aktual/pixly.dat").arg(server_.serverPort()));
    }
    bool listening() const { return server_.isListening(); }

    void answer(const QByteArray& body, int status = 200, bool announceLength = true)
    {
        mode_ = Mode::Answer;
        body_ = body;
        status_ = status;
        announceLength_ = announceLength;
    }
    void beSilent() { mode_ = Mode::Silent; }

    // The paths of the requests received so far.
    const QStringList& requests() const { return requests_; }

private:
    void accept(QTcpSocket* socket)
    {
        auto received = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
            *received += socket->readAll();
            if (!received->contains("\r\n\r\n")) return;
            const QList<QByteArray> requestLine = received->left(received->indexOf("\r\n")).split(' ');
            requests_ << QString::fromLatin1(requestLine.value(1));
            received->clear();
            if (mode_ == Mode::Silent) return;
            QByteArray head = "HTTP/1.1 " + QByteArray::number(status_) +
                              " Answer\r\n"
                              "Content-Type: text/plain\r\nConnection: close\r\n";
            if (announceLength_) head += "Content-Length: " + QByteArray::number(body_.size()) + "\r\n";
            socket->write(head + "\r\n" + body_);
            socket->disconnectFromHost();
        });
    }

    QTcpServer server_;
    Mode mode_ = Mode::Answer;
    QByteArray body_ = Version22;
    int status_ = 200;
    bool announceLength_ = true;
    QStringList requests_;
};

class FakeConnection : public ConnectionTest {
public:
    bool connected = true;
    int asked = 0;
    bool IsConnected() override
    {
        ++asked;
        return connected;
    }
};

// Whether the check asked the application to end, as the application's own
// loop sees it once it runs: that loop ends either by the request (0) or by
// a marker queued after it (1). The marker first looks whether the end has
// come already: once it has, any further event loop returns at once.
bool endRequested()
{
    QObject marker;
    QMetaObject::invokeMethod(
        &marker,
        [] {
            QEventLoop probe;
            QTimer::singleShot(0, &probe, [&probe] { probe.exit(1); });
            if (probe.exec() == 1) QCoreApplication::exit(1);
        },
        Qt::QueuedConnection);
    return QCoreApplication::exec() == 0;
}

// A stand-in updater that notes the folder it was started in.
void writeStubUpdater(const QString& folder)
{
    const QString path = QDir(folder).filePath(UpdateChecker::UpdaterFileName);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\npwd -P > ran.tmp && mv ran.tmp updater-ran.txt\n");
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser));
}

QString updaterMarker(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("updater-ran.txt"));
}

TForm7* splashBeingCreated()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* splash = qobject_cast<TForm7*>(widget)) return splash;
    }
    return nullptr;
}

struct Check {
    TestEnvironment env;
    RecordingDialogs dialogs;
    VersionServer server;
    FakeConnection connection;
    DownloadLimits limits;
    std::unique_ptr<UpdateChecker> checker;

    explicit Check(std::chrono::milliseconds timeLimit = std::chrono::milliseconds(5000))
    {
        limits.time = timeLimit;
        checker = std::make_unique<UpdateChecker>(connection, env.startDir(), QStringLiteral("2.2"),
                                                  server.url(), limits);
    }
    QString versionFile() const { return QDir(env.startDir()).filePath(QStringLiteral("aktual.dat")); }
};

} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        MakerWeb::SetBaseAddress(QStringLiteral("https://www.example.org"));
        VersionServer server;
        QVERIFY(server.listening());
    }

    void versionFileComesFromTheMakersServer()
    {
        QCOMPARE(UpdateChecker::MakerVersionUrl().toString(),
                 QStringLiteral("https://www.example.org/programy/aktual/pixly.dat"));
    }

    void manualCheckAnswersByThePublishedVersion_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("asked");
        QTest::newRow("2.3 with its date") << Version23 << QuestionFor23;
        QTest::newRow("3.0") << QByteArray("3\r\n0\r\nx\r\n5. 5. 2008\r\n")
                             << QStringLiteral(
                                    "Na internetu byla nalezena nová verze 3.0, přidána 5. 5. 2008\r"
                                    "Chcete jí stáhnout a nainstalovat?");
        QTest::newRow("2.2") << Version22 << QString();
        QTest::newRow("1.9") << QByteArray("1\r\n9\r\nx\r\n1. 1. 2001\r\n") << QString();
        QTest::newRow("three lines") << QByteArray("3\r\n0\r\nx\r\n") << QString();
        QTest::newRow("major of two digits") << QByteArray("10\r\n0\r\nx\r\nd\r\n") << QString();
        QTest::newRow("minor not a digit") << QByteArray("3\r\nnula\r\nx\r\nd\r\n") << QString();
        QTest::newRow("empty file") << QByteArray() << QString();
    }

    void manualCheckAnswersByThePublishedVersion()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, asked);
        Check c;
        c.server.answer(file);
        const UpdateOutcome outcome = c.checker->RunManual();

        QCOMPARE(c.server.requests(), QStringList{QStringLiteral("/programy/aktual/pixly.dat")});
        QCOMPARE(c.dialogs.count(), 1);
        if (asked.isEmpty()) {
            QCOMPARE(outcome, UpdateOutcome::NotNewer);
            QCOMPARE(c.dialogs.last().function, QStringLiteral("ShowMessageKind"));
            QCOMPARE(c.dialogs.last().text, Newest);
            QCOMPARE(c.dialogs.last().icon, QStringLiteral("information"));
        } else {
            // Unanswered, the question counts as No.
            QCOMPARE(outcome, UpdateOutcome::Declined);
            QCOMPARE(c.dialogs.last().function, QStringLiteral("AskYesNo"));
            QCOMPARE(c.dialogs.last().text, asked);
            QCOMPARE(c.dialogs.last().defaultButton, QStringLiteral("No"));
        }
        QCOMPARE(c.dialogs.last().caption, QStringLiteral("Aktualizace"));
        // Without a Yes the downloaded file stays in the start folder.
        QCOMPARE(FileBytes(c.versionFile()), file);
        QVERIFY(!endRequested());
    }

    void automaticCheckPassesOverAVersionThatIsNotNewer_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("2.2") << Version22;
        QTest::newRow("1.9") << QByteArray("1\r\n9\r\nx\r\nd\r\n");
        QTest::newRow("malformed") << QByteArray("x\r\n9\r\n");
    }

    void automaticCheckPassesOverAVersionThatIsNotNewer()
    {
        QFETCH(QByteArray, file);
        Check c;
        c.server.answer(file);
        QCOMPARE(c.checker->RunAutomatic(), UpdateOutcome::NotNewer);
        QCOMPARE(c.dialogs.count(), 0);
        QCOMPARE(c.server.requests().size(), 1);
    }

    void yesHandsOverToTheUpdaterInTheStartFolder()
    {
#ifdef Q_OS_WIN
        QSKIP("The stand-in updater is a shell script.");
#endif
        Check c;
        c.server.answer(Version23);
        writeStubUpdater(c.env.startDir());
        c.dialogs.answerYes();
        QCOMPARE(c.checker->RunAutomatic(), UpdateOutcome::HandedOver);

        QCOMPARE(c.dialogs.count(), 1);
        QVERIFY(!QFile::exists(c.versionFile()));
        QVERIFY(endRequested());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(updaterMarker(c.env.startDir())), 10000);
        QCOMPARE(QString::fromLocal8Bit(FileBytes(updaterMarker(c.env.startDir()))).trimmed(),
                 QFileInfo(c.env.startDir()).canonicalFilePath());
    }

    // After "Nová složka" the current folder is a picture folder; a file
    // named like the updater there must never run.
    void versionFileAndUpdaterBelongToTheStartFolder()
    {
#ifdef Q_OS_WIN
        QSKIP("The stand-in updater is a shell script.");
#endif
        Check c;
        c.server.answer(Version23);
        const QString pictures = c.env.makeFolder(QStringLiteral("fotky"));
        writeStubUpdater(pictures);
        QDir::setCurrent(pictures);
        QCOMPARE(c.checker->RunManual(), UpdateOutcome::Declined);
        QCOMPARE(FileBytes(c.versionFile()), Version23);
        QVERIFY(!QFile::exists(QDir(pictures).filePath(QStringLiteral("aktual.dat"))));

        c.dialogs.clear();
        c.dialogs.answerYes();
        QCOMPARE(c.checker->RunManual(), UpdateOutcome::UpdaterFailed);
        QCOMPARE(c.dialogs.count(), 2);
        QCOMPARE(
            c.dialogs.last().text,
            QStringLiteral("Program pro aktualizaci nebyl nalezen nebo ho nelze spustit:\r") +
                QDir::toNativeSeparators(QDir(c.env.startDir()).filePath(UpdateChecker::UpdaterFileName)) +
                QStringLiteral("\rAktualizace nebyla provedena."));
        QCOMPARE(c.dialogs.last().caption, QStringLiteral("Chyba!"));
        QCOMPARE(c.dialogs.last().icon, QStringLiteral("error"));
        QVERIFY(!endRequested());
        QTest::qWait(200);
        QVERIFY(!QFile::exists(updaterMarker(pictures)));
    }

    void updaterThatCannotRunKeepsTheProgramRunning()
    {
        Check c;
        c.server.answer(Version23);
        // Present but not a program.
        c.env.writeFile(QStringLiteral("start/") + UpdateChecker::UpdaterFileName, "not a program");
        c.dialogs.answerYes();
        QCOMPARE(c.checker->RunManual(), UpdateOutcome::UpdaterFailed);
        QCOMPARE(c.dialogs.last().caption, QStringLiteral("Chyba!"));
        QVERIFY(!endRequested());
    }

    void offlineComputerIsToldSoAndNothingIsFetched_data()
    {
        QTest::addColumn<bool>("manual");
        QTest::newRow("at start") << false;
        QTest::newRow("on request") << true;
    }

    void offlineComputerIsToldSoAndNothingIsFetched()
    {
        QFETCH(bool, manual);
        Check c;
        c.connection.connected = false;
        const UpdateOutcome outcome = manual ? c.checker->RunManual() : c.checker->RunAutomatic();
        QCOMPARE(outcome, UpdateOutcome::Offline);
        QCOMPARE(c.dialogs.count(), 1);
        QCOMPARE(c.dialogs.last().text, Offline);
        QCOMPARE(c.dialogs.last().caption, QStringLiteral("Offline stav!"));
        QCOMPARE(c.dialogs.last().icon, QStringLiteral("error"));
        QVERIFY(c.server.requests().isEmpty());
        QVERIFY(!QFile::exists(c.versionFile()));
    }

    void failedDownloadIsReportedAndLeavesTheOlderFile_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("announceLength");
        QTest::addColumn<bool>("silent");
        QTest::newRow("404") << 404 << QByteArray("missing") << true << false;
        QTest::newRow("500") << 500 << Version23 << true << false;
        QTest::newRow("server never answers") << 200 << QByteArray() << true << true;
        QTest::newRow("oversized, announced") << 200 << QByteArray(64 * 1024, 'x') << true << false;
        QTest::newRow("oversized, not announced") << 200 << QByteArray(64 * 1024, 'x') << false << false;
        QTest::newRow("binary") << 200 << QByteArray("3\r\n0\r\n\0\0\r\nd\r\n", 12) << true << false;
    }

    void failedDownloadIsReportedAndLeavesTheOlderFile()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, announceLength);
        QFETCH(bool, silent);
        Check c(std::chrono::milliseconds(500));
        silent ? c.server.beSilent() : c.server.answer(body, status, announceLength);
        c.env.writeFile(QStringLiteral("start/aktual.dat"), Version22);

        QCOMPARE(c.checker->RunAutomatic(), UpdateOutcome::DownloadFailed);
        QCOMPARE(c.server.requests().size(), 1);
        QCOMPARE(c.dialogs.count(), 1);
        QCOMPARE(c.dialogs.last().text, CheckFailed);
        QCOMPARE(c.dialogs.last().caption, QStringLiteral("Chyba!"));
        QCOMPARE(c.dialogs.last().icon, QStringLiteral("error"));
        QCOMPARE(FileBytes(c.versionFile()), Version22);
    }

    void unreachableServerIsAFailedDownload()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        FakeConnection connection;
        quint16 closedPort = 0;
        {
            VersionServer gone;
            closedPort = gone.url().port();
        }
        UpdateChecker checker(
            connection, env.startDir(), QStringLiteral("2.2"),
            QUrl(QStringLiteral("http://127.0.0.1:%1/programy/aktual/pixly.dat").arg(closedPort)));
        QCOMPARE(checker.RunManual(), UpdateOutcome::DownloadFailed);
        QCOMPARE(dialogs.last().text, CheckFailed);
    }

    void successfulDownloadReplacesTheOlderFile()
    {
        Check c;
        c.server.answer(Version23, 200, false);
        c.env.writeFile(QStringLiteral("start/aktual.dat"), "stale\r\n");
        QCOMPARE(c.checker->RunAutomatic(), UpdateOutcome::Declined);
        QCOMPARE(FileBytes(c.versionFile()), Version23);
    }

    void automaticCheckRunsWhileTheSplashIsCreatedWithItsTimersStopped()
    {
        Check c;
        c.server.answer(Version23);
        c.env.writeFile(QStringLiteral("Vendrax.conf"), "[prog]\nverze=2.2\n");
        bool timersRan = true;
        bool splashShown = true;
        c.dialogs.onNextDialog([&] {
            TForm7* splash = splashBeingCreated();
            QVERIFY(splash);
            timersRan = splash->Timer1->isActive() || splash->Timer2->isActive();
            splashShown = splash->isVisible();
        });
        Windows windows;
        windows.CreateAll(c.checker.get());

        QCOMPARE(c.dialogs.count(), 1);
        QCOMPARE(c.dialogs.last().text, QuestionFor23);
        QVERIFY(!timersRan);
        QVERIFY(!splashShown);
        QVERIFY(windows.Form7->Timer1->isActive());
        QVERIFY(windows.Form7->Timer2->isActive());
        QVERIFY(!endRequested());
    }

    void automaticCheckSwitchedOffMakesNoRequest()
    {
        Check c;
        c.server.answer(Version23);
        c.env.writeFile(QStringLiteral("Vendrax.conf"), "[prog]\nverze=2.2\n[akt]\naktual=0\n");
        Windows windows;
        windows.CreateAll(c.checker.get());
        QCoreApplication::processEvents();

        QCOMPARE(c.dialogs.count(), 0);
        QCOMPARE(c.connection.asked, 0);
        QVERIFY(c.server.requests().isEmpty());
        // The manual check still works.
        c.server.answer(Version22);
        QCOMPARE(c.checker->RunManual(), UpdateOutcome::NotNewer);
        QCOMPARE(c.dialogs.last().text, Newest);
    }

    void acceptingAtStartEndsTheProgram()
    {
#ifdef Q_OS_WIN
        QSKIP("The stand-in updater is a shell script.");
#endif
        Check c;
        c.server.answer(Version23);
        c.env.writeFile(QStringLiteral("Vendrax.conf"), "[prog]\nverze=2.2\n");
        writeStubUpdater(c.env.startDir());
        c.dialogs.answerYes();
        Windows windows;
        windows.CreateAll(c.checker.get());

        QVERIFY(!QFile::exists(c.versionFile()));
        QVERIFY(endRequested());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(updaterMarker(c.env.startDir())), 10000);
        // Nothing is written on this path but the version record.
        QVERIFY(!c.env.settingsText().contains(QStringLiteral("[akt]")));
    }

    void updateButtonKeepsTheSettingsWindowOpen()
    {
        Check c;
        c.server.answer(Version22);
        Windows windows;
        windows.CreateAll(nullptr);
        TForm6* settings = windows.Form6;
        settings->updateChecker = std::make_unique<UpdateChecker>(c.connection, windows.nastaveni->startDir,
                                                                  windows.Form7->verze, c.server.url());
        const QString storedBefore = c.env.settingsText();
        bool stillOpen = false;
        QTimer::singleShot(0, settings, [&] {
            settings->BitBtn2->click();
            QTimer::singleShot(0, settings, [&] {
                stillOpen = settings->isVisible() && QApplication::activeModalWidget() == settings;
                settings->done(7);
            });
        });
        QCOMPARE(settings->exec(), 7);

        QVERIFY(stillOpen);
        QCOMPARE(c.dialogs.count(), 1);
        QCOMPARE(c.dialogs.last().text, Newest);
        QCOMPARE(c.server.requests().size(), 1);
        QCOMPARE(c.env.settingsText(), storedBefore);
        QVERIFY(QFile::exists(QDir(windows.nastaveni->startDir).filePath(QStringLiteral("aktual.dat"))));
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
