// The sign-in handlers fed server lines on a connected session: what reaches
// the delegate, the login state, and what the session sends next.
#include "SessionOnSink.h"

#include "TestSupport.h"

using namespace parley;
using namespace parley::test;

namespace {

class DetailsDelegate : public PLDPSessionDelegate
{
public:
    void dpSessionMyInfoReceived(PLDPSession *, const QVariantMap &d) override { add("myInfo", d); }
    void dpSessionGroupInfoReceived(PLDPSession *, const QVariantMap &d) override { add("groupInfo", d); }
    void dpSessionBuddyInfoReceived(PLDPSession *, const QVariantMap &d) override { add("buddyInfo", d); }
    void dpSessionNoBuddyInfoReceived(PLDPSession *, const QVariantMap &d) override { add("noBuddyInfo", d); }
    void dpSessionLoginCompleted(PLDPSession *, const QVariantMap &d) override { add("loginCompleted", d); }
    void dpSessionErrorCodeReceived(PLDPSession *, const QVariantMap &d) override { add("errorCode", d); }
    void dpSessionLoptReceived(PLDPSession *, const QVariantMap &d) override { add("lopt", d); }
    void dpSessionTokenReceived(PLDPSession *, const QVariantMap &d) override { add("token", d); }
    void dpSessionConfReceived(PLDPSession *, const QVariantMap &d) override { add("conf", d); }
    void dpSessionPublicKeyReceived(PLDPSession *, const QVariantMap &d) override { add("publicKey", d); }
    void add(const char *name, const QVariantMap &details)
    {
        names.append(QLatin1String(name));
        details_.append(details);
    }
    QStringList names;
    QList<QVariantMap> details_;
};

class HandlerTest : public SessionOnSinkTest
{
protected:
    void SetUp() override
    {
        SessionOnSinkTest::SetUp();
        mSession->setDelegate(&mDetails);
        // The session reads once it has sent a command, as in a sign-in.
        mSession->sendPacketString(QStringLiteral("HELLO\r\n"));
        ASSERT_EQ(waitForLines(1), QStringList({"HELLO"}));
        mSink.clear();
    }
    // Feeds server bytes, then a LOPT reply whose report shows that
    // everything before it was handled; answers the calls before it.
    QStringList feed(const QByteArray &bytes)
    {
        const qsizetype before = mDetails.names.size();
        mSink.reply(bytes + "LOPT 0 OK\r\n");
        if (!waitUntil([&] { return mDetails.names.mid(before).contains("lopt"); }))
            return {QStringLiteral("timeout")};
        QStringList calls = mDetails.names.mid(before);
        calls.removeLast();
        return calls;
    }
    QVariantMap lastDetails(const char *name) const
    {
        for (qsizetype i = mDetails.names.size() - 1; i >= 0; --i)
            if (mDetails.names[i] == QLatin1String(name))
                return mDetails.details_[i];
        return {};
    }
    DetailsDelegate mDetails;
};

const QByteArray kWords17 = "100001 Alice%20Kim Ally Y 1 dpk-1 %00 alice@parley.test 100001 alice.o 900001 010 "
                            "alice@parley.test %00 N tok tic";

QByteArray lin4(const QByteArray &encType, const QByteArray &body)
{
    return "LIN4 3 alice@parley.test " + encType + " " + QByteArray::number(body.size()) + "\r\n" + body;
}

} // namespace

TEST_F(HandlerTest, APlainSignInReplyDeliversTheSeventeenFields)
{
    EXPECT_EQ(feed(lin4("PLN", kWords17 + "\r\n")), QStringList({"myInfo"}));
    const QVariantMap info = lastDetails("myInfo");
    EXPECT_EQ(info.value("name").toString(), QStringLiteral("Alice Kim"));
    EXPECT_EQ(info.value("dpKey").toString(), QStringLiteral("dpk-1"));
    EXPECT_EQ(info.value("ticket").toString(), QStringLiteral("tic"));
    EXPECT_EQ(info.value("tid").toString(), QStringLiteral("3"));
    EXPECT_EQ(info.size(), 18);
    EXPECT_EQ(mSession->dpState(), PLDPSession::SignedIn);
}

