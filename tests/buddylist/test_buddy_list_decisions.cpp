// Group titles, in-place renaming, tooltips, the double click and the
// selection rules, as tables.

#include "BuddyListFixture.h"

#include "BuddyList/BuddyListDecisions.h"


namespace buddylist::test {
namespace {

using namespace BuddyListDecisions;

class BuddyListDecisionsTest : public ::testing::Test {
protected:
    BuddyStore store;
};

TEST_F(BuddyListDecisionsTest, GroupTitles)
{
    EXPECT_EQ(groupTitle(0, "Friends", 3, 7), QStringLiteral("Friends (3/7)"));
    EXPECT_EQ(groupTitle(1, "Friends", 3, 3), QStringLiteral("Friends (3)"));
    EXPECT_EQ(groupTitle(2, QStringLiteral("온라인"), 4, 4), QStringLiteral("온라인 (4)"));
    // A name is the server's text, never a format.
    EXPECT_EQ(groupTitle(0, "50%2 %1", 1, 2), QStringLiteral("50%2 %1 (1/2)"));
    EXPECT_EQ(groupTitle(1, "%2", 1, 2), QStringLiteral("%2 (2)"));
}

TEST_F(BuddyListDecisionsTest, WhichGroupsMayBeRenamedInPlace)
{
    struct Case {
        int type;
        const char *id;
        const char *name;
        bool editable;
    };
    const Case cases[] = {{0, "1", "Friends", true}, {1, "1", "Friends", true}, {2, "1", "Friends", false},
                          {0, "", "Friends", false}, {0, "2", "기타", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(canEditGroup(c.type, PLGroup(QLatin1String(c.id), QString::fromUtf8(c.name))), c.editable);
    }
}

TEST_F(BuddyListDecisionsTest, DoubleClick)
{
    const PLBuddyPtr online = store.buddy({"1", "On", "", 2, {}});
    const PLBuddyPtr offline = store.buddy({"2", "Off", "", 0, {}});
    struct Case {
        const char *what;
        bool isGroup;
        bool expanded;
        const PLBuddy *buddy;
        int myStatus;
        int option;
        DoubleClick expected;
    };
    const Case cases[] = {
        {"closed group", true, false, nullptr, 1, 0, DoubleClick::Expand},
        {"open group", true, true, nullptr, 0, 0, DoubleClick::Collapse},
        {"online buddy", false, false, online.get(), 1, 0, DoubleClick::OpenChat},
        {"online buddy, memo option", false, false, online.get(), 1, 1, DoubleClick::OpenMemo},
        {"offline buddy", false, false, offline.get(), 3, 0, DoubleClick::OpenMemo},
        {"while offline myself", false, false, online.get(), 0, 0, DoubleClick::OfflineAlert},
        {"offline buddy while offline myself", false, false, offline.get(), 0, 1, DoubleClick::OfflineAlert},
        {"no row", false, false, nullptr, 1, 0, DoubleClick::Nothing},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(doubleClickAction(c.isGroup, c.expanded, c.buddy, c.myStatus, c.option), c.expected);
    }
}

TEST_F(BuddyListDecisionsTest, ToolTips)
{
    UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("en")}, QLatin1String(kAppleLanguagesKey));
    const PLBuddyPtr b = store.buddy({"1", "Kim <b>", "", 3, {}});
    EXPECT_EQ(buddyToolTip(*b, "Kimmy", RowButton::None), QStringLiteral("Kimmy (Away)"));
    EXPECT_EQ(buddyToolTip(*b, "Kimmy", RowButton::Talk), KCLocalizedString("ToolTipTalkMemo"));
    EXPECT_EQ(buddyToolTip(*b, "Kimmy", RowButton::Orchard), QStringLiteral("Visit Kim <b>'s home page"));
    b->setStatus(6);
    EXPECT_EQ(buddyToolTip(*b, "Kimmy", RowButton::None), QStringLiteral("Kimmy"));
}

TEST_F(BuddyListDecisionsTest, SelectionRules)
{
    const SelectedItem groupA{true, "A", {}};
    const SelectedItem groupB{true, "B", {}};
    const SelectedItem x{false, "A", "x"};
    const SelectedItem y{false, "B", "y"};
    struct Case {
        const char *what;
        QList<SelectedItem> selected;
        std::optional<SelectedItem> last;
        QList<int> dropped;
    };
    const Case cases[] = {
        {"one row is never touched", {groupA}, x, {}},
        {"a group extended over buddies keeps only the group", {groupA, x, y}, groupA, {1, 2}},
        {"a group extended over another group keeps only the first", {groupA, groupB}, groupB, {0}},
        {"a buddy extended over a group drops the group", {groupA, x, y}, x, {0}},
        {"buddies from two groups stay", {x, y}, y, {}},
        {"with nothing before, groups drop out", {groupA, x}, std::nullopt, {0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(rowsToDeselect(c.selected, c.last), c.dropped);
    }
}

} // namespace
} // namespace buddylist::test
