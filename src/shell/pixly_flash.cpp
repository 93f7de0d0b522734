#include "shell/pixly_flash.h"

#include "folders/nast_pixly.h"
#include "platform/appcursor.h"
#include "platform/colorref.h"
#include "platform/dialogservice.h"
#include "platform/handlerguard.h"
#include "platform/settingsstore.h"
#include "platform/systeminfo.h"
#include "shell/migration.h"
#include "shell/storedsettings.h"
#include "shell/updatecheck.h"
#include "shell/versioncompare.h"
#include "shell/windows.h"
#include "viewer/fotka_velka.h"
#include "viewer/hlavni_pixly.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

namespace {
const QString FirstRunQuestion =
    QStringLiteral("Tato verze je spuštěna poprvé.\rPřejete si převést do ní data ze starší verze?");
const QString FirstRunCaption = QStringLiteral("První spuštění");
const QString DowngradeWarning = QStringLiteral(
    "Spouštíte nižší verzi programu, než byla spuštěna naposledy.\rNelze zaručit 100% kompatibilitu verzí.\r"
    "Omluvte proto prosím případné chyby.");
const QString DowngradeCaption = QStringLiteral("Spuštění");
const QString WaitText = QStringLiteral("Prosím počkejte");
constexpr int Background = 12949840;
} // namespace

TForm7::TForm7(Windows& windows, UpdateCheck* updateCheck)
    : QWidget(nullptr, Qt::FramelessWindowHint), windows_(windows), updateCheck_(updateCheck)
{
    setWindowTitle(QStringLiteral("Vendrax"));
    setFixedSize(398 + 2 * 5, 260 + 2 * 5);
    SetBackground(this, Background);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    QFont titleFont(QStringLiteral("Bookman Old Style"));
    titleFont.setPixelSize(48);
    titleFont.setBold(true);
    Label1 = new QLabel(this);
    Label1->setFont(titleFont);
    Label1->setGeometry(5, 96 + 5, 398, 60);

    QFont waitFont(QStringLiteral("Bookman Old Style"));
    waitFont.setPixelSize(16);
    waitFont.setBold(true);
    Label2 = new QLabel(WaitText, this);
    Label2->setFont(waitFont);
    Label2->move(136 + 5, 168 + 5);
    Label2->adjustSize();

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(8 + 5, 208 + 5, 377, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setInterval(300);
    connect(Timer1, &QTimer::timeout, this, Guarded([this] { Timer1Timer(); }));
    connect(Timer2, &QTimer::timeout, this, Guarded([this] { Timer2Timer(); }));

    FormCreate();
}

void TForm7::FormCreate()
{
    AppCursor::SetBusy();
    verze = RunningVersion;
    QString storedVersion;
    {
        SettingsStore store(SettingsStore::Access::Read);
        aktual = StoredSettings::ReadAutomaticCheck(store);
        const auto stored = StoredSettings::ReadVersion(store);
        if (stored) {
            storedVersion = *stored;
        } else {
            storedVersion = verze;
            store.DeleteKey(RegistryKeys::Program);
        }
    }
    {
        SettingsStore store(SettingsStore::Access::Write);
        StoredSettings::WriteVersion(store, verze);
    }
    compareWithStoredVersion(storedVersion);
    Timer1->start();
    Timer2->start();
    if (aktual && updateCheck_) runAutomaticUpdateCheck();
}

void TForm7::runAutomaticUpdateCheck()
{
    // A tick while the check asks or downloads would hand over to the folder
    // window before it exists.
    Timer1->stop();
    Timer2->stop();
    if (updateCheck_->RunAutomatic() == UpdateOutcome::HandedOver) hide();
    Timer1->start();
    Timer2->start();
}

void TForm7::compareWithStoredVersion(const QString& storedVersion)
{
    switch (CompareRunningWithStored(verze, storedVersion)) {
    case VersionOrder::Newer: {
        const bool carryOver = Dialogs().AskYesNo(FirstRunQuestion, FirstRunCaption);
        MigrateSettings(carryOver, verze, SystemInfo::PrimaryScreenSize(), QDir::currentPath());
        break;
    }
    case VersionOrder::Older:
        Dialogs().ShowMessageKind(DowngradeWarning, DowngradeCaption, DialogService::Warning);
        break;
    case VersionOrder::Equal: break;
    }
}

void TForm7::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    RunGuarded([this] { FormShow(); });
}

void TForm7::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    RunGuarded([this] { FormHide(); });
}

void TForm7::FormShow()
{
    AppCursor::SetBusy();
    Label1->setText(QStringLiteral("Pixly ") + verze);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Timer1->stop();
    Timer2->stop();
    Timer1->start();
    Timer2->start();
}

void TForm7::Timer2Timer()
{
    ProgressBar1->setValue(qMin(ProgressBar1->value() + 300, ProgressBar1->maximum()));
}

void TForm7::Timer1Timer()
{
    hide();
    // The folder window answers clicks under the splash; a viewer opened from
    // it in the meantime stays in front.
    const auto visible = [](const QWidget* window) { return window && window->isVisible(); };
    if (visible(windows_.hlavni) || visible(windows_.velka_fotka)) return;
    OpenStartArgument(windows_, startArgument);
}

void TForm7::FormHide()
{
    AppCursor::SetNormal();
    Timer1->stop();
    Timer2->stop();
    SetBackground(windows_.nastaveni, windows_.nastaveni->nast.nastaveni);
}
