#include "BuddyManagement/PLBuddyManager.h"
#include "NotificationNames.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace parley;
namespace nn = parley::notifications;

namespace {

// Records every buddy-manager notification while it lives.
class Recorder
{
public:
    Recorder()
    {
        for (const char *name : {nn::kBuddyManagerBuddyLoggedIn, nn::kBuddyManagerBuddyLogout,
                                 nn::kBuddyManagerBuddyUpdated, nn::kBuddyManagerAddBuddyResultReceived,
                                 nn::kBuddyManagerGroupUpdated, nn::kBuddyManagerRequestedAddBuddy}) {
            mTokens << NotificationCenter::defaultCenter().addObserver(
                QLatin1String(name), nullptr, [this](const Notification &n) { seen.append(n); });
        }
    }
    ~Recorder()
    {
        for (auto token : mTokens)
            NotificationCenter::defaultCenter().removeObserver(token);
    }
    QList<Notification> seen;

private:
    QList<NotificationCenter::Token> mTokens;
};

class BuddyManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { manager.reset(); }
    void TearDown() override { manager.reset(); }

    PLBuddyPtr buddy(const char *cmn, const char *flags, const char *velaID, const char *name = "")
    {
        PLBuddyPtr b = manager.createBuddyForCMN(QString::fromLatin1(cmn));
        b->setBuddyFlags(QString::fromLatin1(flags));
        b->setVelaID(QString::fromLatin1(velaID));
        b->setName(QString::fromLatin1(name));
        return b;
    }
    PLBuddyManager &manager = PLBuddyManager::sharedManager();
};

} // namespace

TEST(PLBuddyManagerStatus, CodesAndLetters)
{
    const struct {
        qint32 code;
        const char *letter;
    } codes[] = {{0, "X"}, {1, "O"}, {2, "B"}, {3, "A"}, {4, "P"}, {5, "M"}, {6, "a"}};
    for (const auto &c : codes)
        EXPECT_EQ(PLBuddyManager::statusCharFrom(c.code), QLatin1String(c.letter));
    EXPECT_TRUE(PLBuddyManager::statusCharFrom(7).isNull());
    EXPECT_TRUE(PLBuddyManager::statusCharFrom(-1).isNull());

    const struct {
        const char *letter;
        qint32 code;
    } letters[] = {{"O", 1}, {"B", 2}, {"A", 3}, {"P", 4}, {"M", 5}, {"X", 0}, {"a", 0}, {"o", 0}, {"", 0}, {"OO", 0}};
    for (const auto &c : letters)
        EXPECT_EQ(PLBuddyManager::buddyStatusFrom(QLatin1String(c.letter)), c.code) << c.letter;
}

