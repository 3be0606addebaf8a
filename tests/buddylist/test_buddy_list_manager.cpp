// The view model: the three rebuilds, the order of groups and rows, the
// outline's questions, the status list and the row buttons' hit ranges.

#include "BuddyListFixture.h"

namespace buddylist::test {
namespace {

// "group: row, row | group: ..." of the current rows.
QString outline(const BuddyListManager &m)
{
    QStringList groups;
    for (const GroupRecord &record : m.groupRecords()) {
        QStringList rows;
        for (const BuddyRow &row : record.buddyList)
            rows << row.sortKey;
        groups << record.group->groupName() + QStringLiteral(": ") + rows.join(QStringLiteral(", "));
    }
    return groups.join(QStringLiteral(" | "));
}

class BuddyListManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Groups b, the catch-all group, a, 1 and a Hangul name; buddies named
        // with digits, Hangul and Latin letters, one in two groups, one off
        // the list, some offline.
        store.group("10", "b");
        store.group("11", QStringLiteral("기타")); // the Korean catch-all group
        store.group("12", "a");
        store.group("13", "1");
        store.group("14", QStringLiteral("친구"));
        store.buddy({"100", "abc", "", 1, {"10"}});
        store.buddy({"101", "Ab", "", 0, {"10"}});
        store.buddy({"102", "ab", "", 2, {"10", "12"}});
        store.buddy({"103", "김철수", "", 0, {"10"}});
        store.buddy({"104", "7up", "", 3, {"10"}});
        store.buddy({"105", "zed", "", 1, {"12"}});
        const PLBuddyPtr gone = store.buddy({"106", "gone", "", 1, {"12"}});
        gone->setBuddyFlagFLBit(false); // filed while listed, since taken off the list
    }

    BuddyStore store;
    BuddyListManager model;
};

TEST_F(BuddyListManagerTest, RebuildsOfTheThreeDisplayTypes)
{
    struct Case {
        int type;
        const char *expected;
    };
    const Case cases[] = {
        {0, "1:  | 친구:  | a: ab, zed | b: 7up, 김철수, Ab, ab, abc | 기타: "},
        // Online only: every group stays, also one with no one online.
        {1, "1:  | 친구:  | a: ab, zed | b: 7up, ab, abc | 기타: "},
        // Online and offline: each buddy once, by the first group that lists it.
        {2, "온라인: 7up, ab, abc, zed | 오프라인: 김철수, Ab"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        BuddyListManager::setBuddyListType(c.type);
        model.reloadData();
        EXPECT_EQ(outline(model), QString::fromUtf8(c.expected));
    }
}

TEST_F(BuddyListManagerTest, OnlyTypeZeroRowsCarryTheirDisplayString)
{
    for (int type : {0, 1, 2}) {
        SCOPED_TRACE(type);
        BuddyListManager::setBuddyListType(type);
        model.reloadData();
        const BuddyRow *row = model.buddyDictAtIndex(0, model.groupAtIndex(type == 2 ? 0 : 2));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->buddyString.isEmpty(), type != 0);
        EXPECT_EQ(row->sortKey, QLatin1String(type == 2 ? "7up" : "ab"));
    }
}

TEST_F(BuddyListManagerTest, RowsSortByTheCurrentDisplayStrings)
{
    store.buddies().buddyForID("100@parley.test")->setNickName("0 first");
    BuddyListManager::setBuddyListType(0);
    BuddyString::setBuddyStringType("ShowAsName");
    model.reloadData();
    EXPECT_EQ(model.buddyAtIndex(0, model.groupAtIndex(3))->velaID(), QStringLiteral("104@parley.test"));
    BuddyString::setBuddyStringType("ShowAsNickName");
    model.reloadData();
    EXPECT_EQ(model.buddyAtIndex(0, model.groupAtIndex(3))->velaID(), QStringLiteral("100@parley.test"));
}

TEST_F(BuddyListManagerTest, AnUnknownDisplayTypeKeepsTheRows)
{
    BuddyListManager::setBuddyListType(0);
    model.reloadData();
    const QString before = outline(model);
    store.buddy({"107", "new", "", 1, {"12"}});
    BuddyListManager::setBuddyListType(5);
    model.reloadData();
    EXPECT_EQ(outline(model), before);
}

TEST_F(BuddyListManagerTest, NoStoredTypeStoresZero)
{
    EXPECT_FALSE(UserDefaults::standardUserDefaults().objectForKey(BuddyListManager::kDisplayBuddyTypeKey).isValid());
    EXPECT_EQ(BuddyListManager::buddyListType(), 0);
    EXPECT_EQ(UserDefaults::standardUserDefaults().integerForKey(BuddyListManager::kDisplayBuddyTypeKey), 0);
}

