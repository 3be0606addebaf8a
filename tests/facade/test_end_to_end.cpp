// The account-session facade signed in as alice against the in-process local
// service, with other accounts as raw peers: every path goes over loopback
// through the real sessions, key exchange and handlers.
#include "FacadeFixture.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Note/PLNote.h"
#include "Sessions/PLDPSession.h"
#include "Sessions/PLManagerRegistry.h"
#include "Sessions/PLRecordingManagers.h"
#include "Sessions/PLRecordingShell.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"
#include "Utils/PLUtils.h"

#include <QFile>

using namespace facade::test;
using parley::PLBuddyManager;

namespace {

QString groupName(const QString &groupID)
{
    const auto group = PLBuddyManager::sharedManager().groupForID(groupID);
    return group ? group->groupName() : QString();
}

bool groupListsBuddy(const QString &groupID, const QString &cmn)
{
    const auto group = PLBuddyManager::sharedManager().groupForID(groupID);
    return group && group->buddyForCMN(cmn) != nullptr;
}

} // namespace

TEST_F(FacadeTest, SignsInToTheWholeBuddyList)
{
    ASSERT_TRUE(startAndSignIn());
    EXPECT_TRUE(mSession->isLoggedIn());
    EXPECT_EQ(groupName("1"), "Friends");
    EXPECT_EQ(groupName("2"), "Work");
    EXPECT_TRUE(groupListsBuddy("1", "100002"));
    EXPECT_EQ(PLBuddyManager::sharedManager().cmnForBuddyID("carol@parley.test"), "100003");
    EXPECT_EQ(PLBuddyManager::sharedManager().groupCacheNo(), 3);
    EXPECT_EQ(parley::PLMyInfoManager::sharedManager().cmn(), "100001");
    // The initial status went out and its reply was matched to its job.
    const auto status = waitFor("ParleyMyStatusChanged");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->userInfo.value("status").toInt(), 1);
    EXPECT_EQ(mSession->mJobQueue().count(), 0);
    // The managers heard of the new account and of the session.
    const QStringList calls = parley::PLManagerRegistry::standIn().calls();
    EXPECT_TRUE(calls.contains("setCMN 100001")) << calls.join(" | ").toStdString();
    EXPECT_TRUE(calls.contains("setSession set"));
    EXPECT_TRUE(calls.contains("setProxyMode 0  0"));

    ASSERT_TRUE(mSession->logout(true));
    EXPECT_TRUE(waitFor("ParleyLogoutCompleted"));
    EXPECT_EQ(parley::PLManagerRegistry::standIn().calls().count("reset"), 3); // cookies, chat rooms, peers
}

TEST_F(FacadeTest, StatusChangesAreSeenByTheOthers)
{
    ASSERT_TRUE(startAndSignIn());
    auto bob = peer("bob@parley.test", "bob-pw");
    // bob's sign-in announced him online to alice.
    const auto loggedIn = waitFor("ParleyBuddyManagerBuddyLoggedIn");
    ASSERT_TRUE(loggedIn);
    EXPECT_EQ(loggedIn->userInfo.value("velaID"), "bob@parley.test");
    EXPECT_EQ(PLBuddyManager::sharedManager().buddyForID("bob@parley.test")->status(), 1);

    // alice goes busy: bob hears it.
    ASSERT_TRUE(mSession->setMyStatus(2));
    EXPECT_EQ(bob->lineStartingWith("NTFY 0 alice@parley.test "),
              QByteArray("NTFY 0 alice@parley.test B 0 %00 1 ko.macm"));

    // bob leaves: alice sees him log out.
    const qsizetype before = mark();
    bob.reset();
    const auto logout = waitFor("ParleyBuddyManagerBuddyLogout", before);
    ASSERT_TRUE(logout);
    EXPECT_EQ(logout->userInfo.value("velaID"), "bob@parley.test");
}

