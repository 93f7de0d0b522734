#include "folders/folderdragdrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <memory>

using Control = FolderDragDrop::Control;
using Effect = FolderDragDrop::Effect;

namespace {

const QList<Control> AllControls{Control::DirectoryListBox1, Control::FileListBox1,
                                 Control::DirectoryListBox2, Control::FileListBox2, Control::ListView1};

// Five lists standing in for the folder window's controls, registered in
// their roles, with a record of the drops delivered.
struct Window {
    Window()
    {
        for (const Control role : AllControls) {
            auto* list = new QListWidget(&frame);
            list->addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"),
                            QStringLiteral("four")});
            list->setGeometry(0, 0, 200, 200);
            drops.AddControl(list, role);
            lists.append(list);
        }
        frame.resize(200, 200);
        frame.show();
    }
    QListWidget* at(Control role) { return lists.at(AllControls.indexOf(role)); }

    QWidget frame;
    QList<QListWidget*> lists;
    QList<std::pair<QWidget*, QWidget*>> delivered;
    FolderDragDrop drops{[this](QWidget* target, QWidget* source) {
        delivered.append(std::pair<QWidget*, QWidget*>(target, source));
    }};
};

// Sends what a drag over the target and a drop on it send; true when the
// target accepted the drag.
bool dragOnto(QWidget* viewport, const QMimeData* data, bool drop)
{
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    if (!enter.isAccepted()) return false;
    QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    if (!move.isAccepted()) return false;
    if (drop) {
        QDropEvent dropEvent(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &dropEvent);
        if (!dropEvent.isAccepted() || dropEvent.dropAction() != Qt::CopyAction) return false;
    }
    return true;
}

QPoint centreOfRow(QListWidget* list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

} // namespace

class TestFolderDragDrop : public QObject {
    Q_OBJECT

private slots:
    void dropTable_data()
    {
        QTest::addColumn<Control>("source");
        QTest::addColumn<Control>("target");
        QTest::addColumn<Effect>("effect");
        const auto name = [](Control control) { return FolderDragDrop::NameOf(control).toUtf8(); };
        for (const Control source : AllControls) {
            for (const Control target : AllControls) {
                Effect effect = Effect::Refused;
                if (target == Control::ListView1) effect = Effect::NoEffect;
                QTest::newRow(name(source) + " on " + name(target)) << source << target << effect;
            }
        }
    }

    void dropTable()
    {
        QFETCH(Control, source);
        QFETCH(Control, target);
        QFETCH(Effect, effect);
        // The drops the table names; every other pair keeps the default above.
        const QMap<std::pair<Control, Control>, Effect> named{
            {{Control::FileListBox1, Control::FileListBox2}, Effect::CopyFile},
            {{Control::DirectoryListBox2, Control::FileListBox1}, Effect::SwapOnDrop},
            {{Control::FileListBox2, Control::FileListBox1}, Effect::SwapOnDrop},
            {{Control::DirectoryListBox2, Control::DirectoryListBox1}, Effect::SwapOnDrop},
            {{Control::FileListBox2, Control::DirectoryListBox1}, Effect::SwapOnDrop},
            {{Control::ListView1, Control::DirectoryListBox1}, Effect::OpenOnSource},
            {{Control::ListView1, Control::DirectoryListBox2}, Effect::OpenOnDestination},
            {{Control::DirectoryListBox1, Control::ListView1}, Effect::AddFavourite},
        };
        QCOMPARE(FolderDragDrop::EffectOf(source, target), named.value({source, target}, effect));
    }

