#include "settings/pixly_help.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QShowEvent>

namespace {
const QString Caption = QStringLiteral("Help");
const QString Dashes = QString(81, QLatin1Char('-'));
const QStringList Lines{QStringLiteral("Posouvání obrázků:"),
                        QString(),
                        QStringLiteral("další:"),
                        QStringLiteral("PageDown, +, šipka vpravo, Space"),
                        QString(),
                        QStringLiteral("předchozí:"),
                        QStringLiteral("PageUp, -, šipka vlevo, Backspace"),
                        Dashes,
                        QStringLiteral("Slideshow:"),
                        QString(),
                        QStringLiteral("F2"),
                        Dashes,
                        QStringLiteral("Kopírování:"),
                        QString(),
                        QStringLiteral("klávesa C"),
                        Dashes,
                        QString(),
                        QStringLiteral("Návrat do úvodního výběru složek je možný pomocí klávesy F5."),
                        QString(),
                        Dashes,
                        QString(),
                        QStringLiteral("Veškeré možnosti jsou dostupné pod pravým tlačítkem myši."),
                        QStringLiteral("Ctrl+Z vrátí zpět poslední kopírování, přejmenování nebo smazání."),
                        QStringLiteral("Klávesy 1–9 zkopírují nebo přesunou obrázek do oblíbené složky "
                                       "s tímto číslem."),
                        QStringLiteral("Klávesa Z ukáže obrázek ve skutečné velikosti (100 %) kolem "
                                       "ukazatele myši a zase celý; Esc zvětšení zruší."),
                        QStringLiteral("Ctrl + kolečko myši obrázek zvětšuje a zmenšuje po krocích "
                                       "až do 400 %."),
                        QStringLiteral("Tažením levým tlačítkem myši se zvětšený obrázek posouvá; "
                                       "zvětšení i místo zůstanou i u dalších obrázků."),
                        QStringLiteral("Zobrazí fotky JPEG, HEIC, HEIF, AVIF, WebP, PNG, GIF, TIFF, JPEG XL "
                                       "a RAW (DNG, CR2, CR3, NEF, NRW, ARW, RAF, ORF, RW2, PEF, SRW) "
                                       "i obrázky BMP a WMF."),
                        QStringLiteral("RAW, JPEG a soubory .xmp jedné fotky se kopírují, přesouvají "
                                       "i mažou společně.")};
} // namespace

Thelp::Thelp(Windows&) : ButtonlessDialog(nullptr)
{
    setWindowTitle(Caption);
    setFixedSize(335, 265);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(0, 0, 335, 265);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setPlainText(Lines.join(QLatin1Char('\n')));
}

void Thelp::showEvent(QShowEvent* event)
{
    ButtonlessDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void Thelp::FormShow()
{
    QApplication::beep();
}
