#pragma once

#include "platform/dialogservice.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

// One call the program made to the dialog service.
struct DialogCall {
    QString function; // "ShowMessageKind", "AskYesNo", "InputBox", ...
    QString text;     // message text or prompt
    QString caption;
    QString icon; // "information", "warning", "question", "error", "none"
    QStringList buttons;
    QString defaultButton;
    QString proposed; // InputBox only
};

// Records every dialog and answers from a script. Unscripted questions are
// answered No, unscripted input boxes and choosers are cancelled.
class RecordingDialogs : public DialogService {
public:
    RecordingDialogs();
    ~RecordingDialogs() override;

    void answerYes() { answers_.push_back(QStringLiteral("yes")); }
    void answerNo() { answers_.push_back(QStringLiteral("no")); }
    void answerInput(const QString& text) { answers_.push_back(QStringLiteral("input:") + text); }
    void answerCancel() { answers_.push_back(QStringLiteral("cancel")); }
    void answerColor(const QColor& color) { answers_.push_back(QStringLiteral("color:") + color.name()); }
    void answerPath(const QString& path) { answers_.push_back(QStringLiteral("path:") + path); }
    // Runs while the next dialog is "open", before it is answered.
    void onNextDialog(std::function<void()> action) { pendingActions_.push_back(std::move(action)); }

    const QList<DialogCall>& calls() const { return calls_; }
    DialogCall last() const { return calls_.isEmpty() ? DialogCall{} : calls_.last(); }
    int count() const { return int(calls_.size()); }
    int unusedAnswers() const { return int(answers_.size()); }
    void clear()
    {
        calls_.clear();
        answers_.clear();
    }

    void ShowMessageKind(const QString& text, const QString& caption, int kind) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    bool AskYesNoDefaultYes(const QString& text, const QString& caption) override;
    void ShowWarningDialog(const QString& text) override;
    void ShowPlainMessage(const QString& text, const QString& caption) override;
    std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                    const QString& proposed) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;
    std::optional<QString> ChooseOpenFile(const QString& filter, const QString& initialPath) override;
    std::optional<QString> ChooseFolder(const QString& title) override;

private:
    void record(DialogCall call);
    QString nextAnswer();

    QList<DialogCall> calls_;
    std::deque<QString> answers_;
    std::deque<std::function<void()>> pendingActions_;
};