TEST_F(FacadeTest, BuddyRequestAndAcceptance)
{
    ASSERT_TRUE(startAndSignIn());
    auto carol = peer("carol@parley.test", "carol-pw");
    carol->send("ADSB 5 REQST 100001 alice@parley.test 0 hello%20there\r\n");
    EXPECT_TRUE(carol->lineStartingWith("ADSB 5 REQST 100001 Alice%20Kim "));
    const auto request = waitFor("ParleyBuddyManagerRequestedAddBuddy");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->userInfo.value("fromID"), "carol@parley.test");
    EXPECT_EQ(request->userInfo.value("fromCMN"), "100003");
    EXPECT_EQ(request->userInfo.value("message"), "hello there");
    const auto carolRecord = PLBuddyManager::sharedManager().buddyForCMN("100003");
    ASSERT_TRUE(carolRecord);
    EXPECT_EQ(carolRecord->buddyFlags().at(3), QLatin1Char('1')); // she lists us now

    const qint32 cacheBefore = PLBuddyManager::sharedManager().groupCacheNo();
    ASSERT_TRUE(mSession->acceptAddBuddy("carol@parley.test", "100003", "1"));
    ASSERT_TRUE(parley::test::waitUntil([&] { return mSession->mJobQueue().count() == 0; }));
    EXPECT_EQ(PLBuddyManager::sharedManager().groupCacheNo(), cacheBefore + 1);
    EXPECT_TRUE(groupListsBuddy("1", "100003"));
    EXPECT_EQ(carolRecord->buddyFlags().left(2), "11");
}

TEST_F(FacadeTest, GroupsAreAddedRenamedAndRemovedWithTheGroupCacheNumber)
{
    ASSERT_TRUE(startAndSignIn());
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    ASSERT_TRUE(mSession->addGroup("Family"));
    ASSERT_TRUE(parley::test::waitUntil([&] { return buddies.groupForID("3") != nullptr && groupName("3") == "Family"; }));
    EXPECT_EQ(buddies.groupCacheNo(), 4);

    ASSERT_TRUE(mSession->renameGroup("3", "Kin"));
    ASSERT_TRUE(parley::test::waitUntil([&] { return groupName("3") == "Kin"; }));
    EXPECT_EQ(buddies.groupCacheNo(), 5);

    ASSERT_TRUE(mSession->removeGroup("3"));
    ASSERT_TRUE(parley::test::waitUntil([&] { return buddies.groupForID("3") == nullptr; }));
    EXPECT_EQ(buddies.groupCacheNo(), 6);
    EXPECT_EQ(mSession->mJobQueue().count(), 0);
}

TEST_F(FacadeTest, AnotherLoginSeesGroupChangesWithTidZero)
{
    ASSERT_TRUE(startAndSignIn());
    auto alice2 = peer("alice@parley.test", "alice-pw");
    alice2->send("ADDG 9 3 Pals\r\n");
    EXPECT_EQ(alice2->lineStartingWith("ADDG 9 "), QByteArray("ADDG 9 4 3"));
    ASSERT_TRUE(parley::test::waitUntil([] { return groupName("3") == "Pals"; }));
    EXPECT_EQ(PLBuddyManager::sharedManager().groupCacheNo(), 4);
}