TEST_F(BuddyListManagerTest, QuestionsOfTheOutlineAndTheirBounds)
{
    model.reloadData();
    const PLGroupPtr b = model.groupAtIndex(3);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->groupName(), QStringLiteral("b"));
    EXPECT_EQ(model.groupCount(), 5);
    EXPECT_EQ(model.groupAtIndex(-1), nullptr);
    EXPECT_EQ(model.groupAtIndex(model.groupCount()), nullptr);
    EXPECT_EQ(model.buddyCountForGroup(b), 5);
    EXPECT_EQ(model.onlineBuddyCountForGroup(b), 3);
    EXPECT_EQ(model.buddyDictAtIndex(5, b), nullptr);
    EXPECT_EQ(model.buddyDictAtIndex(-1, b), nullptr);
    // A group found by its ID, not by the object.
    const auto sameID = std::make_shared<PLGroup>("10", "renamed");
    EXPECT_EQ(model.buddyCountForGroup(sameID), 5);
    const auto unknown = std::make_shared<PLGroup>("99", "b");
    EXPECT_EQ(model.buddyListForGroup(unknown), nullptr);
    EXPECT_EQ(model.buddyDictAtIndex(0, unknown), nullptr);
    EXPECT_EQ(model.buddyCountForGroup(unknown), 0);
    EXPECT_EQ(model.onlineBuddyCountForGroup(unknown), 0);
    const BuddyRow *row = model.buddyDictAtIndex(0, b);
    EXPECT_EQ(BuddyListManager::groupForBuddyDict(row), row->group);
    EXPECT_EQ(BuddyListManager::buddyForBuddyDict(nullptr), nullptr);
}

TEST_F(BuddyListManagerTest, TypeTwoEmptiesItsGroupsBetweenRebuilds)
{
    BuddyListManager::setBuddyListType(2);
    model.reloadData();
    store.buddies().buddyForID("105@parley.test")->setStatus(0);
    model.reloadData();
    EXPECT_EQ(outline(model), QStringLiteral("온라인: 7up, ab, abc | 오프라인: 김철수, Ab, zed"));
    model.removeAllOnlineOfflineGroupBuddies();
    EXPECT_EQ(model.mOnlineOfflineGroupArray()[0]->listedBuddyCount(), 0);
    EXPECT_EQ(model.mOnlineOfflineGroupArray()[1]->listedBuddyCount(), 0);
}

TEST_F(BuddyListManagerTest, AllBuddyListHoldsEveryListedBuddyWithItsStatus)
{
    const QVariantMap all = model.allBuddyList();
    EXPECT_EQ(all.size(), 7); // the one off the list included
    EXPECT_EQ(all.value("102@parley.test"), QVariant(2));
    EXPECT_EQ(all.value("106@parley.test"), QVariant(1));
    EXPECT_EQ(all.value("101@parley.test").typeId(), QMetaType::Int);
}

TEST(BuddyRowButtonsTest, AButtonIsHitExactlyWhereItIsDrawn)
{
    // The memo button drawn at 100 and the home button 2 after it, both 16 wide.
    BuddyRowButtons buttons;
    buttons.setTalkStartX(100, 16);
    buttons.setOrStartX(118, 16);
    struct Case {
        int x;
        bool talk;
        bool home;
    };
    const Case cases[] = {{99, false, false},  {100, true, false},  {115, true, false}, {116, false, false},
                          {117, false, false}, {118, false, true},  {124, false, true}, {133, false, true},
                          {134, false, false}, {0, false, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(buttons.isInTalkButtonWithPointX(c.x), c.talk);
        EXPECT_EQ(buttons.isInOrchardButtonWithPointX(c.x), c.home);
    }
    buttons.clearTalkButtonX();
    buttons.clearOrButtonX();
    for (int x : {0, 2, 10, 100, 118})
        EXPECT_FALSE(buttons.isInTalkButtonWithPointX(x) || buttons.isInOrchardButtonWithPointX(x)) << x;
}

TEST(BuddyRowButtonsTest, EachListKeepsItsOwnButtons)
{
    BuddyListManager model;
    BuddyRowButtons invitePanel;
    model.mainListButtons().setTalkStartX(200, 16);
    invitePanel.setTalkStartX(50, 16);
    EXPECT_TRUE(model.mainListButtons().isInTalkButtonWithPointX(205));
    EXPECT_FALSE(model.mainListButtons().isInTalkButtonWithPointX(55));
    model.clearTalkButtonX();
    EXPECT_TRUE(invitePanel.isInTalkButtonWithPointX(55));
}

} // namespace
} // namespace buddylist::test
