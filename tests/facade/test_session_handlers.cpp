// The notification-server session's buddy, group, presence, message and
// service handlers: wire lines (and bodies) in, delegate calls out.
#include "RecordingDelegate.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "NotificationCenter.h"
#include "Sessions/PLDPSession.h"
#include "Sessions/PLManagerRegistry.h"
#include "Sessions/PLRecordingManagers.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace facade::test;

namespace {

struct Case {
    const char *line;
    QByteArray body;        // fed after the line when not null
    const char *call;       // expected delegate call, or nullptr for none
    QVariantMap details;    // expected details (exactly)
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.line; }

class HandlerTest : public ::testing::TestWithParam<Case> {};

TEST_P(HandlerTest, TurnsTheLineIntoOneDelegateCall)
{
    const Case &c = GetParam();
    parley::PLMyInfoManager::sharedManager().setLoginID("me@parley.test");
    parley::PLDPSession session;
    RecordingDelegate delegate;
    session.setDelegate(&delegate);
    session.headerReceived(QString::fromUtf8(c.line));
    if (!c.body.isNull())
        session.bodyReceived(c.body);
    if (!c.call) {
        EXPECT_TRUE(delegate.calls.isEmpty()) << delegate.calls.value(0).name.toStdString();
        return;
    }
    ASSERT_EQ(delegate.calls.size(), 1);
    EXPECT_EQ(delegate.calls[0].name, QLatin1String(c.call));
    EXPECT_EQ(delegate.calls[0].details, c.details);
}

const QByteArray kNone; // no body

INSTANTIATE_TEST_SUITE_P(
    Lines, HandlerTest,
    ::testing::Values(
        Case{"INFY 0 bob o 0 %00 1 ko.macm", kNone, "dpSessionBuddyStatusChanged",
             {{"userID", "bob"}, {"status", "O"}, {"fileRoomType", "0"}, {"fileRoomName", ""},
              {"mediaType", "1"}, {"packetType", "INFY"}}},
        Case{"NTFY 0 bob o 0 %00 1 ko.macm 2 x 1", kNone, "dpSessionBuddyStatusChanged",
             {{"userID", "bob"}, {"status", "o"}, {"fileRoomType", "0"}, {"fileRoomName", ""},
              {"mediaType", "1"}, {"packetType", "NTFY"}, {"langOS", "ko.macm"}, {"sessionCount", "2"},
              {"noteOnly", "1"}}},
        Case{"NNIK 0 bob Big%20Bob", kNone, "dpSessionBuddyNickNameChanged",
             {{"velaID", "bob"}, {"nickName", "Big Bob"}}},
        Case{"NNIK 0 me@parley.test Me", kNone, nullptr, {}},
        Case{"ONST 12", kNone, "dpSessionChangeStatusResultReceived", {{"tid", "12"}}},
        Case{"ADSB 8 REJCT 123", kNone, "dpSessionRejectAddBuddyResultReceived",
             {{"tid", "8"}, {"event", "REJCT"}, {"targetCMN", "123"}, {"targetName", ""}, {"groupCache", ""},
              {"targetID", ""}, {"targetGID", ""}}},
        Case{"ADSB 0 REQST 123 Bob 37 02 bob 5", kNone, "dpSessionRequestAddBuddyResultReceived",
             {{"tid", "0"}, {"event", "REQST"}, {"targetCMN", "123"}, {"targetName", "Bob"}, {"groupCache", "37"},
              {"targetID", "bob"}, {"targetGID", "5"}}},
        Case{"ADDB 0 RL 123 bob", kNone, "dpSessionUserRegistersMeToBuddyListNotificationReceived",
             {{"fromCMN", "123"}, {"fromID", "bob"}, {"message", ""}}},
        Case{"ADDB 4 123", kNone, "dpSessionBuddyFlagChanged", {{"tid", "4"}, {"cmn", "123"}}},
        Case{"ADDB 4 FL 123 bob 0 Bob", kNone, nullptr, {}}, // a reply in the FL form is ignored
        Case{"RMVB 0 RL 123 bob", kNone, "dpSessionUserRemovesMeToBuddyListNotificationReceived",
             {{"tid", "0"}, {"fromCMN", "123"}, {"fromID", "bob"}, {"type", 2}}},
        Case{"RMVB 0 FL 123 bob", kNone, "dpSessionUserRemovesMeToBuddyListNotificationReceived",
             {{"tid", "0"}, {"fromCMN", "123"}, {"fromID", "bob"}, {"type", 3}}},
        Case{"RMVB 12 37", kNone, "dpSessionRequestRemoveBuddyResultReceived", {{"tid", "12"}, {"groupCache", "37"}}},
        Case{"ADDG 6 38 4", kNone, "dpSessionAddGroupResultReceived",
             {{"tid", "6"}, {"newGroupCache", "38"}, {"groupID", "4"}}},
        Case{"ADDG 0 38 4 Work%20mates", kNone, "dpSessionAddGroupResultReceived",
             {{"tid", "0"}, {"newGroupCache", "38"}, {"groupID", "4"}, {"groupName", "Work%20mates"}}},
        Case{"RENG 7 39", kNone, "dpSessionRenameGroupResultReceived", {{"tid", "7"}, {"newGroupCache", "39"}}},
        Case{"RMVG 0 40 4", kNone, "dpSessionRemoveGroupResultReceived",
             {{"tid", "0"}, {"newGroupCache", "40"}, {"groupID", "4"}}},
        Case{"RMBG 5 41 10", QByteArray("0 1234\r\n"), "dpSessionRemoveBuddiesResultReceived",
             {{"tid", "5"}, {"resultArray", QVariantList{QVariantMap{{"0", "1234"}}}},
              {"lines", QStringList{"0 1234", ""}}, {"newGroupCache", "41"}}},
        Case{"RMBG 5 x41 10", QByteArray("0 1234\r\n"), "dpSessionRemoveBuddiesResultReceived",
             {{"tid", "5"}, {"resultArray", QVariantList{QVariantMap{{"0", "1234"}}}},
              {"lines", QStringList{"0 1234", ""}}}},
        Case{"CTOC 0 bob key7 30", QByteArray("INVT bob 10.0.0.1 7001 room-1"), "dpSessionInvitedToChat",
             {{"velaID", "bob"}, {"ip", "10.0.0.1"}, {"port", "7001"}, {"key", "room-1"}}},
        Case{"CTOC 0 bob key7 24", QByteArray("INVT bob 10.0.0.1 7001"), nullptr, {}},
        Case{"CTOC 0 bob key7 40", QByteArray("INVT bob host.example 7001 room-1"), nullptr, {}},
        Case{"CTOC 0 bob key7 32", QByteArray("INVT bob 10.0.0.1 70000 room-1"), nullptr, {}},
        Case{"CTOC 0 bob key7 30", QByteArray("REQC NEW 10.0.0.2:6004 ck1\r\n"), "dpSessionRequestP2PConnectReceived",
             {{"subCmd", "NEW"}, {"ip", "10.0.0.2"}, {"port", 6004}, {"p2pCookie", "ck1"}, {"userID", "bob"},
              {"dpKey", "key7"}}},
        Case{"CTOC 0 bob key7 34", QByteArray("REQC FR 10.0.0.3:1863 ck1 fr9\r\n"), "dpSessionRequestP2PConnectReceived",
             {{"subCmd", "FR"}, {"ip", "10.0.0.3"}, {"port", "1863"}, {"p2pCookie", "ck1"}, {"frCookie", "fr9"},
              {"userID", "bob"}, {"dpKey", "key7"}}},
        Case{"CTOC 0 bob 29", QByteArray("REQC RES 10.0.0.2:6004 ck1\r\n"), nullptr, {}}, // no key to answer
        Case{"CTOC 0 bob key7 28", QByteArray("IMSG\r\na:b\r\nc:d:e\r\n\r\nhi\r\nyo"), "dpSessionMessageReceived",
             {{"command", "IMSG"}, {"a", "b"}, {"message", "hi\r\nyo"}}},
        // No blank line: header keys only, no "message".
        Case{"CMSG 0 bob 13", QByteArray("IMSG\r\nTitle:t"), "dpSessionMessageReceived",
             {{"command", "IMSG"}, {"Title", "t"}}},
        Case{"ALRM 0 NOTE bob 3 UG http%3A%2F%2Fx", kNone, "dpSessionAlrmReceived",
             {{"svcGB", "NOTE"}, {"from", "bob"}, {"text", "3"}, {"urlGB", "UG"}, {"url", "http://x"},
              {"svc_defined", ""}}},
        Case{"CALM 0 Q7ID bob t UG u a:b:2", kNone, "dpSessionCalmReceived",
             {{"svcGB", "Q7ID"}, {"from", "bob"}, {"text", "t"}, {"urlGB", "UG"}, {"url", "u"},
              {"svc_defined", "a:b:2 "}}},
        Case{"KILL 0", kNone, "dpSessionKillReceived", {{"tid", "0"}}},
        Case{"PNAK 9", kNone, "dpSessionPnakReceived", {{"tid", "9"}}},
        Case{"RESS 3 10.1.1.1 7002 room", kNone, "dpSessionSsInfoReceived",
             {{"tid", "3"}, {"ip", "10.1.1.1"}, {"port", 7002}, {"key", "room"}}},
        Case{"RESS 3 sb.example 7002 room", kNone, nullptr, {}},
        Case{"REFR 4 ::1 443 fr1", kNone, "dpSessionFrServerInfoReceived",
             {{"tid", "4"}, {"serverIP", "::1"}, {"portNo", 443}, {"frCookie", "fr1"}}},
        Case{"REFR 4 10.0.0.1 0 fr1", kNone, nullptr, {}},
        Case{"TICK 0 t%20k", kNone, "dpSessionTicketReceived", {{"ticket", "t k"}}}));

TEST(SessionNotifications, SessionListsCountsAndKills)
{
    parley::PLDPSession session;
    QList<parley::Notification> posted;
    const auto token = parley::NotificationCenter::defaultCenter().addObserver(
        QString(), &session, [&](const parley::Notification &n) { posted.append(n); });
    session.headerReceived("MCNT 0 O 3");
    session.headerReceived("MLST 5 me 0 0");
    session.headerReceived("MLST 6 me 2 43");
    session.bodyReceived("0 me 1.2.3.4 ko.macm O\r\n1 short line\r\n1 me 5.6.7.8 x A\r\n");
    session.headerReceived("KILS 7 100");
    session.headerReceived("KILL 0 BR7 param");
    parley::NotificationCenter::defaultCenter().removeObserver(token);

    ASSERT_EQ(posted.size(), 5);
    EXPECT_EQ(posted[0].name, "ParleySessionCount");
    EXPECT_EQ(posted[0].userInfo.value("count").toInt(), 3);
    EXPECT_EQ(posted[1].name, "ParleySessionList");
    EXPECT_TRUE(posted[1].userInfo.isEmpty());
    EXPECT_EQ(posted[2].userInfo.value("list").toList().size(), 2); // the 3-word line is left out
    EXPECT_EQ(posted[3].name, "ParleySessionReceiveKill");
    EXPECT_EQ(posted[3].userInfo, (QVariantMap{{"tid", "7"}, {"result", "100"}}));
    EXPECT_EQ(posted[4].name, "ParleySessionKilled");
    EXPECT_EQ(session.dpState(), parley::PLDPSession::Killed);
}

} // namespace
