#pragma once

#include "platform/dialogservice.h"

// Real modal dialogs of the toolkit, parented to the active window.
class QtDialogService : public DialogService {
public:
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
};

// "MP3|*.mp3|WAV|*.wav" becomes the toolkit's "MP3 (*.mp3);;WAV (*.wav)".
QString ToQtFileFilter(const QString& pairs);
