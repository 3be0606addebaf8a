// The real outline with its controller: presses on the row buttons, the
// context menu's selection, renaming, the saved expansion across rebuilds and
// display types, the selection rules, double clicks, and the tab bar.

#include "BuddyListFixture.h"

#include "BuddyList/BuddyListDataSource.h"
#include "BuddyList/BuddyListView.h"
#include "BuddyList/BuddyTabView.h"
#include "BuddyList/KCOutlineView.h"
#include "ScriptedAlerts.h"
#include "../services/chat/ChatDoubles.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QTest>

namespace buddylist::test {
namespace {

class OutlineViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestImages::install();
        store.group("1", "A");
        store.group("2", "B");
        x = store.buddy({"10", "x", "", 1, {"1"}});
        y = store.buddy({"11", "y", "", 1, {"1"}});
        z = store.buddy({"12", "z", "", 0, {"2"}});
        x->setTalkAvailable(true);
        y->setTalkAvailable(true);
        source.setShell(&shell);
        source.setMemoWindows(&memos);
        source.setChatManager(&chat);
        source.setScheduler(&clock);
        source.setStatusListPoster([this](const QVariantMap &list) {
            statusLists.append(list);
            return true;
        });
        source.setMBuddyListView(view.outlineView());
        source.setIsLoginCompleted(true);
        view.resize(260, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        source.reloadBuddyData(true);
        outline()->expandAll();
        paint();
    }
    KCOutlineView *outline() { return view.outlineView(); }
    void paint() { outline()->viewport()->repaint(); }
    QModelIndex row(const char *groupID, const PLBuddyPtr &buddy)
    {
        return source.model()->indexForBuddy(QLatin1String(groupID), buddy->velaID());
    }
    QModelIndex group(const char *groupID) { return source.model()->indexForGroupID(QLatin1String(groupID)); }
    KCParleyCellGeometry geometry(const QModelIndex &index)
    {
        return source.cell()->geometryForRow(outline()->visualRect(index),
                                             index.data(BuddyListModel::BuddyRole).value<PLBuddyPtr>().get());
    }
    void rightClick(const QPoint &pos)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, outline()->viewport()->mapToGlobal(pos));
        QCoreApplication::sendEvent(outline()->viewport(), &event);
    }
    QPoint centre(const QModelIndex &index) { return outline()->visualRect(index).center(); }
    // What a double click delivers: press, release, press, the double click, release.
    void doubleClick(const QPoint &pos)
    {
        QWidget *viewport = outline()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, pos);
        QTest::mousePress(viewport, Qt::LeftButton, {}, pos);
        QMouseEvent event(QEvent::MouseButtonDblClick, pos, viewport->mapToGlobal(pos), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, pos);
    }

    BuddyStore store;
    RecordingShell shell;
    RecordingMemoWindows memos;
    parley::test::RecordingChatWindows chat;
    ManualScheduler clock;
    QList<QVariantMap> statusLists;
    BuddyListDataSource source{BuddyListManager::sharedManager()};
    BuddyListView view;
    PLBuddyPtr x, y, z;
};

TEST_F(OutlineViewTest, TheMemoGoesToTheBuddyUnderTheRelease)
{
    const QPoint memoOfX = geometry(row("1", x)).talkRect.center();
    QTest::mousePress(outline()->viewport(), Qt::LeftButton, {}, memoOfX);
    EXPECT_TRUE(outline()->mClickedTalkIcon());
    EXPECT_TRUE(source.selectedItemsInBuddyListViewItems().isEmpty()); // the press selected nothing
    QTest::mouseRelease(outline()->viewport(), Qt::LeftButton, {}, centre(row("1", y)));
    EXPECT_EQ(memos.opened, QList<QStringList>{{y->velaID()}});
    // Released over a group line: no memo.
    QTest::mousePress(outline()->viewport(), Qt::LeftButton, {}, memoOfX);
    QTest::mouseRelease(outline()->viewport(), Qt::LeftButton, {}, centre(group("2")));
    EXPECT_EQ(memos.opened.size(), 1);
}

TEST_F(OutlineViewTest, OnlyTheLeftButtonsReleaseSendsTheMemoAndOnlyOnce)
{
    const QPoint memoOfX = geometry(row("1", x)).talkRect.center();
    QTest::mousePress(outline()->viewport(), Qt::LeftButton, {}, memoOfX);
    // Another button let go while the left one is down: no memo yet.
    QTest::mouseRelease(outline()->viewport(), Qt::RightButton, {}, centre(row("1", y)));
    EXPECT_TRUE(memos.opened.isEmpty());
    QTest::mouseRelease(outline()->viewport(), Qt::LeftButton, {}, memoOfX);
    ASSERT_EQ(memos.opened, QList<QStringList>{{x->velaID()}});
    EXPECT_FALSE(outline()->mClickedTalkIcon());
    // Later clicks of other buttons on buddies open nothing.
    for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::RightButton}) {
        QTest::mouseClick(outline()->viewport(), button, {}, centre(row("1", y)));
        QTest::mouseClick(outline()->viewport(), button, {}, memoOfX);
    }
    EXPECT_EQ(memos.opened.size(), 1);
}

