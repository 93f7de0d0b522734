#include "recordingdialogs.h"
#include "settings/pixly_about.h"
#include "shell/makerweb.h"
#include "startedprogram.h"
#include "testenvironment.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QUrl>

// Takes the links the About window opens instead of a browser.
class OpenedLinks : public QObject {
    Q_OBJECT
public:
    OpenedLinks() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open"); }
    ~OpenedLinks() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class TestAboutLinks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MakerWeb::SetBaseAddress(QStringLiteral("http://www.example.org")); }

    void leftClicksOpenTheLinks()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        OpenedLinks links;
        windows->about->show();
        QTest::mouseClick(windows->about->Label6, Qt::LeftButton);
        QTest::mouseClick(windows->about->Label8, Qt::LeftButton);
        QCOMPARE(windows->about->Label8->text(), QStringLiteral("www.example.org"));
        QCOMPARE(links.urls, (QList<QUrl>{QUrl(QStringLiteral("http://www.example.org/mail.php")),
                                          QUrl(QStringLiteral("http://www.example.org/"))}));
    }

    void otherButtonsAndDragsOffOpenNothing()
    {
        TestEnvironment env;
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        OpenedLinks links;
        windows->about->show();
        QLabel* link = windows->about->Label8;
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mouseClick(link, Qt::MiddleButton);
        QTest::mousePress(link, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(2, link->height() + 30));
        QVERIFY(links.urls.isEmpty());
    }
};

QTEST_MAIN(TestAboutLinks)
#include "tst_aboutlinks.moc"
