// The group list of a sign-in against the stored copy: a list the server
// calls current is replayed from the copy without feeding the copy, a
// download left unfinished is dropped rather than replayed, and a damaged
// copy cannot make the replay start itself again.
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLGLSTManager.h"
#include "BuddyManagement/PLGroup.h"
#include "Sessions/PLDPSession.h"
#include "Sessions/PLParleySession.h"
#include "TestSupport.h"
#include "Utils/PLUtils.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace parley;

namespace {

const QString kUser = QStringLiteral("replay@parley.test");

const QVariantMap kStoredCache{{"type", "Cache"}, {"groupCacheNo", "4"}, {"willDownloadGroup", true}};
const QVariantMap kFamily{{"type", "Group"}, {"groupId", "7"}, {"groupName", "Family"}, {"isLast", false}};
const QVariantMap kSister{{"type", "Buddy"}, {"buddyCMN", "100"}, {"groupId", "7"}, {"isLast", true}};

class GroupListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(PLGroupCachePathForUser(kUser));
        cache.resetForTesting();
        buddies.reset();
        session.setDelegate(&facade);
        session.setUserID(kUser, QStringLiteral("pw"), false);
    }
    void TearDown() override
    {
        session.setDelegate(nullptr);
        cache.resetForTesting();
        buddies.reset();
        QFile::remove(PLGroupCachePathForUser(kUser));
    }
    // Stores a group list for the user, as an earlier sign-in did.
    void store(const QVariantList &entries)
    {
        cache.setLoginID(kUser);
        cache.beginSave(entries.first().toMap());
        for (const QVariant &entry : entries.mid(1))
            cache.saveInfo(entry.toMap());
        cache.endSave();
    }
    // The server's lines of the sign-in, after the client asked with the
    // number of its stored list (as the account session does).
    void receive(const QByteArray &lines)
    {
        cache.setLoginID(kUser);
        session.sendGLSTPacket(cache.version()); // not connected: only the number is kept
        session.dataReceived(lines);
    }
    QString groupName(const char *id) const
    {
        const PLGroupPtr group = buddies.groupForID(QLatin1String(id));
        return group ? group->groupName() : QString();
    }

    PLGLSTManager &cache = PLGLSTManager::sharedManager();
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    PLParleySession facade;
    PLDPSession session;
};

} // namespace

// A download begins, one group line, then the same number again before the
// download ended: the replay used to save every line it read into the very
// list it was reading, and memory grew without end.
TEST_F(GroupListTest, ARepeatedNumberDuringADownloadDropsTheDownload)
{
    receive("GLST 1 5\r\nGLST 1 0 2 Y 1 Friends 0\r\nGLST 2 5\r\n");
    EXPECT_FALSE(cache.mSaveFlag());
    EXPECT_EQ(cache.count(), 0) << "nothing was stored, and nothing of the download stays";
    EXPECT_TRUE(groupName("1").isNull());
    EXPECT_FALSE(QFile::exists(PLGroupCachePathForUser(kUser)));
}

TEST_F(GroupListTest, AnUnfinishedDownloadLeavesTheStoredListStanding)
{
    store({kStoredCache, kFamily, kSister});
    receive("GLST 1 5\r\nGLST 1 0 2 Y 1 Friends 0\r\nGLST 2 5\r\n");
    EXPECT_FALSE(cache.mSaveFlag());
    EXPECT_EQ(cache.count(), 3);
    EXPECT_EQ(cache.version(), 4);
    EXPECT_EQ(groupName("7"), "Family");
    EXPECT_TRUE(groupName("1").isNull());
    ASSERT_TRUE(buddies.buddyForCMN("100"));
    // The copy on disk is still the stored list.
    cache.setLoginID(kUser);
    EXPECT_EQ(cache.version(), 4);
    EXPECT_EQ(cache.count(), 3);
}

TEST_F(GroupListTest, ACurrentListIsReplayedOnceAndSavesNothing)
{
    store({kStoredCache, kFamily, kSister});
    receive("GLST 1 4\r\n");
    EXPECT_EQ(cache.count(), 3);
    EXPECT_EQ(groupName("7"), "Family");
    ASSERT_TRUE(buddies.buddyForCMN("100"));
    EXPECT_TRUE(buddies.groupForID("7")->buddyForCMN(QStringLiteral("100")));
}

// A stored copy with a cache line in the middle (damaged on disk) would open
// a recording that empties the list under the loop, or replay itself again
// and again.
TEST_F(GroupListTest, CacheLinesInsideAStoredListAreNotReplayed)
{
    const QVariantMap currentInside{{"type", "Cache"}, {"groupCacheNo", "4"}, {"willDownloadGroup", false}};
    const QVariantMap downloadInside{{"type", "Cache"}, {"groupCacheNo", "9"}, {"willDownloadGroup", true}};
    store({kStoredCache, kFamily, currentInside, downloadInside, kSister});
    receive("GLST 1 4\r\n");
    EXPECT_FALSE(cache.mSaveFlag());
    EXPECT_EQ(cache.count(), 5);
    EXPECT_EQ(groupName("7"), "Family");
    EXPECT_TRUE(buddies.buddyForCMN("100"));
}

// A line lost during a download and a new sign-in: the new download starts
// from a closed recording and asks with the stored list's number.
TEST_F(GroupListTest, ANewSignInStartsFromTheStoredList)
{
    store({kStoredCache, kFamily, kSister});
    receive("GLST 1 5\r\nGLST 1 0 3 Y 1 Friends 0\r\n");
    ASSERT_TRUE(cache.mSaveFlag());
    PLDPSession next;
    next.setDelegate(&facade);
    facade.dpSessionConfReceived(&next, {{"conf", QByteArray()}, {"version", 1}});
    next.setDelegate(nullptr);
    EXPECT_FALSE(cache.mSaveFlag());
    EXPECT_EQ(cache.version(), 4);
    EXPECT_EQ(cache.count(), 3);
}
