#pragma once

#include <QColor>
#include <QString>
#include <optional>

// Everything a window asks or tells the user goes through this service, so
// that tests can record every call and answer from a script.
class DialogService {
public:
    // Icon kinds of ShowMessageKind: 1 information, 2 warning, 3 question,
    // 4 error. Any other kind shows nothing.
    enum Kind { Information = 1, Warning = 2, Question = 3, Error = 4 };

    static constexpr int MaxInputLength = 255;

    virtual ~DialogService() = default;

    // A message with one OK button and the icon of the given kind.
    virtual void ShowMessageKind(const QString& text, const QString& caption, int kind) = 0;
    // Yes and No with the question icon; No is the default. True unless No.
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;
    // The same with Yes as the default button.
    virtual bool AskYesNoDefaultYes(const QString& text, const QString& caption) = 0;
    // The toolkit's standard warning: caption "Warning", one OK button.
    virtual void ShowWarningDialog(const QString& text) = 0;
    // A plain message without an icon, one OK button.
    virtual void ShowPlainMessage(const QString& text, const QString& caption) = 0;
    // The name dialog: the proposed text preselected, at most 255 characters;
    // empty when the user cancels.
    virtual std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                            const QString& proposed) = 0;
    // Colour chooser; empty when cancelled.
    virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
    // File chooser for opening one file; empty when cancelled. The filter is
    // in the "description|pattern|description|pattern" form. Chosen paths
    // come with the platform's own separators, as every path the user sees.
    virtual std::optional<QString> ChooseOpenFile(const QString& filter, const QString& initialPath) = 0;
    // Folder browser; empty when cancelled.
    virtual std::optional<QString> ChooseFolder(const QString& title) = 0;
};

// The service all windows use; the program installs the Qt one, tests their own.
DialogService& Dialogs();
void SetDialogService(DialogService* service);

// The application's general error box: the error icon and the caption "Vendrax".
void ShowGeneralError(const QString& text);

// Message texts use "\r" for a line break; on screen it becomes a new line.
QString ScreenText(const QString& text);
