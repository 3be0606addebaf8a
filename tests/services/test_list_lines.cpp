// The typed group and buddy lines of a sign-in and the group's re-filing of
// its buddies once the list is complete: each checked against the form it
// replaced (dictionaries built key by key, re-filing entry by entry).
#include "BuddyManagement/PLBuddyInfo.h"
#include "BuddyManagement/PLGroup.h"
#include "BuddyManagement/PLGroupInfo.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace parley;

namespace {

PLGroupInfo line(PLGroupInfo::Type type, bool isLast, const QString &groupID, const QString &groupName,
                 const QString &buddyCMN)
{
    PLGroupInfo info;
    info.type = type;
    info.isLast = isLast;
    info.groupID = groupID;
    info.groupName = groupName;
    info.buddyCMN = buddyCMN;
    return info;
}

} // namespace

TEST(PLGroupInfo, DictionariesHoldTheKeysAndTypesOfEachKindOfLine)
{
    PLGroupInfo cache;
    cache.type = PLGroupInfo::Cache;
    cache.groupCacheNo = 4000000000u;
    cache.willDownloadGroup = true;
    const QString empty = QStringLiteral("");
    const struct {
        const char *name;
        PLGroupInfo info;
        QVariantMap expected;
    } cases[] = {
        {"cache", cache,
         {{"type", "Cache"}, {"groupCacheNo", 4000000000u}, {"willDownloadGroup", true}}},
        {"group", line(PLGroupInfo::Group, false, "7", QStringLiteral(u"\uCE5C\uAD6C"), QString()),
         {{"type", "Group"}, {"isLast", false}, {"groupId", "7"}, {"groupName", QStringLiteral(u"\uCE5C\uAD6C")}}},
        {"last buddy", line(PLGroupInfo::Buddy, true, "0", QString(), "100002"),
         {{"type", "Buddy"}, {"isLast", true}, {"buddyCMN", "100002"}, {"groupId", "0"}}},
        {"buddy with empty texts", line(PLGroupInfo::Buddy, false, empty, QString(), empty),
         {{"type", "Buddy"}, {"isLast", false}, {"buddyCMN", empty}, {"groupId", empty}}},
        {"unknown", line(PLGroupInfo::Unknown, true, "1", "x", "2"), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QVariantMap map = c.info.toVariantMap();
        EXPECT_EQ(map, c.expected);
        // Same value types as well (the group cache file keeps them).
        for (auto it = c.expected.cbegin(); it != c.expected.cend(); ++it)
            EXPECT_EQ(map.value(it.key()).metaType(), it.value().metaType()) << it.key().toStdString();
        EXPECT_EQ(map.value("groupId").toString().isNull(), c.expected.value("groupId").toString().isNull());
    }
}

TEST(PLGroupInfo, StoredDictionariesReadBack)
{
    // A written line reads back as itself.
    for (const PLGroupInfo &written : {line(PLGroupInfo::Group, true, "3", "Work", QString()),
                                       line(PLGroupInfo::Buddy, false, "3", QString(), "1001")}) {
        const std::optional<PLGroupInfo> read = PLGroupInfo::fromVariantMap(written.toVariantMap());
        ASSERT_TRUE(read);
        EXPECT_EQ(read->toVariantMap(), written.toVariantMap());
    }
    const struct {
        const char *name;
        QVariantMap stored;
        std::optional<PLGroupInfo::Type> type; // nothing: refused
        bool isLast;
        qint32 number;
    } cases[] = {
        {"cache with the number as text", {{"type", "Cache"}, {"groupCacheNo", "15"}}, PLGroupInfo::Cache, false, 15},
        {"cache with a negative number", {{"type", "Cache"}, {"groupCacheNo", -2}}, PLGroupInfo::Cache, false, -2},
        {"buddy without its group", {{"type", "Buddy"}, {"buddyCMN", "1"}}, std::nullopt, false, 0},
        {"group without its name", {{"type", "Group"}, {"groupId", "1"}, {"isLast", true}}, std::nullopt, false, 0},
        {"unknown type", {{"type", "Other"}, {"isLast", true}}, PLGroupInfo::Unknown, true, 0},
        {"no type", {}, PLGroupInfo::Unknown, false, 0},
        {"buddy with a number for its member number",
         {{"type", "Buddy"}, {"buddyCMN", 1001}, {"groupId", "3"}, {"isLast", "true"}}, PLGroupInfo::Buddy, true, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<PLGroupInfo> read = PLGroupInfo::fromVariantMap(c.stored);
        ASSERT_EQ(read.has_value(), c.type.has_value());
        if (!read)
            continue;
        EXPECT_EQ(read->type, *c.type);
        EXPECT_EQ(read->isLast, c.isLast);
        EXPECT_EQ(qint32(read->groupCacheNo), c.number);
        if (read->type == PLGroupInfo::Buddy) {
            EXPECT_EQ(read->buddyCMN, c.stored.value("buddyCMN").toString());
        }
    }
}

TEST(PLBuddyInfo, DictionaryHoldsEveryField)
{
    PLBuddyInfo info{"100002", "bob@parley.test", "Bob Lee", "Bobby", "1101", "010", "%00", true};
    EXPECT_EQ(info.toVariantMap(), QVariantMap({{"cmn", "100002"},
                                                {"velaID", "bob@parley.test"},
                                                {"name", "Bob Lee"},
                                                {"nickName", "Bobby"},
                                                {"buddyFlag", "1101"},
                                                {"mobile", "010"},
                                                {"orchardCMN", "%00"},
                                                {"isLast", true}}));
}

namespace {

// The re-filing as it was done entry by entry, kept as the reference.
void refileOneByOne(PLBuddyDict &userList, PLBuddyDict &notFL)
{
    const auto listed = userList;
    for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
        if (!it.value()->buddyFlagFLBit()) {
            notFL.insert(it.key(), it.value());
            userList.remove(it.key());
        }
    }
    const auto unlisted = notFL;
    for (auto it = unlisted.cbegin(); it != unlisted.cend(); ++it) {
        if (it.value()->buddyFlagFLBit()) {
            userList.insert(it.key(), it.value());
            notFL.remove(it.key());
        }
    }
}

std::string describe(const PLBuddyDict &dict)
{
    QStringList entries;
    for (auto it = dict.cbegin(); it != dict.cend(); ++it)
        entries << it.key() + QLatin1Char(':') + it.value()->buddyFlags() + QLatin1Char('@')
                       + QString::number(quintptr(it.value().get()), 16);
    return entries.join(QLatin1Char(' ')).toStdString();
}

} // namespace

TEST(PLGroup, CheckNotFLBuddyFilesAsTheEntryByEntryFormDid)
{
    QRandomGenerator random(20261210);
    for (int round = 0; round < 2000; ++round) {
        SCOPED_TRACE(round);
        // Few possible CMNs, so that both sides often hold the same one
        // (which addBuddy never does, but the dictionaries can be set).
        PLBuddyDict userList;
        PLBuddyDict notFL;
        const int entries = int(random.bounded(12));
        for (int i = 0; i < entries; ++i) {
            const QString cmn = QString::number(random.bounded(1, 30) * (random.bounded(2) ? 1 : 37));
            auto buddy = std::make_shared<PLBuddy>(cmn);
            buddy->setBuddyFlags(random.bounded(2) ? QStringLiteral("1000") : QStringLiteral("0100"));
            (random.bounded(2) ? userList : notFL).insert(cmn, buddy);
        }
        PLGroup group(QStringLiteral("g"), QStringLiteral("G"));
        group.setMUserListDict(userList);
        group.setMNotFLBuddyDict(notFL);
        refileOneByOne(userList, notFL);
        group.checkNotFLBuddy();
        // Same CMNs in the same order, each with the same record.
        EXPECT_TRUE(group.mUserListDict() == userList) << describe(group.mUserListDict()) << " / " << describe(userList);
        EXPECT_TRUE(group.mNotFLBuddyDict() == notFL) << describe(group.mNotFLBuddyDict()) << " / " << describe(notFL);
    }
}