TEST_F(HandlerTest, ASignInReplyThatYieldsNoFieldsLeavesTheState)
{
    const struct {
        const char *name;
        QByteArray encType;
        QByteArray body;
    } cases[] = {
        {"undecipherable", "NE3", "bm90IGEgc2Vzc2lvbg=="},
        {"unknownType", "XYZ", kWords17},
        {"sixteenWords", "PLN", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16"},
    };
    mSession->setEncryptKey(QStringLiteral("never-exported"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        mSession->setDpState(PLDPSession::KeyExchangeStarted);
        EXPECT_EQ(feed(lin4(c.encType, c.body)), QStringList());
        EXPECT_EQ(mSession->dpState(), PLDPSession::LIN4Replied);
    }
}

TEST_F(HandlerTest, AnUnchangedGroupCacheAsksForTheBuddiesAtOnce)
{
    ASSERT_TRUE(mSession->requestGLSTData(3));
    EXPECT_EQ(feed("GLST 1 3\r\n"), QStringList({"groupInfo"}));
    EXPECT_EQ(lastDetails("groupInfo"), QVariantMap({{"type", "Cache"}, {"groupCacheNo", 3u}, {"willDownloadGroup", false}}));
    EXPECT_EQ(mSession->dpState(), PLDPSession::BuddyListRequested);
    EXPECT_EQ(waitForLines(2), QStringList({"GLST 1 3", "LIST 2"}));
}

TEST_F(HandlerTest, AChangedGroupCacheWaitsForTheLastGroupLine)
{
    ASSERT_TRUE(mSession->requestGLSTData(3));
    EXPECT_EQ(feed("GLST 1 4\r\nGLST 1 0 2 Y 1 Friends 0\r\n"), QStringList({"groupInfo", "groupInfo"}));
    EXPECT_EQ(lastDetails("groupInfo"),
              QVariantMap({{"type", "Group"}, {"isLast", false}, {"groupId", "1"}, {"groupName", "Friends"}}));
    EXPECT_EQ(mSession->dpState(), PLDPSession::GroupCacheCurrent);
    EXPECT_EQ(mSession->mGroupCacheNo(), 4u);
    EXPECT_EQ(feed("GLST 1 1 2 N 100002 1\r\n"), QStringList({"groupInfo"}));
    EXPECT_EQ(lastDetails("groupInfo"),
              QVariantMap({{"type", "Buddy"}, {"isLast", true}, {"buddyCMN", "100002"}, {"groupId", "1"}}));
    EXPECT_EQ(mSession->dpState(), PLDPSession::BuddyListRequested);
    EXPECT_EQ(waitForLines(2), QStringList({"GLST 1 3", "LIST 2"}));
}

TEST_F(HandlerTest, TheLastBuddyLineCompletesTheLoginOnce)
{
    const QByteArray bob = "LIST 2 0 1 1101 bob@parley.test 100002 Bob%20Lee Bobby 010 bob@parley.test %00 %00 %00 Y "
                           "%00 %00 N\r\n";
    EXPECT_EQ(feed(bob), QStringList({"buddyInfo", "loginCompleted"}));
    EXPECT_EQ(lastDetails("buddyInfo").value("velaID").toString(), QStringLiteral("bob@parley.test"));
    EXPECT_EQ(lastDetails("buddyInfo").value("name").toString(), QStringLiteral("Bob Lee"));
    EXPECT_EQ(mSession->dpState(), PLDPSession::LoggedIn);
    // A list fetched again after login completes nothing.
    EXPECT_EQ(feed(bob), QStringList({"buddyInfo"}));
}

TEST_F(HandlerTest, AnEmptyBuddyListCompletesTheLogin)
{
    EXPECT_EQ(feed("LIST 2 0 0\r\n"), QStringList({"noBuddyInfo", "loginCompleted"}));
    EXPECT_TRUE(mSession->isLoggedIn());
}

TEST_F(HandlerTest, ErrorRepliesCarryTheirDetails)
{
    EXPECT_EQ(feed("301 5\r\n"), QStringList({"errorCode"}));
    EXPECT_EQ(lastDetails("errorCode"),
              QVariantMap({{"tid", "5"}, {"errorCode", "301"}, {"receivedData", "301 5"}}));
    EXPECT_EQ(feed("999 6 12 try%20later\r\n"), QStringList({"errorCode"}));
    EXPECT_EQ(lastDetails("errorCode"),
              QVariantMap({{"tid", "6"}, {"errorCode", "999"}, {"subCode", "12"}, {"message", "try later"}}));
}

TEST_F(HandlerTest, TheShortFormOfNCPTAnnouncesNothing)
{
    // Without its range the line reports nothing and waits for no body.
    EXPECT_EQ(feed("NCPT 1 BASE64 4\r\n"), QStringList());
    EXPECT_TRUE(mSession->isConnected());
}

TEST_F(HandlerTest, EachAnnouncedBodyReachesItsParser)
{
    const struct {
        const char *name;
        QByteArray wire;
        const char *call;
        QVariantMap details;
    } cases[] = {
        {"NCPT", "NCPT 1 PRM BASE64 4\r\nQUJD", "publicKey",
         {{"tid", "1"}, {"range", "PRM"}, {"encodeType", "BASE64"}, {"publicKey", QByteArray("QUJD")}}},
        {"CONF", "CONF 4 7 11\r\nmemo_ipml=x", "conf", {{"version", 7u}, {"conf", QByteArray("memo_ipml=x")}}},
        {"TOKN", "TOKN 9 PLN 9\r\ntok tic\r\n", "token", {{"tid", "9"}, {"token", "tok"}, {"ticket", "tic"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(feed(c.wire), QStringList({QLatin1String(c.call)}));
        EXPECT_EQ(lastDetails(c.call), c.details);
    }
    EXPECT_EQ(mSession->dpState(), PLDPSession::ConfReceived);
    EXPECT_EQ(mSession->mConfCache(), QByteArray("memo_ipml=x"));
}

TEST_F(HandlerTest, AnOlderSignInReplyThatCannotBeDecipheredDeliversNothing)
{
    mSession->setEncryptKey(QStringLiteral("never-exported"));
    EXPECT_EQ(feed("LSIN 2 bm90IGEgc2Vzc2lvbg==\r\n"), QStringList());
    EXPECT_EQ(mSession->dpState(), PLDPSession::LSINReplied);
}
