#include "recordingdialogs.h"

namespace {

QString iconName(int kind)
{
    switch (kind) {
    case DialogService::Information: return QStringLiteral("information");
    case DialogService::Warning: return QStringLiteral("warning");
    case DialogService::Question: return QStringLiteral("question");
    case DialogService::Error: return QStringLiteral("error");
    default: return QStringLiteral("none");
    }
}

const QStringList yesNo{QStringLiteral("Yes"), QStringLiteral("No")};
const QStringList okOnly{QStringLiteral("OK")};
const QStringList okCancel{QStringLiteral("OK"), QStringLiteral("Cancel")};

} // namespace

RecordingDialogs::RecordingDialogs()
{
    SetDialogService(this);
}

RecordingDialogs::~RecordingDialogs()
{
    SetDialogService(nullptr);
}

void RecordingDialogs::record(DialogCall call)
{
    calls_.push_back(std::move(call));
    if (!pendingActions_.empty()) {
        auto action = std::move(pendingActions_.front());
        pendingActions_.pop_front();
        action();
    }
}

QString RecordingDialogs::nextAnswer()
{
    if (answers_.empty()) return QString();
    QString answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void RecordingDialogs::ShowMessageKind(const QString& text, const QString& caption, int kind)
{
    if (kind < Information || kind > Error) return;
    record(
        {QStringLiteral("ShowMessageKind"), text, caption, iconName(kind), okOnly, QStringLiteral("OK"), {}});
}

bool RecordingDialogs::AskYesNo(const QString& text, const QString& caption)
{
    record({QStringLiteral("AskYesNo"), text, caption, iconName(Question), yesNo, QStringLiteral("No"), {}});
    return nextAnswer() == QStringLiteral("yes");
}

bool RecordingDialogs::AskYesNoDefaultYes(const QString& text, const QString& caption)
{
    record({QStringLiteral("AskYesNoDefaultYes"),
            text,
            caption,
            iconName(Question),
            yesNo,
            QStringLiteral("Yes"),
            {}});
    return nextAnswer() == QStringLiteral("yes");
}

void RecordingDialogs::ShowWarningDialog(const QString& text)
{
    record({QStringLiteral("ShowWarningDialog"),
            text,
            QStringLiteral("Warning"),
            iconName(Warning),
            okOnly,
            QStringLiteral("OK"),
            {}});
}

void RecordingDialogs::ShowPlainMessage(const QString& text, const QString& caption)
{
    record(
        {QStringLiteral("ShowPlainMessage"), text, caption, iconName(0), okOnly, QStringLiteral("OK"), {}});
}

std::optional<QString> RecordingDialogs::InputBox(const QString& caption, const QString& prompt,
                                                  const QString& proposed)
{
    record(
        {QStringLiteral("InputBox"), prompt, caption, iconName(0), okCancel, QStringLiteral("OK"), proposed});
    const QString answer = nextAnswer();
    if (!answer.startsWith(QStringLiteral("input:"))) return std::nullopt;
    return answer.mid(6).left(MaxInputLength);
}

std::optional<QColor> RecordingDialogs::ChooseColor(const QColor& initial)
{
    record(
        {QStringLiteral("ChooseColor"), initial.name(), {}, iconName(0), okCancel, QStringLiteral("OK"), {}});
    const QString answer = nextAnswer();
    if (!answer.startsWith(QStringLiteral("color:"))) return std::nullopt;
    return QColor(answer.mid(6));
}

std::optional<QString> RecordingDialogs::ChooseOpenFile(const QString& filter, const QString& initialPath)
{
    record({QStringLiteral("ChooseOpenFile"),
            filter,
            {},
            iconName(0),
            okCancel,
            QStringLiteral("OK"),
            initialPath});
    const QString answer = nextAnswer();
    if (!answer.startsWith(QStringLiteral("path:"))) return std::nullopt;
    return answer.mid(5);
}

std::optional<QString> RecordingDialogs::ChooseFolder(const QString& title)
{
    record({QStringLiteral("ChooseFolder"), title, {}, iconName(0), okCancel, QStringLiteral("OK"), {}});
    const QString answer = nextAnswer();
    if (!answer.startsWith(QStringLiteral("path:"))) return std::nullopt;
    return answer.mid(5);
}
