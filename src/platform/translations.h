#pragma once

#include <QTranslator>

// Loads Qt's own Czech texts so that standard buttons read "Ano"/"Ne";
// false when the translation is not installed.
bool InstallCzechQtTranslation(QTranslator& translator);
