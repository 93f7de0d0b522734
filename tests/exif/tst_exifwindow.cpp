#include "controls/filelistbox.h"
#include "exif/exif.h"
#include "exif/pixly_exif.h"
#include "exifbuilder.h"
#include "exifsamples.h"
#include "folders/nast_pixly.h"
#include "recordingdialogs.h"
#include "startedprogram.h"
#include "testenvironment.h"

#include <QTest>

using namespace exiftest;

class TestExifWindow : public QObject {
    Q_OBJECT
private slots:
    void showsTheLinesOfTheCurrentPictureOnceEachTime()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        env.writeFile(QStringLiteral("fotky/a.jpg"), ExifJpeg(CameraTiff(LittleEndian)));
        env.writeFile(QStringLiteral("fotky/b.bmp"), MakeBmp(4, 4, Qt::red));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + folder.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        Texifdata* window = windows->exifdata;
        QCOMPARE(window->windowTitle(), QStringLiteral("EXIF informace"));

        windows->nastaveni->FileListBox1->SetItemIndex(0);
        window->FormShow();
        const QString first = window->Exif1->toPlainText();
        QVERIFY(first.contains(QStringLiteral("Make=")));
        QVERIFY(first.contains(QStringLiteral("GPSLatitude=")));
        QVERIFY(window->Exif1->isReadOnly());
        window->FormShow();
        QCOMPARE(window->Exif1->toPlainText(), first);

        // A bitmap has no EXIF data: the control is simply empty.
        windows->nastaveni->FileListBox1->SetItemIndex(1);
        window->FormShow();
        QCOMPARE(window->Exif1->toPlainText(), QString());
        QCOMPARE(dialogs.count(), 0);
    }

    void errorsBeforeTheFirstDirectoryReachTheGeneralErrorBox()
    {
        TestEnvironment env;
        const QString folder = env.makeFolder(QStringLiteral("fotky"));
        // A start-of-image marker and a segment whose length runs past the end of the file.
        env.writeFile(QStringLiteral("fotky/cut.jpg"), QByteArray::fromHex("ffd8ffe0"));
        env.writeFile(QStringLiteral("Vendrax.conf"),
                      "[prog]\nverze=2.2\n[dir]\ndirectory1=" + folder.toUtf8() + "\n");
        RecordingDialogs dialogs;
        auto windows = StartProgram();
        windows->nastaveni->FileListBox1->SetItemIndex(0);
        windows->exifdata->show();
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().text, QStringLiteral("Out of bounds"));
        QCOMPARE(dialogs.last().caption, QStringLiteral("Vendrax"));
        QCOMPARE(windows->exifdata->Exif1->toPlainText(), QString());
        windows->exifdata->hide();
    }
};

QTEST_MAIN(TestExifWindow)
#include "tst_exifwindow.moc"