TEST_F(FacadeTest, BulkMoveAppliesOnlyTheEntriesTheServerAccepted)
{
    ASSERT_TRUE(startAndSignIn());
    const qint32 cacheBefore = PLBuddyManager::sharedManager().groupCacheNo();
    const QVariantList items{
        QVariantMap{{"buddyCMN", "100002"}, {"buddyID", "bob@parley.test"}, {"fromGID", "1"}, {"targetGID", "2"}},
        // carol is not in group 1: the server refuses this entry.
        QVariantMap{{"buddyCMN", "100003"}, {"buddyID", "carol@parley.test"}, {"fromGID", "1"}, {"targetGID", "2"}}};
    ASSERT_TRUE(mSession->moveBuddies(items));
    ASSERT_TRUE(parley::test::waitUntil([&] { return mSession->mJobQueue().count() == 0; }));
    EXPECT_TRUE(groupListsBuddy("2", "100002"));
    EXPECT_FALSE(groupListsBuddy("1", "100002"));
    EXPECT_FALSE(groupListsBuddy("2", "100003") && groupListsBuddy("1", "100003"));
    EXPECT_TRUE(groupListsBuddy("2", "100003")); // where she was all along
    // The reply's new group-cache number is the one later group commands carry.
    EXPECT_EQ(PLBuddyManager::sharedManager().groupCacheNo(), cacheBefore + 1);
}

TEST_F(FacadeTest, MemosTravelBothWays)
{
    ASSERT_TRUE(startAndSignIn());
    auto bob = peer("bob@parley.test", "bob-pw");
    parley::PLNote note;
    note.addTargetID("bob@parley.test");
    note.setMessage("lunch?");
    ASSERT_TRUE(mSession->sendNote(&note));
    const auto line = bob->lineStartingWith("CMSG 0 alice@parley.test ");
    ASSERT_TRUE(line);
    const auto body = bob->readBytes(line->split(' ').last().toInt());
    ASSERT_TRUE(body);
    EXPECT_TRUE(body->startsWith("IMSG\r\n"));
    EXPECT_TRUE(body->endsWith("\r\n\r\nlunch?"));

    const QByteArray memo = "IMSG\r\nTitle:hi\r\n\r\nfirst\r\nsecond";
    bob->send("CMSG 7 Y " + QByteArray::number(memo.size() + 19) + "\r\nalice@parley.test\r\n" + memo);
    const auto received = waitFor("ParleyMessageReceived");
    ASSERT_TRUE(received);
    EXPECT_EQ(received->userInfo.value("command"), "IMSG");
    EXPECT_EQ(received->userInfo.value("Title"), "hi");
    EXPECT_EQ(received->userInfo.value("message"), "first\r\nsecond");
}

TEST_F(FacadeTest, InvitationsToAChatRoom)
{
    ASSERT_TRUE(startAndSignIn());
    auto bob = peer("bob@parley.test", "bob-pw");
    parley::PLRecordingManagers &managers = parley::PLManagerRegistry::standIn();
    managers.setAnswer("ipForSession", "127.0.0.1");
    managers.setAnswer("portForSession", 7001);
    ASSERT_TRUE(mSession->inviteBuddies({"bob@parley.test"}, "room-1"));
    const auto line = bob->lineStartingWith("CTOC 0 alice@parley.test ");
    ASSERT_TRUE(line);
    EXPECT_EQ(bob->readBytes(line->split(' ').last().toInt()),
              QByteArray("INVT alice@parley.test 127.0.0.1 7001 room-1"));

    const QByteArray invitation = "INVT bob@parley.test 127.0.0.1 7002 room-2";
    bob->send("CTOC 8 alice@parley.test N " + QByteArray::number(invitation.size()) + "\r\n" + invitation);
    const auto invited = waitFor("ParleyInvitedToChat");
    ASSERT_TRUE(invited);
    EXPECT_EQ(invited->userInfo.value("velaID"), "bob@parley.test");
    EXPECT_EQ(invited->userInfo.value("port"), "7002");
    EXPECT_EQ(invited->userInfo.value("key"), "room-2");
}

TEST_F(FacadeTest, InvitationWithAHostNameInsteadOfAnAddressIsDropped)
{
    ASSERT_TRUE(startAndSignIn());
    auto bob = peer("bob@parley.test", "bob-pw");
    const QByteArray invitation = "INVT bob@parley.test evil.example 7002 room-2";
    bob->send("CTOC 8 alice@parley.test N " + QByteArray::number(invitation.size()) + "\r\n" + invitation);
    const QByteArray memo = "IMSG\r\n\r\nafter";
    bob->send("CMSG 9 Y " + QByteArray::number(memo.size() + 19) + "\r\nalice@parley.test\r\n" + memo);
    ASSERT_TRUE(waitFor("ParleyMessageReceived")); // both have been handled by now
    EXPECT_FALSE(waitFor("ParleyInvitedToChat", 0, 0));
}

