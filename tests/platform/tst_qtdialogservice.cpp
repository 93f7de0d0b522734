#include "platform/pixlyapplication.h"
#include "platform/pixlyerror.h"
#include "platform/qtdialogservice.h"
#include "platform/translations.h"
#include "recordingdialogs.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Runs the check on the modal dialog once it is open, then closes it with
// the button the check returns.
void whenDialogOpens(std::function<QAbstractButton*(QWidget*)> check)
{
    QTimer::singleShot(0, [check] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        if (QAbstractButton* button = check(dialog)) button->click();
    });
}

class ThrowingWidget : public QWidget {
protected:
    void mousePressEvent(QMouseEvent*) override { throw PixlyError(QStringLiteral("JPEG error #53")); }
};

} // namespace

class TestQtDialogService : public QObject {
    Q_OBJECT
    QTranslator translation_;
    QtDialogService dialogs_;

private slots:
    void initTestCase() { QVERIFY(InstallCzechQtTranslation(translation_)); }

    void questionHasNoAsDefaultCzechButtonsAndLineBreaks()
    {
        whenDialogOpens([](QWidget* dialog) -> QAbstractButton* {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            if (!box) return nullptr;
            [&] {
                QCOMPARE(box->windowTitle(), QStringLiteral("Pixly"));
                QCOMPARE(box->text(), QStringLiteral("první\ndruhý"));
                QCOMPARE(box->icon(), QMessageBox::Question);
                QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
                QCOMPARE(box->button(QMessageBox::Yes)->text().remove(QLatin1Char('&')),
                         QStringLiteral("Ano"));
                QCOMPARE(box->button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Ne"));
            }();
            return box->button(QMessageBox::Yes);
        });
        QVERIFY(dialogs_.AskYesNo(QStringLiteral("první\rdruhý"), QStringLiteral("Pixly")));
    }

    void defaultYesQuestionAndAnswerNo()
    {
        whenDialogOpens([](QWidget* dialog) -> QAbstractButton* {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            if (!box) return nullptr;
            [&] { QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes)); }();
            return box->button(QMessageBox::No);
        });
        QVERIFY(!dialogs_.AskYesNoDefaultYes(QStringLiteral("?"), QStringLiteral("Pixly")));
    }

    void messageKindsShowTheirIcons_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("icon");
        QTest::newRow("information") << 1 << int(QMessageBox::Information);
        QTest::newRow("warning") << 2 << int(QMessageBox::Warning);
        QTest::newRow("question") << 3 << int(QMessageBox::Question);
        QTest::newRow("error") << 4 << int(QMessageBox::Critical);
    }

    void messageKindsShowTheirIcons()
    {
        QFETCH(int, kind);
        QFETCH(int, icon);
        whenDialogOpens([icon](QWidget* dialog) -> QAbstractButton* {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            if (!box) return nullptr;
            [&] {
                QCOMPARE(int(box->icon()), icon);
                QCOMPARE(box->buttons().size(), 1);
                QCOMPARE(box->textFormat(), Qt::PlainText);
                QCOMPARE(box->text(), QStringLiteral("<b>a.jpg</b>"));
            }();
            return box->button(QMessageBox::Ok);
        });
        dialogs_.ShowMessageKind(QStringLiteral("<b>a.jpg</b>"), QStringLiteral("caption"), kind);
    }

    void unknownKindShowsNothing()
    {
        dialogs_.ShowMessageKind(QStringLiteral("text"), QStringLiteral("caption"), 5);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void warningDialogHasItsStandardCaption()
    {
        whenDialogOpens([](QWidget* dialog) -> QAbstractButton* {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            if (!box) return nullptr;
            [&] {
                QCOMPARE(box->windowTitle(), QStringLiteral("Warning"));
                QCOMPARE(box->icon(), QMessageBox::Warning);
            }();
            return box->button(QMessageBox::Ok);
        });
        dialogs_.ShowWarningDialog(QStringLiteral("Zadaný adresář již existuje!"));
    }

    void inputBoxPreselectsAndLimitsTheText()
    {
        whenDialogOpens([](QWidget* dialog) -> QAbstractButton* {
            auto* edit = dialog->findChild<QLineEdit*>();
            if (!edit) return nullptr;
            [&] {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Kopírování"));
                QCOMPARE(edit->selectedText(), QStringLiteral("IMG_0001.JPG"));
                QCOMPARE(edit->maxLength(), 255);
            }();
            QTest::keyClicks(edit, QStringLiteral("nove"));
            for (auto* button : dialog->findChildren<QPushButton*>())
                if (button->isDefault()) return button;
            return nullptr;
        });
        const auto typed =
            dialogs_.InputBox(QStringLiteral("Kopírování"), QStringLiteral("Zadej název pro nový soubor:"),
                              QStringLiteral("IMG_0001.JPG"));
        QCOMPARE(typed.value_or(QStringLiteral("<cancelled>")), QStringLiteral("nove"));
    }

    void escapingErrorsReachTheGeneralErrorBoxAndTheProgramGoesOn()
    {
        RecordingDialogs recorded;
        ThrowingWidget widget;
        widget.show();
        QTest::mousePress(&widget, Qt::LeftButton);
        QCOMPARE(recorded.count(), 1);
        QCOMPARE(recorded.last().text, QStringLiteral("JPEG error #53"));
        QCOMPARE(recorded.last().caption, QStringLiteral("Vendrax"));
        QCOMPARE(recorded.last().icon, QStringLiteral("error"));
        QTest::mousePress(&widget, Qt::LeftButton);
        QCOMPARE(recorded.count(), 2);
    }

    void fileFilterPairsBecomeToolkitFilters()
    {
        QCOMPARE(ToQtFileFilter(QStringLiteral("MIDI|*.mid;*.midi|WAV|*.wav")),
                 QStringLiteral("MIDI (*.mid *.midi);;WAV (*.wav)"));
    }
};

int main(int argc, char** argv)
{
    PixlyApplication app(argc, argv);
    TestQtDialogService test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qtdialogservice.moc"
