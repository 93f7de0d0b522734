#include "settings/nast_pixly_prog.h"

#include "folders/nast_pixly.h"
#include "shell/pixly_flash.h"
#include "shell/storedsettings.h"
#include "shell/windows.h"
#include "viewer/fotka_velka.h"

#include <QCheckBox>

namespace {
const QString Caption = QStringLiteral("Nastavení programu");
const QString AutomaticCheck = QStringLiteral("Automaticky kontrolovat aktualizace ");
} // namespace

TForm6::TForm6(Windows& windows) : QDialog(nullptr), windows_(windows)
{
    setWindowTitle(Caption);
    CheckBox2 = new QCheckBox(AutomaticCheck, this);
    CheckBox2->setChecked(true);
    FormCreate();
}

void TForm6::FormCreate()
{
    CheckBox2->setChecked(windows_.Form7->aktual);
    const QSize area = StoredSettings::PictureAreaFor(windows_.nastaveni->nast.rozliseni);
    if (area.isValid()) windows_.velka_fotka->SetPictureAreaSize(area);
}
