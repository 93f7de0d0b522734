#include "settings/nast_pixly_prog.h"

#include "shell/pixly_flash.h"
#include "shell/windows.h"

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
}