TEST_F(OutlineViewTest, APressOnADisabledButtonDoesNothing)
{
    x->setTalkAvailable(false); // and no home number: both disabled
    paint();
    const KCParleyCellGeometry g = geometry(row("1", x));
    for (const QPoint &pos : {g.talkRect.center(), g.orchardRect.center()}) {
        QTest::mousePress(outline()->viewport(), Qt::LeftButton, {}, pos);
        EXPECT_FALSE(outline()->mClickedTalkIcon());
        QTest::mouseRelease(outline()->viewport(), Qt::LeftButton, {}, pos);
        EXPECT_TRUE(source.selectedItemsInBuddyListViewItems().isEmpty());
    }
    EXPECT_TRUE(memos.opened.isEmpty());
    EXPECT_TRUE(shell.mininooks.isEmpty());
    // A double click there is no row double click either.
    doubleClick(g.talkRect.center());
    EXPECT_TRUE(chat.openedRooms.isEmpty());
}

TEST_F(OutlineViewTest, TheHomeButtonOpensThePageOnThePress)
{
    x->setOrchardCMN("77");
    x->setOrchardGuestBookHasNewPost(true);
    paint();
    QTest::mousePress(outline()->viewport(), Qt::LeftButton, {}, geometry(row("1", x)).orchardRect.center());
    EXPECT_EQ(shell.mininooks, QStringList{x->velaID()});
    EXPECT_FALSE(x->isOrchardGuestBookHasNewPost());
    QTest::mouseRelease(outline()->viewport(), Qt::LeftButton, {}, geometry(row("1", x)).orchardRect.center());
    EXPECT_TRUE(memos.opened.isEmpty());
}

TEST_F(OutlineViewTest, TheContextMenuSelection)
{
    struct Recorder : KCOutlineViewDelegate {
        QMenu *outlineViewMenuForEvent(KCOutlineView *, const QModelIndex &index) override
        {
            asked.append(index);
            return nullptr;
        }
        QList<QModelIndex> asked;
    } recorder;
    outline()->setOutlineDelegate(&recorder);
    QItemSelectionModel *selection = outline()->selectionModel();
    selection->select(row("1", x), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->select(row("1", y), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // On one of several selected rows: the selection stays.
    rightClick(centre(row("1", y)));
    EXPECT_EQ(source.selectedBuddyIDList(), (QStringList{x->velaID(), y->velaID()}));
    // On an unselected row: only that row.
    rightClick(centre(row("2", z)));
    EXPECT_EQ(source.selectedBuddyIDList(), QStringList{z->velaID()});
    // On empty space: nothing.
    rightClick(QPoint(10, outline()->viewport()->height() - 5));
    EXPECT_FALSE(source.selectedBuddies().has_value());
    ASSERT_EQ(recorder.asked.size(), 3);
    EXPECT_EQ(recorder.asked[0], row("1", y));
    EXPECT_FALSE(recorder.asked[2].isValid());
    outline()->setOutlineDelegate(&source);
}

TEST_F(OutlineViewTest, TheDeleteKeyAsksTheDelegateFirst)
{
    struct Recorder : KCOutlineViewDelegate {
        void outlineViewWillDeleteItem(KCOutlineView *) override { ++asked; }
        int asked = 0;
    } recorder;
    outline()->setOutlineDelegate(&recorder);
    outline()->setFocus();
    QTest::keyClick(outline(), Qt::Key_Delete);
    QTest::keyClick(outline(), Qt::Key_Backspace);
    EXPECT_EQ(recorder.asked, 1);
    outline()->setOutlineDelegate(&source);
}

TEST_F(OutlineViewTest, ReturnOrTabEndsAGroupRenameWithoutOpeningTheNextEditor)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Backtab}) {
        SCOPED_TRACE(key);
        outline()->setCurrentIndex(group("1"));
        outline()->edit(group("1"));
        auto *editor = outline()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), QStringLiteral("A")); // the bare name, without the counts
        const QPointer<QLineEdit> closing(editor);
        QTest::keyClick(editor, key);
        QCoreApplication::processEvents(); // Return closes the editor through a queued call
        // No editor is left open, none opened on another row.
        EXPECT_TRUE(!closing || closing->isHidden());
        for (const QLineEdit *line : outline()->findChildren<QLineEdit *>())
            EXPECT_TRUE(line->isHidden());
        EXPECT_TRUE(outline()->hasFocus());
    }
    // A buddy line is never edited.
    outline()->edit(row("1", x));
    for (const QLineEdit *line : outline()->findChildren<QLineEdit *>())
        EXPECT_TRUE(line->isHidden());
}

