#include "folders/favouritesview.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

const QList<Favourite> ThreeEntries{
    {"Dokumenty", "/home/novak/Dokumenty"}, {"Fotky", "/data/fotky"}, {"", "/x"}};

std::unique_ptr<FavouritesView> shownView()
{
    auto view =
        std::make_unique<FavouritesView>(QStringList{QStringLiteral("Popis"), QStringLiteral("Cesta")});
    view->resize(284, 179);
    view->Show(ThreeEntries, -1);
    view->show();
    return view;
}

QPoint centreOfRow(FavouritesView* view, int row)
{
    return view->visualItemRect(view->topLevelItem(row)).center();
}

// Below the last row, where there is no entry.
QPoint emptyPlace(FavouritesView* view)
{
    return {20, view->viewport()->height() - 5};
}

// What the system sends for a double-click.
void doubleClick(FavouritesView* view, const QPoint& at)
{
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
}

void movePointer(FavouritesView* view, const QPoint& at)
{
    QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
}

} // namespace

class TestFavouritesView : public QObject {
    Q_OBJECT

private slots:
    void isAReportOfNamesAndFolders()
    {
        const auto view = shownView();
        QCOMPARE(view->columnCount(), 2);
        QCOMPARE(view->headerItem()->text(0), QStringLiteral("Popis"));
        QCOMPARE(view->headerItem()->text(1), QStringLiteral("Cesta"));
        QCOMPARE(view->columnWidth(0), 100);
        QCOMPARE(view->columnWidth(1), 180);
        QVERIFY(!view->header()->sectionsClickable());
        QVERIFY(!view->isSortingEnabled());
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(!view->rootIsDecorated());
        QCOMPARE(view->topLevelItemCount(), 3);
        QCOMPARE(view->topLevelItem(1)->text(0), QStringLiteral("2 – Fotky"));
        QCOMPARE(view->topLevelItem(1)->text(1), QStringLiteral("/data/fotky"));
        QVERIFY(!view->topLevelItem(1)->flags().testFlag(Qt::ItemIsEditable));
    }

    void selectionStaysVisibleWithoutTheFocus()
    {
        const auto view = shownView();
        const QPalette colours = view->palette();
        QCOMPARE(colours.color(QPalette::Inactive, QPalette::Highlight),
                 colours.color(QPalette::Active, QPalette::Highlight));
        QCOMPARE(colours.color(QPalette::Inactive, QPalette::HighlightedText),
                 colours.color(QPalette::Active, QPalette::HighlightedText));
    }

    void showSelectsTheGivenRowOrNone_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("expected");
        QTest::newRow("none") << -1 << -1;
        QTest::newRow("first") << 0 << 0;
        QTest::newRow("last") << 2 << 2;
        QTest::newRow("beyond the list") << 3 << -1;
    }

    void showSelectsTheGivenRowOrNone()
    {
        QFETCH(int, selected);
        QFETCH(int, expected);
        const auto view = shownView();
        view->SetSelectedIndex(1);
        view->Show(ThreeEntries, selected);
        QCOMPARE(view->SelectedIndex(), expected);
        QCOMPARE(view->selectedItems().size(), expected < 0 ? 0 : 1);
    }

    void theRowUnderThePointerIsSelectedAfterAShortHover()
    {
        const auto view = shownView();
        movePointer(view.get(), centreOfRow(view.get(), 1));
        QCOMPARE(view->HoveredIndex(), 1);
        QCOMPARE(view->SelectedIndex(), -1);
        QTRY_COMPARE(view->SelectedIndex(), 1);

        movePointer(view.get(), centreOfRow(view.get(), 2));
        QTRY_COMPARE(view->SelectedIndex(), 2);

        // Leaving the list forgets the row.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(view->viewport(), &leave);
        QCOMPARE(view->HoveredIndex(), -1);
        movePointer(view.get(), emptyPlace(view.get()));
        QCOMPARE(view->HoveredIndex(), -1);
    }

    void aClickBesideTheRowsClearsTheSelection()
    {
        const auto view = shownView();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOfRow(view.get(), 1));
        QCOMPARE(view->SelectedIndex(), 1);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, emptyPlace(view.get()));
        QCOMPARE(view->SelectedIndex(), -1);
    }

    void aDoubleClickAnywhereIsReported()
    {
        const auto view = shownView();
        QSignalSpy doubleClicks(view.get(), &FavouritesView::listDoubleClicked);
        doubleClick(view.get(), centreOfRow(view.get(), 0));
        QCOMPARE(doubleClicks.count(), 1);
        QCOMPARE(view->SelectedIndex(), 0);
        // No editor opens in place.
        QVERIFY(view->findChildren<QLineEdit*>().isEmpty());

        doubleClick(view.get(), emptyPlace(view.get()));
        QCOMPARE(doubleClicks.count(), 2);
        QCOMPARE(view->SelectedIndex(), -1);
    }
};

QTEST_MAIN(TestFavouritesView)
#include "tst_favouritesview.moc"
