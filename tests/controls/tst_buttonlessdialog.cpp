#include "exif/pixly_exif.h"
#include "recordingdialogs.h"
#include "resample/pixly_spec.h"
#include "settings/nast_pixly_prog.h"
#include "settings/pixly_about.h"
#include "settings/pixly_help.h"
#include "shell/windows.h"
#include "startedprogram.h"
#include "testenvironment.h"

#include <QTest>

class TestButtonlessDialog : public QObject {
    Q_OBJECT
private slots:
    void escapeLeavesTheWindowOpen_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* name : {"exif", "about", "help", "program settings", "resample"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void escapeLeavesTheWindowOpen()
    {
        QFETCH(QString, window);
        TestEnvironment env;
        RecordingDialogs recorded;
        auto windows = StartProgram();
        const QHash<QString, QDialog*> dialogs{{"exif", windows->exifdata},
                                               {"about", windows->about},
                                               {"help", windows->help},
                                               {"program settings", windows->Form6},
                                               {"resample", windows->special}};
        QDialog* dialog = dialogs.value(window);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        dialog->close();
        QVERIFY(!dialog->isVisible());
    }
};

QTEST_MAIN(TestButtonlessDialog)
#include "tst_buttonlessdialog.moc"
