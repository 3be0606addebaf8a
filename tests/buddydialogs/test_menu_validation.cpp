// The buddy list's menu rules as one table, step by step: each row is an
// item, the state the list is in, and what the item becomes.
#include "BuddyList/BuddyListMenuValidation.h"
#include "BuddyList/BuddyString.h"
#include "BuddyManagement/PLGroup.h"
#include "Utils/KCUtilities.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace parley;
using A = BuddyMenuAction;
using Ctx = BuddyMenuContext;

QString t(const char *key) { return KCLocalizedString(QLatin1String(key)); }

// Signed in, nothing selected, names shown by nickname, all buddies, online.
Ctx base()
{
    Ctx c;
    c.isLoggedIn = true;
    c.buddyStringType = QLatin1String(BuddyString::kShowAsNickName);
    return c;
}

Ctx oneBuddy(bool blocked = false)
{
    Ctx c = base();
    c.selectedItemCount = 1;
    c.firstSelectedIsBuddy = true;
    c.selectedBuddyCount = 1;
    c.selectedBuddiesEmpty = false;
    c.selectedOnlineCount = 1;
    c.buddyFound = true;
    c.buddyName = QStringLiteral("Kim & Lee");
    c.buddyID = QStringLiteral("kim@parley.test");
    c.buddyDisplayString = QStringLiteral("K&L");
    c.buddyOrchardCMN = QStringLiteral("77");
    c.buddyBlocked = blocked;
    return c;
}

Ctx twoBuddies()
{
    Ctx c = oneBuddy();
    c.selectedItemCount = 2;
    c.selectedBuddyCount = 2;
    c.selectedOnlineCount = 0;
    return c;
}

Ctx group(int onlineRows = 2)
{
    Ctx c = base();
    c.selectedItemCount = 1;
    c.groupSelected = true;
    c.groupName = QStringLiteral("R&D");
    c.selectedBuddiesEmpty = false;
    c.selectedOnlineCount = onlineRows;
    return c;
}

Ctx aGroup() { return group(); }
Ctx aBuddy() { return oneBuddy(); }

struct Row {
    const char *step;
    A action;
    int tag;
    std::function<Ctx()> context;
    BuddyMenuItemState expected;
};

BuddyMenuItemState on(bool checked = false) { return {true, checked, std::nullopt}; }
BuddyMenuItemState off() { return {}; }
BuddyMenuItemState titled(bool enabled, const QString &title) { return {enabled, false, title}; }

class MenuRules : public ::testing::TestWithParam<Row> {};

TEST_P(MenuRules, Item)
{
    const Row &row = GetParam();
    EXPECT_EQ(BuddyListMenuValidation::validate(row.action, row.tag, row.context()), row.expected) << row.step;
}

