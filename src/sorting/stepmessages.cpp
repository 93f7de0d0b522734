#include "sorting/stepmessages.h"

#include "platform/dialogservice.h"

#include <QDir>

namespace {
namespace Text {
const QString Pixly = QStringLiteral("Pixly");
const QString CopyFailed = QStringLiteral("Obrázek se nepodařilo zkopírovat do\r%1\r%2");
const QString MoveFailed = QStringLiteral("Obrázek se nepodařilo přejmenovat na\r%1\r%2");
const QString NameTaken = QStringLiteral("Obrázek nelze přejmenovat, název je obsazen:\r%1");
const QString DeleteFailed = QStringLiteral("Obrázek se nepodařilo smazat:\r%1\r%2");
const QString SaveFailed = QStringLiteral("Obrázek se nepodařilo uložit do\r%1\r%2");
const QString NoneOfThePhoto = QStringLiteral("\rŽádný soubor obrázku proto nebyl změněn.");
const QString PictureGone = QStringLiteral("Obrázek už na svém místě není:\r%1");
const QString CopyChanged = QStringLiteral("Kopii nelze vrátit zpět, od té doby se změnila:\r");
const QString OriginalGone = QStringLiteral("Kopii nelze vrátit zpět, původní obrázek už neexistuje:\r");
const QString ReplacedGone =
    QStringLiteral("Kopii nelze vrátit zpět, nahrazený soubor už není k nalezení:\r");
const QString UndoNameTaken = QStringLiteral("Krok nelze vrátit zpět, název je obsazen:\r");
const QString MovedGone = QStringLiteral("Krok nelze vrátit zpět, obrázek už není na svém místě:\r");
const QString NotInTrash = QStringLiteral("Obrázek nelze vrátit, v koši už není:\r");
const QString NotOurs = QStringLiteral("Obrázek nelze vrátit, v koši je pod jeho jménem jiný soubor:\r");
const QString CannotUndo = QStringLiteral("Krok nelze vrátit zpět:\r");
const QString GivenUp = QStringLiteral("\rTento krok už vrátit nelze.");
const QString OlderNext = QStringLiteral(" Další Ctrl+Z vrátí krok před ním.");
} // namespace Text

void warn(const QString& text)
{
    Dialogs().ShowMessageKind(text, Text::Pixly, DialogService::Warning);
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString refusalText(SortingUndo::Refusal refusal)
{
    using Refusal = SortingUndo::Refusal;
    switch (refusal) {
    case Refusal::CopyChanged: return Text::CopyChanged;
    case Refusal::OriginalGone: return Text::OriginalGone;
    case Refusal::ReplacedGone: return Text::ReplacedGone;
    case Refusal::NameTaken: return Text::UndoNameTaken;
    case Refusal::MovedGone: return Text::MovedGone;
    case Refusal::NotInTrash: return Text::NotInTrash;
    case Refusal::NotOurs: return Text::NotOurs;
    case Refusal::Failed: break;
    }
    return Text::CannotUndo;
}

} // namespace

namespace StepMessages {

void CopyFailed(const QString& target, const FileResult& result, bool wholePhoto)
{
    warn(Text::CopyFailed.arg(shown(target), result.reason()) +
         (wholePhoto ? Text::NoneOfThePhoto : QString()));
}

void MoveFailed(const QString& target, const FileResult& result, bool wholePhoto)
{
    const QString text = result.outcome() == FileResult::Outcome::NameTaken
                             ? Text::NameTaken.arg(shown(target))
                             : Text::MoveFailed.arg(shown(target), result.reason());
    warn(text + (wholePhoto ? Text::NoneOfThePhoto : QString()));
}

void DeleteFailed(const QString& path, const FileResult& result)
{
    warn(Text::DeleteFailed.arg(shown(path), result.reason()));
}

void SaveFailed(const QString& path, const QString& reason)
{
    warn(Text::SaveFailed.arg(shown(path), reason));
}

void PictureGone(const QString& path)
{
    warn(Text::PictureGone.arg(shown(path)));
}

void UndoRefused(const SortingUndo::Result& result, bool olderStepsLeft)
{
    QString text = refusalText(result.refusal) + result.path;
    if (!result.reason.isEmpty()) text += QLatin1Char('\r') + result.reason;
    warn(text + Text::GivenUp + (olderStepsLeft ? Text::OlderNext : QString()));
}

} // namespace StepMessages