    void dragDataNamesItsControlAndIsReadOnlyByThisProcess()
    {
        Window window;
        for (const Control role : AllControls) {
            QWidget* control = window.at(role);
            QCOMPARE(control->objectName(), FolderDragDrop::NameOf(role));
            const std::unique_ptr<QMimeData> data(window.drops.MimeDataFor(control));
            QVERIFY(data->hasFormat(FolderDragDrop::MimeType));
            QVERIFY(data->data(FolderDragDrop::MimeType).endsWith(FolderDragDrop::NameOf(role).toUtf8()));
            QCOMPARE(window.drops.SourceOf(data.get()), control);
        }
        QCOMPARE(window.drops.MimeDataFor(&window.frame), nullptr);

        QMimeData otherProcess;
        otherProcess.setData(FolderDragDrop::MimeType,
                             QByteArray::number(QCoreApplication::applicationPid() + 1) + "/FileListBox1");
        QCOMPARE(window.drops.SourceOf(&otherProcess), nullptr);
        QMimeData unknownControl;
        unknownControl.setData(FolderDragDrop::MimeType,
                               QByteArray::number(QCoreApplication::applicationPid()) + "/Edit1");
        QCOMPARE(window.drops.SourceOf(&unknownControl), nullptr);
        QMimeData text;
        text.setText(QStringLiteral("FileListBox1"));
        QCOMPARE(window.drops.SourceOf(&text), nullptr);
        QCOMPARE(window.drops.SourceOf(nullptr), nullptr);
    }

    void acceptedDropsAreDeliveredAfterTheDrop()
    {
        Window window;
        QListWidget* fileList1 = window.at(Control::FileListBox1);
        QListWidget* fileList2 = window.at(Control::FileListBox2);
        const std::unique_ptr<QMimeData> data(window.drops.MimeDataFor(fileList1));
        QVERIFY(dragOnto(fileList2->viewport(), data.get(), true));
        // The drop's work may ask the user, so it waits until the drag has ended.
        QVERIFY(window.delivered.isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(window.delivered, (QList<std::pair<QWidget*, QWidget*>>{{fileList2, fileList1}}));
    }

    void refusedDragsAreIgnored()
    {
        Window window;
        const std::unique_ptr<QMimeData> picture(window.drops.MimeDataFor(window.at(Control::FileListBox1)));
        QVERIFY(!dragOnto(window.at(Control::DirectoryListBox2)->viewport(), picture.get(), true));
        QVERIFY(!dragOnto(window.at(Control::FileListBox1)->viewport(), picture.get(), true));

        // The favourites take every drag of the window, and nothing else.
        QVERIFY(dragOnto(window.at(Control::ListView1)->viewport(), picture.get(), false));
        QMimeData foreign;
        foreign.setText(QStringLiteral("/home"));
        QVERIFY(!dragOnto(window.at(Control::ListView1)->viewport(), &foreign, true));
        QCoreApplication::processEvents();
        QVERIFY(window.delivered.isEmpty());
    }

    void aPressAndAMovePastTheDragDistanceStartADrag()
    {
        // Without a drag the move would carry the selection to the row under
        // the pointer; the move that starts the drag is kept from the list.
        QListWidget plain;
        plain.addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
        plain.resize(200, 200);
        plain.show();
        QTest::mousePress(plain.viewport(), Qt::LeftButton, {}, centreOfRow(&plain, 0));
        QTest::mouseMove(plain.viewport(), centreOfRow(&plain, 2));
        QTest::mouseRelease(plain.viewport(), Qt::LeftButton, {}, centreOfRow(&plain, 2));
        QCOMPARE(plain.currentRow(), 2);

        Window window;
        QListWidget* list = window.at(Control::FileListBox1);
        list->raise();
        QVERIFY(QLineF(centreOfRow(list, 0), centreOfRow(list, 2)).length() >
                QApplication::startDragDistance());
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, centreOfRow(list, 0));
        QCOMPARE(list->currentRow(), 0);
        QTest::mouseMove(list->viewport(), centreOfRow(list, 2));
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centreOfRow(list, 2));
        QCOMPARE(list->currentRow(), 0);
    }

    void aClickStillSelects()
    {
        Window window;
        QListWidget* list = window.at(Control::FileListBox2);
        list->raise();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOfRow(list, 1));
        QCOMPARE(list->currentRow(), 1);
        // A small move while pressing is still part of the click.
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, centreOfRow(list, 3));
        QTest::mouseMove(list->viewport(), centreOfRow(list, 3) + QPoint(1, 0));
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centreOfRow(list, 3) + QPoint(1, 0));
        QCOMPARE(list->currentRow(), 3);
    }
};

QTEST_MAIN(TestFolderDragDrop)
#include "tst_folderdragdrop.moc"
