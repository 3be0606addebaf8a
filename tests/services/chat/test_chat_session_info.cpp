// One room's member list.
#include "ChatManagement/PLChatSessionInfo.h"

#include <gtest/gtest.h>

using namespace parley;

namespace {

QVariantMap member(const char *id, const char *name)
{
    QVariantMap record;
    if (id)
        record.insert(QStringLiteral("velaID"), QString::fromLatin1(id));
    if (name)
        record.insert(QStringLiteral("name"), QString::fromLatin1(name));
    return record;
}

TEST(PLChatSessionInfo, KeepsTheFirstRecordOfEachMember)
{
    PLChatSessionInfo room;
    EXPECT_TRUE(room.isAlone());
    EXPECT_FALSE(room.isConnected());
    struct Case {
        QVariantMap record;
        bool added;
    };
    const Case cases[] = {
        {member("u1", "One"), true},
        {member("u1", "Other"), false},
        {member(nullptr, "Nobody"), false},
        {member("u2", nullptr), false},
        {member("u2", "Two"), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.record.value(QStringLiteral("velaID")).toString().toStdString());
        EXPECT_EQ(room.addUserInfo(c.record), c.added);
    }
    EXPECT_EQ(room.userCount(), 2);
    EXPECT_FALSE(room.isAlone());
    EXPECT_EQ(room.userNameForID(QStringLiteral("u1")), QStringLiteral("One"));
    EXPECT_TRUE(room.userNameForID(QStringLiteral("u9")).isNull());
    EXPECT_EQ(room.userIDsInRoom(), (QStringList{QStringLiteral("u1"), QStringLiteral("u2")}));
    EXPECT_EQ(room.userInfos(), (QVariantList{member("u1", "One"), member("u2", "Two")}));
    EXPECT_TRUE(room.removeUserInfoByUserID(QStringLiteral("u1")));
    EXPECT_FALSE(room.removeUserInfoByUserID(QStringLiteral("u1")));
    EXPECT_FALSE(room.removeUserInfoByUserID(QString()));
    room.removeAllUser();
    EXPECT_TRUE(room.isAlone());
}

} // namespace
