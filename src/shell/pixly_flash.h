#pragma once

#include "shell/startargument.h"

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;
class UpdateCheck;
class Windows;

// The splash window, the application's main window: it keeps the version
// record, may migrate older settings, runs the automatic update check, and
// one second after it is shown hands over to the folder selection window.
class TForm7 : public QWidget {
    Q_OBJECT
public:
    static inline const QString RunningVersion = QStringLiteral("2.2");

    TForm7(Windows& windows, UpdateCheck* updateCheck);

    QString verze;
    bool aktual = true;
    // What the hand-over opens: the folder window, or what the program was
    // started with.
    StartArgument startArgument;

    QLabel* Label1;
    QLabel* Label2;
    QProgressBar* ProgressBar1;
    QTimer* Timer1;
    QTimer* Timer2;

    void FormShow();
    void FormHide();
    void Timer1Timer();
    void Timer2Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormCreate();
    void compareWithStoredVersion(const QString& storedVersion);
    void runAutomaticUpdateCheck();

    Windows& windows_;
    UpdateCheck* updateCheck_;
};