std::vector<Row> rows()
{
    const auto withType = [](const char *type) {
        return [type] {
            Ctx c = base();
            c.buddyStringType = QLatin1String(type);
            return c;
        };
    };
    const auto display = [](int type) {
        return [type] {
            Ctx c = base();
            c.displayType = type;
            return c;
        };
    };
    return {
        // 1. Signed out: even the always-on items are off.
        {"1 signed out", A::AddBuddy, 0, [] { Ctx c = base(); c.isLoggedIn = false; return c; }, off()},
        {"1 signed out status", A::ChangeStatus, 0, [] { Ctx c = oneBuddy(); c.isLoggedIn = false; return c; }, off()},
        // 2.
        {"2 name checked", A::ShowAsName, 0, withType(BuddyString::kShowAsName), on(true)},
        {"2 nickname unchecked", A::ShowAsNickName, 0, withType(BuddyString::kShowAsName), on(false)},
        {"2 name and ID", A::ShowAsNameID, 0, withType(BuddyString::kShowAsNameID), on(true)},
        {"2 name and nickname", A::ShowAsNameNickName, 0, withType(BuddyString::kShowAsNameNickName), on(true)},
        // 3.
        {"3 all", A::ShowAll, 0, display(0), on(true)},
        {"3 online only", A::ShowOnlineOnly, 0, display(1), on(true)},
        {"3 online and offline", A::ShowOnlineOffline, 0, display(2), on(true)},
        {"3 other type unchecked", A::ShowAll, 0, display(2), on(false)},
        // 4.
        {"4 emoticons", A::DisplayEmoticon, 0, [] { Ctx c = base(); c.showAsEmoticon = true; return c; }, on(true)},
        // 5. Always on, even with a group selected.
        {"5 add buddy", A::AddBuddy, 0, aGroup, on()},
        {"5 add group", A::AddGroup, 0, base, on()},
        {"5 expand", A::ExpandAll, 0, base, on()},
        {"5 close", A::CloseAll, 0, aGroup, on()},
        {"5 send memo", A::SendMessage, 0, base, on()},
        {"5 new chat", A::NewChat, 0, aGroup, on()},
        {"5 a destination", A::MoveBuddyToGroup, 0, twoBuddies, on()},
        // 6. Checked by the status view's title, titled by its tag.
        {"6 status checked", A::ChangeStatus, 1, [] { Ctx c = base(); c.statusTag = 1; return c; },
         BuddyMenuItemState{true, true, t("Away")}},
        {"6 status unchecked", A::ChangeStatus, 9, [] { Ctx c = base(); c.statusTag = 1; return c; },
         BuddyMenuItemState{true, false, t("AppearOffline")}},
        // 7.
        {"7 nothing to save", A::SaveChat, 0, base, off()},
        {"7 a chat to save", A::SaveChat, 0, [] { Ctx c = base(); c.hasChatToSave = true; return c; }, on()},
        // 8. The group's name escaped for the menu.
        {"8 group name", A::GroupName, 0, [] { return group(); }, titled(true, QStringLiteral("R&&D"))},
        {"8 group name without group", A::GroupName, 0, aBuddy, off()},
        {"8 rename", A::RenameGroup, 0, [] { return group(); }, on()},
        {"8 rename without group", A::RenameGroup, 0, aBuddy, off()},
        {"8 remove group", A::RemoveGroup, 0, [] { return group(); }, on()},
        // 9. A group's online rows count.
        {"9 chat with a group", A::Chat, 0, [] { return group(1); }, on()},
        {"9 chat with nobody online", A::Chat, 0, twoBuddies, off()},
        // 10. A selected group turns the buddy items off.
        {"10 block with a group", A::BlockUnblockBuddy, 0, [] { return group(); }, off()},
        {"10 remove with a group", A::RemoveBuddy, 0, [] { return group(); }, off()},
        {"10 file with a group", A::SendFile, 0, [] { return group(); }, off()},
        // 11.
        {"11 one buddy's name", A::BuddyName, 0, [] { return oneBuddy(); },
         titled(true, QStringLiteral("Kim && Lee (kim@parley.test)"))},
        {"11 several", A::BuddyName, 0, twoBuddies, titled(false, t("BuddysNameMenu"))},
        {"11 none", A::BuddyName, 0, base, off()},
        // 12.
        {"12 profile", A::BuddyProfile, 0, [] { return oneBuddy(); },
         titled(true, t("ShowBuddyProfile").arg(QStringLiteral("K&&L")))},
        {"12 profiles", A::BuddyProfile, 0, twoBuddies, titled(false, t("BuddyProfilesMenu"))},
        // 13.
        {"13 last chat of one", A::ShowLastChat, 0, [] { return oneBuddy(); }, on()},
        {"13 last chat of none", A::ShowLastChat, 0, base, on()},
        {"13 last chat of several", A::ShowLastChat, 0, twoBuddies, off()},
        // 14.
        {"14 file to an online buddy", A::SendFile, 0, [] { return oneBuddy(); }, on()},
        {"14 file to offline buddies", A::SendFile, 0, twoBuddies, off()},
        // 15.
        {"15 sister page", A::ShowMiniNook, 0, [] { return oneBuddy(); }, on()},
        {"15 no sister account", A::ShowMiniNook, 0, [] { Ctx c = oneBuddy(); c.buddyOrchardCMN.clear(); return c; }, off()},
        {"15 buddy gone", A::ShowMiniNook, 0, [] { Ctx c = oneBuddy(); c.buddyFound = false; return c; }, off()},
        {"15 several", A::ShowMiniNook, 0, twoBuddies, off()},
        // 16.
        {"16 move", A::MoveBuddy, 0, twoBuddies, on()},
        {"16 copy in display type 2", A::CopyBuddy, 0, [] { Ctx c = twoBuddies(); c.displayType = 2; return c; }, off()},
        {"16 move with nothing selected", A::MoveBuddy, 0, base, off()},
        // 17. Titled by the blocked flag.
        {"17 block", A::BlockUnblockBuddy, 0, [] { return oneBuddy(false); }, titled(true, t("BlockBuddy"))},
        {"17 unblock", A::BlockUnblockBuddy, 0, [] { return oneBuddy(true); }, titled(true, t("UnblockBuddy"))},
        {"17 several", A::BlockUnblockBuddy, 0, twoBuddies, titled(false, t("BlockBuddy"))},
        {"17 none", A::BlockUnblockBuddy, 0, base, titled(false, t("BlockBuddy"))},
        // 18.
        {"18 remove a buddy", A::RemoveBuddy, 0, twoBuddies, on()},
        {"18 remove nothing", A::RemoveBuddy, 0, base, off()},
        // 19. Anything else.
        {"19 SMS has no rule", A::Sms, 0, [] { return oneBuddy(); }, off()},
        {"19 a holder", A::BuddyName, 0, base, off()},
    };
}

INSTANTIATE_TEST_SUITE_P(BuddyList, MenuRules, ::testing::ValuesIn(rows()), [](const auto &info) {
    std::string n = info.param.step;
    for (char &c : n)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return n;
});

TEST(MenuRules, StatusTagsAndTitles)
{
    const QStringList keys{"Online", "Away", "Busy", "OnThePhone", "OnThemeeting", "AppearOffline"};
    for (int tag = 0; tag < 6; ++tag) {
        EXPECT_EQ(BuddyListMenuValidation::statusKeyForTag(tag), keys[tag]);
        EXPECT_EQ(BuddyListMenuValidation::tagForStatusTitle(keys[tag]), tag);
        EXPECT_EQ(BuddyListMenuValidation::tagForStatusTitle(t(keys[tag].toLatin1().constData())), tag);
    }
    EXPECT_EQ(BuddyListMenuValidation::statusKeyForTag(42), QStringLiteral("AppearOffline"));
    EXPECT_EQ(BuddyListMenuValidation::tagForStatusTitle(QStringLiteral("Sleeping")), 0);
}

TEST(MenuRules, DestinationsLeaveOutTheSelectedGroupsAndSortWithoutCase)
{
    const auto g = [](const char *id, const char *name) {
        return std::make_shared<PLGroup>(QLatin1String(id), QLatin1String(name));
    };
    const QList<PLGroupPtr> groups{g("1", "beta"), g("2", "Alpha"), g("3", "gamma"), g("4", "Delta"), g("5", "alpha2")};
    QStringList names;
    for (const PLGroupPtr &group : BuddyListMenuValidation::destinationGroups(groups, {"3", "4"}))
        names << group->groupName();
    EXPECT_EQ(names, (QStringList{"Alpha", "alpha2", "beta"}));
}

} // namespace
