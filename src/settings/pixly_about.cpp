#include "settings/pixly_about.h"

#include "controls/clickevent.h"

#include "folders/nast_pixly.h"
#include "platform/colorref.h"
#include "platform/handlerguard.h"
#include "shell/makerweb.h"
#include "shell/windows.h"

#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>

namespace {
namespace Text {
const QString Caption = QStringLiteral("O programu");
const QString Product = QStringLiteral("Pixly");
const QString Description = QStringLiteral("prohlížení a třídění fotografií");
const QString VersionPrefix = QStringLiteral("Verze ");
const QString Maker = QStringLiteral("Tremanova 2026");
const QString ContactInvitation = QStringLiteral("Dotazy a náměty posílejte přes");
const QString ContactLink = QStringLiteral("kontaktní formulář");
const QString WebInvitation = QStringLiteral("Nejnovější verze programů najdete na");
const QStringList Credits{QStringLiteral("Program používá tyto komponenty:"), QString(),
                          QStringLiteral("Qt 6 (LGPL) - https://www.qt.io"),
                          QStringLiteral("libjpeg-turbo (BSD, IJG) - https://libjpeg-turbo.org"),
                          QStringLiteral("písma URW Base 35, DejaVu a Liberation - https://www.urwtype.com")};
} // namespace Text

constexpr int Background = 14599868;
const QString ContactPage = QStringLiteral("/mail.php");
const QString HomePage = QStringLiteral("/");

QFont corsiva(int pixels, bool bold)
{
    QFont font(QStringLiteral("Monotype Corsiva"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(true);
    return font;
}

QLabel* label(QWidget* parent, const QString& text, const QFont& font, int x, int y)
{
    auto* created = new QLabel(text, parent);
    created->setFont(font);
    created->move(x, y);
    created->adjustSize();
    return created;
}

} // namespace

Tabout::Tabout(Windows& windows) : ButtonlessDialog(nullptr), windows_(windows)
{
    setWindowTitle(Text::Caption);
    setFixedSize(490, 281);
    SetBackground(this, Background);

    Image1 = new QLabel(this);
    Image1->setGeometry(8, 8, 49, 49);
    Image1->setAlignment(Qt::AlignCenter);

    QFont descriptionFont(QStringLiteral("Bookman Old Style"));
    descriptionFont.setPixelSize(16);
    descriptionFont.setBold(true);
    Label2 = label(this, Text::Product, corsiva(37, true), 68, 4);
    Label4 = label(this, Text::Description, descriptionFont, 170, 22);
    Label1 = label(this, QString(), corsiva(37, true), 8, 60);
    Label3 = label(this, Text::Maker, corsiva(37, true), 8, 104);

    Label5 = label(this, Text::ContactInvitation, QFont(QStringLiteral("Tahoma"), 9), 8, 156);
    Label6 = label(this, Text::ContactLink, corsiva(19, false), 230, 150);
    Label7 = label(this, Text::WebInvitation, QFont(QStringLiteral("Tahoma"), 9), 8, 180);
    Label8 = label(this, MakerWeb::Host(), corsiva(19, false), 250, 174);
    for (QLabel* link : {Label6, Label8}) {
        link->setCursor(Qt::PointingHandCursor);
        QPalette palette = link->palette();
        palette.setColor(QPalette::WindowText, Qt::blue);
        link->setPalette(palette);
        link->installEventFilter(this);
    }
    // A build without the maker's server has no pages to point to.
    for (QLabel* web : {Label5, Label6, Label7, Label8})
        web->setVisible(MakerWeb::Available());

    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(8, 204, 474, 72);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setPlainText(Text::Credits.join(QLatin1Char('\n')));
    FormCreate();
}

void Tabout::FormCreate()
{
    // A missing icon simply leaves the picture empty.
    const QPixmap icon(QDir(windows_.nastaveni->startDir).filePath(QStringLiteral("pixly.ico")));
    if (!icon.isNull())
        Image1->setPixmap(icon.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    Label1->setText(Text::VersionPrefix + windows_.nastaveni->verze);
    Label1->adjustSize();
}

void Tabout::Label6Click()
{
    MakerWeb::Open(ContactPage);
}

void Tabout::Label8Click()
{
    MakerWeb::Open(HomePage);
}

bool Tabout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label6 && EndsClick(*Label6, *event)) RunGuarded([this] { Label6Click(); });
    if (watched == Label8 && EndsClick(*Label8, *event)) RunGuarded([this] { Label8Click(); });
    return ButtonlessDialog::eventFilter(watched, event);
}
