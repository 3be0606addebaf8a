// Display strings of people and the status images and words.

#include "BuddyListFixture.h"

#include "NotificationCenter.h"
#include "NotificationNames.h"

namespace buddylist::test {
namespace {

class BuddyStringTest : public ::testing::Test {
protected:
    BuddyStore store;
};

TEST_F(BuddyStringTest, NoStoredTypeStoresNickNameAndUsesIt)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    EXPECT_FALSE(defaults.objectForKey(QLatin1String(BuddyString::kBuddyStringTypeKey)).isValid());
    EXPECT_EQ(BuddyString::buddyStringType(), QStringLiteral("ShowAsNickName"));
    EXPECT_EQ(defaults.stringForKey(QLatin1String(BuddyString::kBuddyStringTypeKey)), QStringLiteral("ShowAsNickName"));
    const PLBuddyPtr b = store.buddy({"1", "Kim", "Kimmy", 1, {}});
    EXPECT_EQ(BuddyString::buddyStringWithBuddy(b), QStringLiteral("Kimmy"));
}

TEST_F(BuddyStringTest, FourStylesWithAndWithoutNickName)
{
    struct Case {
        const char *type;
        const char *nickName;
        const char *expected;
    };
    const Case cases[] = {
        {"ShowAsName", "Kimmy", "Kim"},
        {"ShowAsName", "", "Kim"},
        {"ShowAsNickName", "Kimmy", "Kimmy"},
        {"ShowAsNickName", "", "Kim"},
        {"ShowAsNameID", "Kimmy", "Kim (7@parley.test)"},
        {"ShowAsNameID", "", "Kim (7@parley.test)"},
        {"ShowAsNameNickName", "Kimmy", "Kim (Kimmy)"},
        {"ShowAsNameNickName", "", "Kim"},
        {"SomethingElse", "Kimmy", "Kimmy"}, // an unknown type reads as the nickname style
        {"SomethingElse", "", "Kim"},
    };
    const PLBuddyPtr b = store.buddy({"7", "Kim", "", 1, {}});
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.type) + " / " + c.nickName);
        UserDefaults::standardUserDefaults().setString(QLatin1String(c.type), QLatin1String(BuddyString::kBuddyStringTypeKey));
        b->setNickName(QLatin1String(c.nickName));
        EXPECT_EQ(BuddyString::buddyStringWithBuddy(b), QLatin1String(c.expected));
        // The same person as a user-info dictionary.
        EXPECT_EQ(BuddyString::stringForUserInfo({{"name", "Kim"}, {"nickName", QLatin1String(c.nickName)},
                                                  {"velaID", "7@parley.test"}}),
                  QLatin1String(c.expected));
    }
}

TEST_F(BuddyStringTest, ANullBuddyHasNoString) { EXPECT_TRUE(BuddyString::buddyStringWithBuddy(nullptr).isNull()); }

TEST_F(BuddyStringTest, SettingTheTypeAnnouncesItAndANullTypeChangesNothing)
{
    int heard = 0;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        QLatin1String(notifications::kBuddyStringTypeChanged), nullptr, [&](const Notification &n) {
            EXPECT_TRUE(n.userInfo.isEmpty());
            ++heard;
        });
    BuddyString::setBuddyStringType(QStringLiteral("ShowAsName"));
    BuddyString::setBuddyStringType(QString());
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(BuddyString::buddyStringType(), QStringLiteral("ShowAsName"));
}

TEST_F(BuddyStringTest, UnmatchedIDsShowAsThemselvesAloneAndAreLeftOutOfLists)
{
    store.buddy({"1", "Kim", "Kimmy", 1, {}});
    store.buddy({"2", "Lee", "", 1, {}});
    EXPECT_EQ(BuddyString::buddyStringForBuddyID("1@parley.test"), QStringLiteral("Kimmy"));
    EXPECT_EQ(BuddyString::buddyStringForBuddyID("nobody@parley.test"), QStringLiteral("nobody@parley.test"));
    EXPECT_EQ(BuddyString::buddyStringWithBuddyDict({{"velaID", "nobody@parley.test"}}), QStringLiteral("nobody@parley.test"));
    EXPECT_EQ(BuddyString::buddyStringWithBuddyIDs({"1@parley.test", "nobody@parley.test"}), QStringLiteral("Kimmy"));
    EXPECT_EQ(BuddyString::buddyStringWithBuddyIDs({"nobody@parley.test"}), QString());
    const QVariantList three{QVariantMap{{"velaID", "1@parley.test"}}, QVariantMap{{"velaID", "2@parley.test"}},
                             QVariantMap{{"velaID", "x@parley.test"}}};
    EXPECT_EQ(BuddyString::buddyStringWithBuddyDictArray(three), QStringLiteral("Kimmy, Lee, x@parley.test"));
    EXPECT_EQ(BuddyString::buddyStringWithBuddyDictArray({three.first()}), QStringLiteral("Kimmy"));
    EXPECT_EQ(BuddyString::buddyStringWithBuddyDictArray({}), QString());
}

TEST_F(BuddyStringTest, OwnAccountIsNamedTheSameWay)
{
    UserDefaults::standardUserDefaults().setString(QStringLiteral("ShowAsNameID"), QLatin1String(BuddyString::kBuddyStringTypeKey));
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    const QString expected = me.name() + QStringLiteral(" (") + me.velaID() + QLatin1Char(')');
    EXPECT_EQ(BuddyString::buddyStringForMyInfo(), expected);
}

TEST_F(BuddyStringTest, StatusImagesAndWords)
{
    UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("en")}, QLatin1String(kAppleLanguagesKey));
    struct Case {
        int status;
        const char *image;
        const char *word;
    };
    const Case cases[] = {
        {0, "16x16_offline", "Offline"}, {1, "16x16_normal", "Online"},     {2, "16x16_busy", "Busy"},
        {3, "16x16_other", "Away"},      {4, "16x16_busy", "On the Phone"}, {5, "16x16_other", "In a Meeting"},
        {6, "", nullptr},                {-1, "", nullptr},                 {99, "", nullptr},
    };
    TestImages::install();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.status);
        EXPECT_EQ(BuddyString::buddyStatusImageName(c.status), QLatin1String(c.image));
        EXPECT_EQ(BuddyString::buddyStatusImageWithStatus(c.status).isNull(), *c.image == 0);
        if (c.word)
            EXPECT_EQ(BuddyString::buddyStatusStringWithStatus(c.status), QLatin1String(c.word));
        else
            EXPECT_TRUE(BuddyString::buddyStatusStringWithStatus(c.status).isNull());
    }
}

TEST_F(BuddyStringTest, TheCoreAsksThroughItsInterface)
{
    const PLBuddyPtr b = store.buddy({"1", "Kim", "Kimmy", 1, {}});
    BuddyString strings;
    BuddyStringInterface &asked = strings;
    EXPECT_EQ(asked.buddyStringWithBuddy(*b), QStringLiteral("Kimmy"));
}

} // namespace
} // namespace buddylist::test