TEST_F(FacadeTest, AnErrorReplyFindsTheJobThatCausedIt)
{
    ASSERT_TRUE(startAndSignIn());
    ASSERT_TRUE(mSession->renameGroup("42", "Nowhere"));
    const auto error = waitFor("ParleyErrorCodeReceived");
    ASSERT_TRUE(error);
    const QVariantMap job = error->userInfo.value("jobInfo").toMap();
    EXPECT_EQ(job.value("desc"), "RenameGroup");
    EXPECT_EQ(job.value("groupID"), "42");
    EXPECT_EQ(error->userInfo.value("errorInfo").toMap().value("errorCode"), "206");
    EXPECT_EQ(mSession->mJobQueue().count(), 0);
}

TEST_F(FacadeTest, AForcedLogoutEndsTheSessionAndClearsTheJobs)
{
    auto &shell = static_cast<parley::PLRecordingShell &>(parley::PLShellServices::shared());
    ASSERT_TRUE(startAndSignIn());
    shell.clear();
    // A job that will never get its reply: the server is not told of it.
    ASSERT_TRUE(mSession->mDPSession());
    auto alice2 = peer("alice@parley.test", "alice-pw");
    alice2->send("KILS 5 A alice@parley.test\r\n");
    EXPECT_EQ(alice2->lineStartingWith("KILS 5 "), QByteArray("KILS 5 100"));
    ASSERT_TRUE(waitFor("ParleyMyIDLoggedInOtherPlace"));
    EXPECT_TRUE(waitFor("ParleySessionKilled"));
    EXPECT_EQ(mSession->mJobQueue().count(), 0);
    ASSERT_TRUE(parley::test::waitUntil([&] { return mSession->mDPSession() == nullptr; }));
    EXPECT_FALSE(mSession->isLoggedIn());
    // A KILL without a bridge code tells the user in an alert (its button the localized "OK").
    EXPECT_EQ(shell.calls().filter("showInformationalAlert"),
              QStringList{"showInformationalAlert Parley "
                          + parley::KCLocalizedString(QStringLiteral("LoginedAtTheOtherPlace")) + " "
                          + parley::KCLocalizedString(QStringLiteral("OK"))});
    EXPECT_TRUE(shell.calls().filter("bridgePageCall").isEmpty());
}

TEST_F(FacadeTest, AForcedLogoutWithABridgeCodeOpensTheBridgePageInsteadOfAnAlert)
{
    auto &shell = static_cast<parley::PLRecordingShell &>(parley::PLShellServices::shared());
    ASSERT_TRUE(startAndSignIn());
    shell.clear();
    mSession->dpSessionKillReceived(mSession->mDPSession(), {{"brcode", "2"}, {"brparam", "abc"}});
    EXPECT_EQ(shell.calls(), QStringList{"bridgePageCall 2 abc  -1"});
    ASSERT_TRUE(waitFor("ParleyMyIDLoggedInOtherPlace", 0, 0));
}

TEST_F(FacadeTest, SessionListOfTheOtherLogins)
{
    ASSERT_TRUE(startAndSignIn());
    auto alice2 = peer("alice@parley.test", "alice-pw");
    ASSERT_TRUE(mSession->requestSessionList("alice@parley.test"));
    const auto list = waitFor("ParleySessionList");
    ASSERT_TRUE(list);
    const QVariantList lines = list->userInfo.value("list").toList();
    ASSERT_EQ(lines.size(), 1);
    // Session key, media type, equipment type, language/OS, escaped display
    // name: the peer signed in second, so it has the account's second key.
    const QStringList fields = lines[0].toStringList();
    ASSERT_EQ(fields.size(), 5);
    EXPECT_EQ(fields[0], "100001-2");
    EXPECT_EQ(fields[1], "1");
    EXPECT_EQ(fields[2], "0");
    EXPECT_EQ(fields[3], "ko.macm");
    EXPECT_EQ(fields[4], "host");
}