TEST_F(BuddyManagerTest, CreateAndLookups)
{
    const PLBuddyPtr a = buddy("1", "1000", "a@vela.test", "alice");
    EXPECT_EQ(manager.createBuddyForCMN(QStringLiteral("1")), a);
    EXPECT_EQ(manager.mBuddyDict().size(), 1);
    EXPECT_EQ(manager.createBuddyForCMN(QString()), nullptr);
    a->setQ7CMN(QStringLiteral("q7"));
    a->setOrchardCMN(QStringLiteral("or1"));
    const PLBuddyPtr b = buddy("2", "0100", "b@vela.test");

    EXPECT_EQ(manager.buddyForID(QStringLiteral("a@vela.test")), a);
    EXPECT_EQ(manager.buddyForQ7CMN(QStringLiteral("q7")), a);
    EXPECT_EQ(manager.buddyForOrchardCMN(QStringLiteral("or1")), a);
    EXPECT_EQ(manager.cmnForBuddyID(QStringLiteral("b@vela.test")), QStringLiteral("2"));
    EXPECT_EQ(manager.buddyIDForCMN(QStringLiteral("1")), QStringLiteral("a@vela.test"));
    EXPECT_TRUE(manager.cmnForBuddyID(QStringLiteral("nobody")).isNull());
    EXPECT_TRUE(manager.isOnTheBuddyList(QStringLiteral("a@vela.test")));
    EXPECT_FALSE(manager.isOnTheBuddyList(QStringLiteral("b@vela.test")));
    EXPECT_EQ(manager.buddyForID(QString()), nullptr);

    const PLGroupPtr g = manager.createGroupForID(QStringLiteral("g1"));
    EXPECT_EQ(manager.createGroupForID(QStringLiteral("g1")), g);
    g->setGroupName(QStringLiteral("Friends"));
    EXPECT_EQ(manager.groupForName(QStringLiteral("Friends")), g);
    EXPECT_EQ(manager.groupCount(), 1);
    EXPECT_EQ(manager.groupAtIndex(0), g);
    EXPECT_EQ(manager.groupAtIndex(1), nullptr);
    EXPECT_FALSE(manager.addGroup(std::make_shared<PLGroup>(QStringLiteral("g1"), QStringLiteral("Other"))));
    EXPECT_TRUE(manager.addGroup(std::make_shared<PLGroup>(QStringLiteral("g2"), QStringLiteral("Friends"))));
    EXPECT_EQ(manager.groupNameIDPair().size(), 1);

    EXPECT_TRUE(manager.addBuddy(QStringLiteral("1"), QStringLiteral("g1")));
    EXPECT_FALSE(manager.addBuddy(QStringLiteral("9"), QStringLiteral("g1")));
    EXPECT_FALSE(manager.addBuddy(QStringLiteral("1"), QStringLiteral("g9")));
    EXPECT_EQ(manager.groupsContainsBuddy(QStringLiteral("a@vela.test")), QList<PLGroupPtr>{g});
    manager.removeGroupWithID(QStringLiteral("g2"));
    EXPECT_EQ(manager.groupCount(), 1);
}

TEST_F(BuddyManagerTest, MoveOfAnUnlistedBuddyLeavesTheSourceUnchanged)
{
    buddy("1", "0000", "a@vela.test");
    const PLGroupPtr from = manager.createGroupForID(QStringLiteral("g1"));
    const PLGroupPtr to = manager.createGroupForID(QStringLiteral("g2"));
    manager.addBuddy(QStringLiteral("1"), QStringLiteral("g1"));
    manager.moveBuddy(QStringLiteral("1"), QStringLiteral("g1"), QStringLiteral("g2"));
    EXPECT_TRUE(to->mNotFLBuddyDict().contains(QStringLiteral("1")));
    EXPECT_TRUE(from->mNotFLBuddyDict().contains(QStringLiteral("1")));

    buddy("2", "1000", "b@vela.test");
    manager.addBuddy(QStringLiteral("2"), QStringLiteral("g1"));
    manager.moveBuddy(QStringLiteral("2"), QStringLiteral("g1"), QStringLiteral("g2"));
    EXPECT_FALSE(from->buddyForCMN(QStringLiteral("2")));
    EXPECT_EQ(to->listedBuddyCount(), 1);
    manager.copyBuddy(QStringLiteral("2"), QStringLiteral("g2"), QStringLiteral("g1"));
    EXPECT_EQ(from->listedBuddyCount(), 1);
    EXPECT_EQ(to->listedBuddyCount(), 1);
}