TEST_F(OutlineViewTest, OpenGroupsStayOpenAcrossRebuildsAndTypeTwoKeepsItsOwn)
{
    outline()->collapse(group("2"));
    EXPECT_EQ(PrefsManager::expandedGroupNames(), QStringList{"A"});
    // A burst of updates rebuilds; A stays open, B closed.
    store.buddies().postBuddyUpdatedNotification(y->velaID());
    clock.advance(3000);
    EXPECT_TRUE(outline()->isExpanded(group("1")));
    EXPECT_FALSE(outline()->isExpanded(group("2")));
    EXPECT_EQ(PrefsManager::expandedGroupNames(), QStringList{"A"});

    BuddyListManager::setBuddyListType(2);
    source.reloadBuddyData(true);
    const QModelIndex online = source.model()->index(0, 0);
    EXPECT_FALSE(outline()->isExpanded(online));
    outline()->expand(online);
    EXPECT_EQ(PrefsManager::expandedGroupNamesForOnlineOffline(), QStringList{QStringLiteral("온라인")});
    EXPECT_EQ(PrefsManager::expandedGroupNames(), QStringList{"A"});

    BuddyListManager::setBuddyListType(0);
    source.reloadBuddyData(true);
    EXPECT_TRUE(outline()->isExpanded(group("1")));
    EXPECT_FALSE(outline()->isExpanded(group("2")));
    BuddyListManager::setBuddyListType(2);
    source.reloadBuddyData(true);
    EXPECT_TRUE(outline()->isExpanded(source.model()->index(0, 0)));
    EXPECT_FALSE(outline()->isExpanded(source.model()->index(1, 0)));
}

