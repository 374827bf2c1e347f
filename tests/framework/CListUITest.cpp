// The page list container: order, lookup by name, current item, the empty hint, and how
// a long list stacks its items and shows only those near the view.

#include "ui/framework/CListUI.h"

#include <QLabel>
#include <QMoveEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace tolvex {
namespace {

QWidget* MakeItem(int id)
{
    auto* item = new QLabel(QStringLiteral("item %1").arg(id));
    item->setObjectName(QStringLiteral("item-%1").arg(id));
    return item;
}

QStringList Names(const CListUI& list)
{
    QStringList names;
    for (int i = 0; i < list.count(); ++i)
        names << list.itemAt(i)->objectName();
    return names;
}

TEST(CListUITest, KeepsOrderThroughInsertMoveSwapAndRemove)
{
    CListUI list;
    for (int id = 0; id < 4; ++id)
        list.addItem(MakeItem(id));
    list.insertItem(1, MakeItem(9));
    list.insertItem(-3, MakeItem(8));   // clamped to the front
    list.insertItem(100, MakeItem(7));  // clamped to the end
    EXPECT_EQ(Names(list), QStringList({"item-8", "item-0", "item-9", "item-1", "item-2", "item-3", "item-7"}));

    EXPECT_TRUE(list.moveItem(0, 6));
    EXPECT_EQ(Names(list), QStringList({"item-0", "item-9", "item-1", "item-2", "item-3", "item-7", "item-8"}));
    EXPECT_TRUE(list.swapItems(0, 2));
    EXPECT_EQ(Names(list), QStringList({"item-1", "item-9", "item-0", "item-2", "item-3", "item-7", "item-8"}));
    EXPECT_TRUE(list.swapItems(3, 1));
    EXPECT_EQ(Names(list), QStringList({"item-1", "item-2", "item-0", "item-9", "item-3", "item-7", "item-8"}));
    EXPECT_FALSE(list.moveItem(0, 7));
    EXPECT_FALSE(list.swapItems(-1, 0));

    EXPECT_TRUE(list.removeItem(list.findItem(QStringLiteral("item-9"))));
    EXPECT_FALSE(list.removeItem(nullptr));
    EXPECT_TRUE(list.removeAt(0));
    EXPECT_FALSE(list.removeAt(10));
    EXPECT_EQ(Names(list), QStringList({"item-2", "item-0", "item-3", "item-7", "item-8"}));
    EXPECT_EQ(list.findItem(QStringLiteral("item-9")), nullptr);
    EXPECT_EQ(list.indexOf(list.findItem(QStringLiteral("item-3"))), 2);
}

TEST(CListUITest, CurrentItemFollowsMovesAndRemovals)
{
    CListUI list;
    for (int id = 0; id < 4; ++id)
        list.addItem(MakeItem(id));
    int selections = 0;
    QObject::connect(&list, &CListUI::itemSelected, [&](int) { ++selections; });
    list.setCurrentIndex(2);
    list.setCurrentIndex(2);
    EXPECT_EQ(selections, 1);
    EXPECT_TRUE(list.itemAt(2)->property("selected").toBool());

    list.insertItem(0, MakeItem(5));
    EXPECT_EQ(list.itemAt(list.currentIndex())->objectName(), QStringLiteral("item-2"));
    list.moveItem(3, 0);
    EXPECT_EQ(list.itemAt(list.currentIndex())->objectName(), QStringLiteral("item-2"));
    list.removeAt(list.currentIndex() + 1);
    EXPECT_EQ(list.itemAt(list.currentIndex())->objectName(), QStringLiteral("item-2"));
    list.removeItem(list.findItem(QStringLiteral("item-2")));
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST(CListUITest, EmptyHintShowsOnlyWithoutItems)
{
    CListUI list;
    list.setEmptyText(QStringLiteral("点击添加文件"));
    list.resize(300, 300);
    list.show();
    auto* hint = list.findChild<QLabel*>(QStringLiteral("list-empty-hint"));
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    list.addItem(MakeItem(0));
    list.addItem(MakeItem(1));
    EXPECT_FALSE(hint->isVisible());
    list.removeAll();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(hint->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // removed items are deleted later
}

// Counts the moves of the widgets it watches (to another place).
class MoveCounter : public QObject {
public:
    int moves = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Move) {
            const auto* move = static_cast<QMoveEvent*>(event);
            if (move->oldPos() != move->pos())
                ++moves;
        }
        return false;
    }
};

QWidget* MakeCard(QWidget* parent, int id)
{
    auto* card = new QWidget(parent);
    card->setObjectName(QStringLiteral("item-%1").arg(id));
    auto* layout = new QVBoxLayout(card);
    layout->addWidget(new QLabel(QStringLiteral("file %1").arg(id), card));
    layout->addWidget(new QLabel(QStringLiteral("details"), card));
    return card;
}

TEST(CListUITest, AddingBelowLeavesTheItemsInViewWhereTheyAre)
{
    // Items added to a long list must not shake the ones already listed: each move
    // repaints the item, and hundreds of adds would repaint the page hundreds of times.
    CListUI list;
    list.resize(400, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    MoveCounter counter;
    for (int id = 0; id < 3; ++id)
        list.addItem(MakeCard(list.itemParent(), id));
    QCoreApplication::sendPostedEvents();  // the posted layout requests
    for (int i = 0; i < 3; ++i)
        list.itemAt(i)->installEventFilter(&counter);
    const QList<QPoint> before{list.itemAt(0)->pos(), list.itemAt(1)->pos(), list.itemAt(2)->pos()};

    for (int id = 3; id < 30; ++id) {
        list.addItem(MakeCard(list.itemParent(), id));
        if (id % 5 == 0)
            QCoreApplication::sendPostedEvents();
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(counter.moves, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list.itemAt(i)->pos(), before[i]);
    // The column is as tall as its items, so the last one can be scrolled to.
    const QWidget* last = list.itemAt(29);
    EXPECT_GE(list.itemParent()->height(), last->geometry().bottom());
    EXPECT_GT(last->height(), 10);
}

// A card of fixed height, as the list-item skins make them.
QWidget* MakeFixedCard(QWidget* parent, int id)
{
    QWidget* card = MakeCard(parent, id);
    card->setFixedHeight(60);
    card->layout()->addWidget(new QPushButton(QStringLiteral("remove"), card));
    return card;
}

bool Styled(const QWidget* item)
{
    if (!item->testAttribute(Qt::WA_WState_Polished))
        return false;
    const QList<QWidget*> controls = item->findChildren<QWidget*>();
    return std::all_of(controls.begin(), controls.end(),
                       [](const QWidget* control) { return control->testAttribute(Qt::WA_WState_Polished); });
}

// Where the list puts item `index` of equally tall items: margin 8, spacing 8.
int TopOf(int index, int height)
{
    return 8 + index * (height + 8);
}

TEST(CListUITest, ALongListShowsAndStylesOnlyTheItemsNearTheView)
{
    CListUI list;
    list.resize(400, 300);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    for (int id = 0; id < 60; ++id)
        list.addItem(MakeFixedCard(list.itemParent(), id));
    QCoreApplication::sendPostedEvents();  // the list's posted work must not style the hidden ones either

    // Every item has its place and the column holds them all.
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(list.itemAt(i)->geometry(), QRect(8, TopOf(i, 60), list.itemParent()->width() - 16, 60)) << i;
    EXPECT_EQ(list.itemParent()->height(), TopOf(60, 60));

    // The view shows about four items; one more view below is made ready for scrolling.
    int shown = 0;
    for (int i = 0; i < 60; ++i) {
        const bool near = TopOf(i, 60) <= 2 * list.viewport()->height();
        EXPECT_EQ(list.isItemShown(i), near) << i;
        EXPECT_EQ(list.itemAt(i)->isVisible(), near) << i;
        EXPECT_EQ(Styled(list.itemAt(i)), near) << i;
        shown += near;
    }
    EXPECT_LT(shown, 12);

    // Scrolling to the end shows the items there, styled, where they belong.
    list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum());
    QWidget* last = list.itemAt(59);
    EXPECT_TRUE(last->isVisible());
    EXPECT_TRUE(Styled(last));
    EXPECT_TRUE(last->visibleRegion().boundingRect().height() > 0);
    EXPECT_EQ(last->geometry().bottom(), list.itemParent()->height() - 9);
    EXPECT_FALSE(list.isItemShown(30));
}

TEST(CListUITest, InsertMoveAndRemoveRestackTheItemsBelow)
{
    CListUI list;
    list.resize(400, 300);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    for (int id = 0; id < 20; ++id)
        list.addItem(MakeFixedCard(list.itemParent(), id));
    const auto expectStacked = [&list](const char* step) {
        for (int i = 0; i < list.count(); ++i)
            EXPECT_EQ(list.itemAt(i)->y(), TopOf(i, 60)) << step << " item " << i;
        EXPECT_EQ(list.itemParent()->minimumHeight(), TopOf(list.count(), 60)) << step;
    };

    list.insertItem(1, MakeFixedCard(list.itemParent(), 99));
    expectStacked("insert");
    EXPECT_TRUE(list.isItemShown(1)) << "an item inserted in view is shown at once";
    list.moveItem(0, 15);
    expectStacked("move");
    EXPECT_EQ(list.itemAt(15)->objectName(), QStringLiteral("item-0"));
    list.swapItems(2, 18);
    expectStacked("swap");
    list.removeAt(0);
    list.removeAt(5);
    expectStacked("remove");
    EXPECT_EQ(list.count(), 19);

    // Items that came up into the view on removal are shown.
    for (int i = 0; i < list.count() && TopOf(i, 60) < list.viewport()->height(); ++i)
        EXPECT_TRUE(list.itemAt(i)->isVisible()) << i;
    list.removeAll();
    EXPECT_EQ(list.itemParent()->minimumHeight(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(CListUITest, ItemsAddedToAHiddenListAreShownWithIt)
{
    QWidget page;
    auto* list = new CListUI(&page);
    list->setGeometry(0, 0, 400, 300);
    for (int id = 0; id < 10; ++id)
        list->addItem(MakeFixedCard(list->itemParent(), id));
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(Styled(list->itemAt(0))) << "nothing is styled for a list nobody sees";

    page.resize(400, 300);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_TRUE(list->itemAt(0)->isVisible());
    EXPECT_TRUE(Styled(list->itemAt(0)));
    EXPECT_FALSE(list->itemAt(9)->isVisible());
}

}  // namespace
}  // namespace tolvex
