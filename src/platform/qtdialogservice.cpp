#include "platform/qtdialogservice.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace {

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& text, const QString& caption,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, QString(), buttons, dialogParent());
    // Paths and downloaded text are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(ScreenText(text));
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool askYesNo(const QString& text, const QString& caption, QMessageBox::StandardButton defaultButton)
{
    const auto answer =
        showBox(QMessageBox::Question, text, caption, QMessageBox::Yes | QMessageBox::No, defaultButton);
    return answer != QMessageBox::No;
}

QMessageBox::Icon iconOfKind(int kind)
{
    switch (kind) {
    case DialogService::Information: return QMessageBox::Information;
    case DialogService::Warning: return QMessageBox::Warning;
    case DialogService::Question: return QMessageBox::Question;
    default: return QMessageBox::Critical;
    }
}

} // namespace

void QtDialogService::ShowMessageKind(const QString& text, const QString& caption, int kind)
{
    if (kind < Information || kind > Error) return;
    showBox(iconOfKind(kind), text, caption, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtDialogService::AskYesNo(const QString& text, const QString& caption)
{
    return askYesNo(text, caption, QMessageBox::No);
}

bool QtDialogService::AskYesNoDefaultYes(const QString& text, const QString& caption)
{
    return askYesNo(text, caption, QMessageBox::Yes);
}

void QtDialogService::ShowWarningDialog(const QString& text)
{
    showBox(QMessageBox::Warning, text, QStringLiteral("Warning"), QMessageBox::Ok, QMessageBox::Ok);
}

void QtDialogService::ShowPlainMessage(const QString& text, const QString& caption)
{
    showBox(QMessageBox::NoIcon, text, caption, QMessageBox::Ok, QMessageBox::Ok);
}

std::optional<QString> QtDialogService::InputBox(const QString& caption, const QString& prompt,
                                                 const QString& proposed)
{
    QDialog dialog(dialogParent());
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(&dialog);
    label->setTextFormat(Qt::PlainText);
    label->setText(ScreenText(prompt));
    layout->addWidget(label);
    auto* edit = new QLineEdit(&dialog);
    edit->setMaxLength(MaxInputLength);
    edit->setText(proposed.left(MaxInputLength));
    edit->selectAll();
    edit->setMinimumWidth(320);
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return edit->text();
}

std::optional<QColor> QtDialogService::ChooseColor(const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, dialogParent());
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

std::optional<QString> QtDialogService::ChooseOpenFile(const QString& filter, const QString& initialPath)
{
    const QString chosen =
        QFileDialog::getOpenFileName(dialogParent(), QString(), initialPath, ToQtFileFilter(filter));
    if (chosen.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

std::optional<QString> QtDialogService::ChooseFolder(const QString& title)
{
    const QString chosen = QFileDialog::getExistingDirectory(dialogParent(), title);
    if (chosen.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

QString ToQtFileFilter(const QString& pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return filters.join(QStringLiteral(";;"));
}