TEST_F(BuddyManagerTest, RemoveBuddyWithCMNAnnouncesEachGroupThenTheBuddy)
{
    buddy("1", "1000", "a@vela.test");
    manager.createGroupForID(QStringLiteral("g1"));
    manager.createGroupForID(QStringLiteral("g2"));
    manager.addBuddy(QStringLiteral("1"), QStringLiteral("g1"));
    manager.addBuddy(QStringLiteral("1"), QStringLiteral("g2"));
    {
        Recorder recorder;
        EXPECT_FALSE(manager.removeBuddyWithCMN(QStringLiteral("7")));
        EXPECT_TRUE(recorder.seen.isEmpty());
    }
    Recorder recorder;
    EXPECT_TRUE(manager.removeBuddyWithCMN(QStringLiteral("1")));
    ASSERT_EQ(recorder.seen.size(), 3);
    EXPECT_EQ(recorder.seen[0].name, QLatin1String(nn::kBuddyManagerGroupUpdated));
    EXPECT_TRUE(recorder.seen[0].userInfo.value(QLatin1String(nn::kKeyGroup)).value<PLGroupPtr>());
    EXPECT_EQ(recorder.seen[1].name, QLatin1String(nn::kBuddyManagerGroupUpdated));
    EXPECT_EQ(recorder.seen[2].name, QLatin1String(nn::kBuddyManagerBuddyUpdated));
    EXPECT_EQ(recorder.seen[2].userInfo, (QVariantMap{{QStringLiteral("velaID"), QStringLiteral("a@vela.test")}}));
    EXPECT_EQ(recorder.seen[2].sender, &manager);
    EXPECT_TRUE(manager.buddyForCMN(QStringLiteral("1")));
    EXPECT_EQ(manager.groupForID(QStringLiteral("g1"))->listedBuddyCount(), 0);
}

TEST_F(BuddyManagerTest, GroupCacheNumberPostsOnlyOnChange)
{
    Recorder recorder;
    manager.setGroupCacheNo(0);
    EXPECT_TRUE(recorder.seen.isEmpty());
    manager.setGroupCacheNo(12);
    ASSERT_EQ(recorder.seen.size(), 1);
    EXPECT_EQ(recorder.seen[0].name, QLatin1String(nn::kBuddyManagerGroupUpdated));
    EXPECT_TRUE(recorder.seen[0].userInfo.isEmpty());
    manager.setGroupCacheNo(12);
    EXPECT_EQ(recorder.seen.size(), 1);
    manager.reset();
    EXPECT_EQ(manager.groupCacheNo(), 0);
    EXPECT_EQ(recorder.seen.size(), 1);
}

TEST_F(BuddyManagerTest, PostingOperationsCarryTheirKeys)
{
    Recorder recorder;
    manager.postBuddyLoggedInNotification(QStringLiteral("a@vela.test"));
    manager.postBuddyLogoutNotification(QStringLiteral("a@vela.test"));
    manager.postAddBuddyResultReceivedNotification(QStringLiteral("b@vela.test"));
    manager.postBuddyUpdatedNotification(QString());
    manager.postAddBuddyResultReceivedNotification(QString());
    const QVariantMap request{{QStringLiteral("fromID"), QStringLiteral("c@vela.test")},
                              {QStringLiteral("fromCMN"), QStringLiteral("33")},
                              {QStringLiteral("message"), QStringLiteral("hi")}};
    manager.postRequestAddBuddyReceivedNotification(request);

    ASSERT_EQ(recorder.seen.size(), 4);
    EXPECT_EQ(recorder.seen[0].name, QLatin1String(nn::kBuddyManagerBuddyLoggedIn));
    EXPECT_EQ(recorder.seen[0].userInfo.value("velaID"), QStringLiteral("a@vela.test"));
    EXPECT_EQ(recorder.seen[1].name, QLatin1String(nn::kBuddyManagerBuddyLogout));
    EXPECT_EQ(recorder.seen[2].userInfo, (QVariantMap{{QStringLiteral("userID"), QStringLiteral("b@vela.test")}}));
    EXPECT_EQ(recorder.seen[3].name, QLatin1String(nn::kBuddyManagerRequestedAddBuddy));
    EXPECT_EQ(recorder.seen[3].userInfo, request);
    EXPECT_EQ(manager.buddyForCMN(QStringLiteral("33"))->velaID(), QStringLiteral("c@vela.test"));
}

TEST_F(BuddyManagerTest, ListDownloadResortsEveryGroup)
{
    const PLBuddyPtr a = buddy("1", "1000", "a@vela.test");
    const PLGroupPtr g = manager.createGroupForID(QStringLiteral("g1"));
    manager.addBuddy(QStringLiteral("1"), QStringLiteral("g1"));
    a->setBuddyFlagFLBit(false);
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kBuddyInfoDidDownloaded), nullptr);
    EXPECT_EQ(g->listedBuddyCount(), 0);
    EXPECT_TRUE(g->mNotFLBuddyDict().contains(QStringLiteral("1")));
}