TEST_F(OutlineViewTest, TheSelectionFollowsItsRowsThroughARebuild)
{
    outline()->selectionModel()->select(row("1", y), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QModelIndex before = row("1", y);
    x->setName("zz"); // y now sorts first
    store.buddies().postBuddyUpdatedNotification(x->velaID());
    clock.advance(3000);
    EXPECT_NE(row("1", y).row(), before.row());
    EXPECT_EQ(source.selectedBuddyIDList(), QStringList{y->velaID()});
}

TEST_F(OutlineViewTest, SelectionsNeverMixGroupsAndBuddies)
{
    QTest::mouseClick(outline()->viewport(), Qt::LeftButton, {}, centre(group("1")));
    QTest::mouseClick(outline()->viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(row("2", z)));
    EXPECT_TRUE(source.isSelectedGroupItem());
    EXPECT_EQ(source.selectedItemsInBuddyListViewItems().size(), 1);
    // Its rows, as the current view has them.
    EXPECT_EQ(source.selectedBuddyIDList(), (QStringList{x->velaID(), y->velaID()}));

    QTest::mouseClick(outline()->viewport(), Qt::LeftButton, {}, centre(row("1", x)));
    QTest::mouseClick(outline()->viewport(), Qt::LeftButton, Qt::ControlModifier, centre(group("2")));
    QTest::mouseClick(outline()->viewport(), Qt::LeftButton, Qt::ControlModifier, centre(row("2", z)));
    EXPECT_TRUE(source.isSelectedMultiBuddyItems());
    EXPECT_EQ(source.selectedBuddyIDList(), (QStringList{x->velaID(), z->velaID()}));
    EXPECT_EQ(source.selectedOnlineBuddyIDList(), QStringList{x->velaID()});
    EXPECT_EQ(source.groupIDsForselectedBuddies(), (QStringList{"1", "2"}));
}

TEST_F(OutlineViewTest, DoubleClicks)
{
    parley::test::ScriptedAlerts alerts;
    doubleClick(centre(row("1", x)));
    EXPECT_EQ(chat.openedRooms, QList<QStringList>{{x->velaID()}});
    doubleClick(centre(row("2", z)));
    EXPECT_EQ(memos.opened, QList<QStringList>{{z->velaID()}});
    PLMyInfoManager::sharedManager().setStatus(0);
    doubleClick(centre(row("1", x)));
    EXPECT_EQ(alerts.keys(), QStringList{"ChatErrorForOffline"});
    EXPECT_EQ(chat.openedRooms.size(), 1);
    // Return on the current row is the keyboard's double click.
    PLMyInfoManager::sharedManager().setStatus(1);
    outline()->setCurrentIndex(row("1", y));
    outline()->setFocus();
    QTest::keyClick(outline(), Qt::Key_Return);
    EXPECT_EQ(chat.openedRooms, (QList<QStringList>{{x->velaID()}, {y->velaID()}}));
    // A group opens and closes.
    doubleClick(centre(group("2")));
    EXPECT_FALSE(outline()->isExpanded(group("2")));
    doubleClick(centre(group("2")));
    EXPECT_TRUE(outline()->isExpanded(group("2")));
}

TEST_F(OutlineViewTest, ToolTipsOfRowsAndButtons)
{
    const QModelIndex index = row("1", x);
    const KCParleyCellGeometry g = geometry(index);
    EXPECT_EQ(outline()->buttonAt(index, g.talkRect.left()), BuddyListDecisions::RowButton::Talk);
    EXPECT_EQ(outline()->buttonAt(index, g.orchardRect.left()), BuddyListDecisions::RowButton::Orchard);
    EXPECT_EQ(outline()->buttonAt(group("1"), g.talkRect.left()), BuddyListDecisions::RowButton::None);
    EXPECT_EQ(source.outlineViewToolTip(outline(), index, BuddyListDecisions::RowButton::Talk),
              KCLocalizedString("ToolTipTalkMemo"));
    EXPECT_EQ(source.outlineViewToolTip(outline(), index, BuddyListDecisions::RowButton::None),
              QStringLiteral("x (%1)").arg(KCLocalizedString("Online")));
    EXPECT_TRUE(source.outlineViewToolTip(outline(), group("1"), BuddyListDecisions::RowButton::None).isEmpty());
}

TEST_F(OutlineViewTest, GroupTitlesCountTheirBuddies)
{
    EXPECT_EQ(group("1").data().toString(), QStringLiteral("A (2/2)"));
    EXPECT_EQ(group("2").data().toString(), QStringLiteral("B (0/1)"));
    BuddyListManager::setBuddyListType(1);
    source.reloadBuddyData(true);
    EXPECT_EQ(group("2").data().toString(), QStringLiteral("B (0)"));
    EXPECT_TRUE(source.model()->hasChildren(group("2"))); // an empty group can still be opened
    EXPECT_EQ(source.model()->rowCount(group("2")), 0);
}

TEST(BuddyTabViewTest, TabUnderAPoint)
{
    struct Case {
        qreal x;
        int tab;
    };
    const Case cases[] = {{-5, 0}, {0, 0}, {99.9, 0}, {100, 1}, {199, 1}, {200, 1}, {250, 1}};
    for (const Case &c : cases)
        EXPECT_EQ(BuddyTabView::tabForX(c.x, 200), c.tab) << c.x;
}

TEST(BuddyTabViewTest, PressesAndDragsStayWithinTheTwoTabs)
{
    TestImages::install();
    QWidget content;
    QWidget add, search;
    BuddyTabView bar;
    bar.setAddBuddyView(&add);
    bar.setSearchBuddyView(&search);
    bar.setContentView(&content);
    bar.resize(200, BuddyTabView::kBarHeight);
    bar.show();
    // A press on the very right edge is tab 1, never beyond.
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(199, 10));
    EXPECT_EQ(bar.selectedTab(), 1);
    EXPECT_TRUE(bar.isDragging());
    QMouseEvent drag(QEvent::MouseMove, QPointF(260, 10), bar.mapToGlobal(QPointF(260, 10)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &drag);
    EXPECT_EQ(bar.selectedTab(), 1);
    QMouseEvent back(QEvent::MouseMove, QPointF(-30, 10), bar.mapToGlobal(QPointF(-30, 10)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &back);
    EXPECT_EQ(bar.selectedTab(), 0);
    // Pressed: the chosen tab's background is the pressed one and its icon darker.
    QImage pressed = bar.grab().toImage();
    EXPECT_EQ(pressed.pixelColor(10, 12), TestImages::colourOf("middle_bar_down"));
    EXPECT_EQ(pressed.pixelColor(110, 12), TestImages::colourOf("middle_bar_normal"));
    EXPECT_LT(qGray(pressed.pixel(50, 12)), qGray(TestImages::colourOf("18x18_buddyAdd").rgb()));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(-30, 10));
    EXPECT_FALSE(bar.isDragging());
    QTest::keyClick(&bar, Qt::Key_Right);
    EXPECT_EQ(bar.selectedTab(), 1);
    EXPECT_TRUE(add.isHidden());
    QTest::keyClick(&bar, Qt::Key_Left);
    EXPECT_EQ(bar.selectedTab(), 0);
    EXPECT_EQ(add.parentWidget(), &content);
    EXPECT_FALSE(add.isHidden());
    // Drawn bottom-up: the icons sit 5 above the bar's bottom edge.
    const QImage released = bar.grab().toImage();
    EXPECT_EQ(released.pixelColor(50, BuddyTabView::kBarHeight - 6), TestImages::colourOf("18x18_buddyAdd"));
    EXPECT_EQ(released.pixelColor(50, BuddyTabView::kBarHeight - 4), TestImages::colourOf("middle_bar_selected"));
}

} // namespace
} // namespace buddylist::test