TEST_F(FacadeTest, AServerThatStopsAnsweringTimesOut)
{
    // The shell allows the keepalive once the buddy list is in; the service
    // goes deaf at the first keepalive; ticks come every 20 ms.
    const auto allow = parley::NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("ParleyBuddyInfoDidDownloaded"), nullptr,
        [this](const parley::Notification &) { mSession->setIsAvailablePONG(true); });
    ASSERT_TRUE(startAndSignIn({"silent:PONG"}, 0.02));
    parley::NotificationCenter::defaultCenter().removeObserver(allow);
    EXPECT_TRUE(waitFor("ParleyServerDidNotResponse", 0, 10000));
}

TEST_F(FacadeTest, StoppingALoginInProgressStopsTheDispatchToo)
{
    mService = std::make_unique<localservice::LocalService>();
    QString error;
    ASSERT_TRUE(mService->start({}, &error));
    parley::PLEndpoints endpoints;
    endpoints.dispatchHost = "127.0.0.1";
    endpoints.dispatchPort = mService->dispatchPort();
    parley::PLEndpoints::setCurrent(endpoints);
    mSession = std::make_unique<parley::PLParleySession>();
    ASSERT_TRUE(mSession->loginWithUserID("alice@parley.test", "alice-pw", {}));
    ASSERT_TRUE(mSession->mDPLSession());
    EXPECT_TRUE(mSession->stopLogin());
    EXPECT_EQ(mSession->mDPLSession(), nullptr);
    EXPECT_TRUE(waitFor("ParleyLoginStoppedNotification", 0, 0));
    // Nothing of the stopped login goes on to the notification server.
    parley::test::waitUntil([] { return false; }, 300);
    EXPECT_EQ(mSession->mDPSession(), nullptr);
}

TEST_F(FacadeTest, AfterSignInTheCountsAndSisterServiceRepliesComeFromTheWeb)
{
    auto &shell = static_cast<parley::PLRecordingShell &>(parley::PLShellServices::shared());
    shell.clear();
    ASSERT_TRUE(startAndSignIn());
    EXPECT_TRUE(parley::test::waitUntil([&] {
        return shell.calls().contains("setMailCount 0") && shell.calls().contains("setMemoCount 0");
    }));
    EXPECT_TRUE(waitFor("ParleyOrchardMainAccountInfoReceived"));
    EXPECT_TRUE(waitFor("ParleyOrchardNewArticleInfoReceived"));
}

TEST_F(FacadeTest, APeerConnectionOfferIsTakenAndAnswered)
{
    ASSERT_TRUE(startAndSignIn());
    auto bob = peer("bob@parley.test", "bob-pw");
    parley::PLRecordingManagers &managers = parley::PLManagerRegistry::standIn();
    managers.setAnswer("createConnectSession", true);
    managers.setAnswer("p2pPortNo", 6004);
    parley::PLMyInfoManager::sharedManager().setIPAddress("127.0.0.1");
    const QByteArray offer = "REQC NEW 127.0.0.1:7000 ck-1\r\n";
    bob->send("CTOC 8 alice@parley.test N bobkey " + QByteArray::number(offer.size()) + "\r\n" + offer);
    const auto answer = bob->lineStartingWith("CTOC 0 alice@parley.test ");
    ASSERT_TRUE(answer);
    EXPECT_EQ(bob->readBytes(answer->split(' ').last().toInt()), QByteArray("REQC RES 127.0.0.1:6004 ck-1\r\n"));
    const QStringList calls = managers.calls();
    const auto created = std::find_if(calls.cbegin(), calls.cend(),
                                      [](const QString &c) { return c.startsWith("createConnectSession "); });
    ASSERT_NE(created, calls.cend());
    EXPECT_TRUE(created->contains("buddyID=bob@parley.test"));
    EXPECT_TRUE(created->contains("ip=127.0.0.1"));
    EXPECT_TRUE(created->contains("portNo=7000"));
    EXPECT_TRUE(created->contains("isSender=true"));
}