TEST_F(BuddyManagerTest, BlockedAndAllowedListsSortByNameIgnoringCase)
{
    buddy("1", "0010", "c@vela.test", "carol");
    buddy("2", "0010", "b@vela.test", "Bob");
    buddy("3", "0110", "a@vela.test", "alice");
    buddy("4", "1000", "d@vela.test", "dave");
    buddy("5", "0100", "e@vela.test", "Eve");
    QStringList blocked;
    for (const auto &b : manager.blockedBuddies())
        blocked << b->name();
    EXPECT_EQ(blocked, (QStringList{"alice", "Bob", "carol"}));
    QStringList allowed;
    for (const auto &b : manager.allowedBuddies())
        allowed << b->name();
    EXPECT_EQ(allowed, (QStringList{"alice", "Eve"}));
}

TEST_F(BuddyManagerTest, OrchardNumbersLeaveOutAbsentAndEmpty)
{
    buddy("1", "1000", "a@vela.test")->setOrchardCMN(QStringLiteral("o1"));
    buddy("2", "1000", "b@vela.test")->setOrchardCMN(QStringLiteral(""));
    buddy("3", "1000", "c@vela.test");
    EXPECT_EQ(manager.orcmnArrayForAllBuddies(), QStringList{"o1"});
}

// Buddies are found by CMN through a hash; every walk whose order shows still
// goes in CMN text order ("10" before "9"), also after buddies were added.
TEST_F(BuddyManagerTest, WalksGoInCMNOrderWhateverTheOrderOfArrival)
{
    buddy("9", "1100", "same@vela.test", "bo");
    buddy("100", "1100", "same@vela.test", "Bo");
    buddy("10", "0110", "ten@vela.test", "al");
    for (const char *cmn : {"9", "100", "10"})
        manager.buddyForCMN(QLatin1String(cmn))->setOrchardCMN(QStringLiteral("o") + QLatin1String(cmn));
    EXPECT_EQ(manager.buddyForID(QStringLiteral("same@vela.test"))->buddyCMN(), "100");
    EXPECT_EQ(manager.orcmnArrayForAllBuddies(), QStringList({"o10", "o100", "o9"}));
    EXPECT_EQ(manager.mBuddyDict().keys(), QStringList({"10", "100", "9"}));
    // Names equal but for case keep CMN order.
    QStringList allowed;
    for (const PLBuddyPtr &b : manager.allowedBuddies())
        allowed << b->buddyCMN();
    EXPECT_EQ(allowed, QStringList({"10", "100", "9"}));

    buddy("1", "1100", "same@vela.test", "zed");
    EXPECT_EQ(manager.buddyForID(QStringLiteral("same@vela.test"))->buddyCMN(), "1");
    EXPECT_EQ(manager.mBuddyDict().keys(), QStringList({"1", "10", "100", "9"}));

    manager.setMBuddyDict({{QStringLiteral("5"), std::make_shared<PLBuddy>(QStringLiteral("5"))}});
    EXPECT_EQ(manager.mBuddyDict().keys(), QStringList({"5"}));
    EXPECT_EQ(manager.buddyForCMN(QStringLiteral("1")), nullptr);
    manager.reset();
    EXPECT_TRUE(manager.mBuddyDict().isEmpty());
    EXPECT_EQ(manager.buddyForID(QStringLiteral("same@vela.test")), nullptr);
}

// groupForID answers from an index of the table built on first use; every
// change of the table must show in the next lookup of that same ID.
TEST_F(BuddyManagerTest, AGroupLookedUpJustBeforeAChangeReadsTheChangedTable)
{
    const QString id = QStringLiteral("g1");
    const struct {
        const char *change;
        std::function<void(PLBuddyManager &)> apply;
        bool present;
    } cases[] = {
        {"removed", [&](PLBuddyManager &m) { m.removeGroupWithID(id); }, false},
        {"reset", [](PLBuddyManager &m) { m.reset(); }, false},
        {"table replaced", [](PLBuddyManager &m) { m.setMGroupDict({}); }, false},
        {"table replaced by another g1",
         [&](PLBuddyManager &m) { m.setMGroupDict({{id, std::make_shared<PLGroup>(id, QStringLiteral("other"))}}); },
         true},
        {"removed and created again",
         [&](PLBuddyManager &m) {
             m.removeGroupWithID(id);
             m.createGroupForID(id);
         },
         true},
        {"removed and added again",
         [&](PLBuddyManager &m) {
             m.removeGroupWithID(id);
             m.addGroup(std::make_shared<PLGroup>(id, QStringLiteral("added")));
         },
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.change);
        manager.reset();
        const PLGroupPtr before = manager.createGroupForID(id);
        ASSERT_EQ(manager.groupForID(id), before);
        ASSERT_EQ(manager.groupForID(id), before);
        c.apply(manager);
        const PLGroupPtr after = manager.groupForID(id);
        EXPECT_EQ(after != nullptr, c.present);
        if (after) {
            EXPECT_NE(after, before);
            EXPECT_EQ(after, manager.mGroupDict().value(id));
        }
    }
    // Another ID in between, and an ID never seen.
    manager.reset();
    const PLGroupPtr g1 = manager.createGroupForID(id);
    const PLGroupPtr g2 = manager.createGroupForID(QStringLiteral("g2"));
    EXPECT_EQ(manager.groupForID(id), g1);
    EXPECT_EQ(manager.groupForID(QStringLiteral("g2")), g2);
    EXPECT_EQ(manager.groupForID(QStringLiteral("g3")), nullptr);
    EXPECT_EQ(manager.groupForID(id), g1);
}

// The room taken for a list follows the count a server announces, which is
// not to be trusted: a huge or negative count must neither exhaust memory nor
// change what the manager holds.
TEST_F(BuddyManagerTest, RoomForAnAnnouncedListIsBoundedAndChangesNothing)
{
    const PLBuddyPtr kept = manager.createBuddyForCMN(QStringLiteral("100"));
    for (const qsizetype count : {qsizetype(-1), qsizetype(0), qsizetype(5000), qsizetype(5000),
                                  qsizetype(std::numeric_limits<qint32>::max())}) {
        manager.reserveBuddies(count);
        EXPECT_EQ(manager.buddyForCMN(QStringLiteral("100")), kept);
    }
    for (int i = 0; i < 300; ++i)
        manager.createBuddyForCMN(QString::number(1000 + i));
    EXPECT_EQ(manager.buddyForCMN(QStringLiteral("100")), kept);
    EXPECT_NE(manager.buddyForCMN(QStringLiteral("1299")), nullptr);
}

TEST(PLGroupFiling, AnyOrderOfArrivalGivesTheSameDictionaries)
{
    const QStringList orders[] = {
        {"100", "101", "102", "2", "20"}, {"20", "2", "102", "101", "100"}, {"101", "20", "100", "2", "102", "20"}};
    for (const QStringList &order : orders) {
        PLGroup group(QStringLiteral("g"), QString());
        QList<PLBuddyPtr> filed;
        for (const QString &cmn : order) {
            auto buddy = std::make_shared<PLBuddy>(cmn);
            buddy->setBuddyFlagFLBit(cmn.size() == 3);
            group.addBuddy(buddy);
            filed << buddy;
        }
        EXPECT_EQ(group.mUserListDict().keys(), QStringList({"100", "101", "102"}));
        EXPECT_EQ(group.mNotFLBuddyDict().keys(), QStringList({"2", "20"}));
        // The record filed last for a CMN is the one kept.
        for (const PLBuddyPtr &buddy : filed) {
            if (buddy == filed.last() || !order.mid(order.indexOf(buddy->buddyCMN()) + 1).contains(buddy->buddyCMN())) {
                EXPECT_EQ(group.buddyForCMN(buddy->buddyCMN()), buddy);
            }
        }
    }
}