namespace {

// Every group with its name and the CMNs it files on and off the list, and
// every buddy's ID, name and flags.
QStringList buddyListSnapshot()
{
    const PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    QStringList lines;
    for (qsizetype i = 0; i < buddies.groupCount(); ++i) {
        const auto group = buddies.groupAtIndex(i);
        lines << QStringLiteral("group %1 %2 listed %3 unlisted %4")
                     .arg(group->groupID(), group->groupName(), group->mUserListDict().keys().join(','),
                          group->mNotFLBuddyDict().keys().join(','));
    }
    for (const auto &buddy : buddies.mBuddyDict())
        lines << QStringLiteral("buddy %1 %2 %3 %4")
                     .arg(buddy->buddyCMN(), buddy->velaID(), buddy->name(), buddy->buddyFlags());
    return lines;
}

} // namespace

TEST_F(FacadeTest, ASecondSignInWithTheSameGroupCacheRebuildsTheListFromTheCache)
{
    // Earlier sign-ins of this run left a current cache: start without one.
    QFile::remove(parley::PLGroupCachePathForUser(QStringLiteral("alice@parley.test")));
    ASSERT_TRUE(startAndSignIn());
    ASSERT_TRUE(waitFor("ParleyGroupInfoWillDownload"));
    const QStringList first = buddyListSnapshot();
    ASSERT_GE(first.size(), 4);
    ASSERT_TRUE(mSession->logout(true));
    ASSERT_TRUE(waitFor("ParleyLogoutCompleted"));

    const qsizetype again = mark();
    mSession->loginWithUserID(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"), {});
    ASSERT_TRUE(waitFor("ParleyLoginCompleted", again, 15000));
    // The server's number matched the file's: the groups came from the file.
    EXPECT_FALSE(waitFor("ParleyGroupInfoWillDownload", again, 0));
    EXPECT_TRUE(waitFor("ParleyGroupInfoDidDownloaded", again, 0));
    EXPECT_EQ(buddyListSnapshot(), first);
    EXPECT_EQ(PLBuddyManager::sharedManager().groupCacheNo(), 3);
}

TEST_F(FacadeTest, ASavedTokenHandedOverAsThePasswordGoesOutAsAToken)
{
    // The auto-login's second try hands the token over without the auto-login flag.
    ASSERT_TRUE(startAndSignIn());
    ASSERT_TRUE(mSession->logout(true));
    parley::UserDefaults &defaults = parley::UserDefaults::standardUserDefaults();
    const QVariantMap saved{{"accountname", defaults.objectForKey("accountname")},
                            {"accountDomain", defaults.objectForKey("accountDomain")},
                            {"accountToken", defaults.objectForKey("accountToken")}};
    defaults.setObjects({{"accountname", "alice"}, {"accountDomain", "parley.test"}, {"accountToken", "token-alice"}});
    const qsizetype again = mark();
    mSession->loginWithUserID(QStringLiteral("alice@parley.test"), QStringLiteral("token-alice"),
                              {{QLatin1String(parley::PLParleySession::kPasswordEncrypted), true}});
    EXPECT_TRUE(waitFor("ParleyLoginCompleted", again, 15000));
    EXPECT_FALSE(waitFor("ParleyErrorCodeReceived", again, 0));
    defaults.setObjects(saved);
}
