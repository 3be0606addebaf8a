// Senders of the notification-server session, on a session connected to a
// sink: exact lines, tids, refusals that send nothing, and the sign-in text.
#include "SessionOnSink.h"

#include "Packet/PLEncipherer.h"
#include "Sessions/PLRecordingShell.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/PLClientVersion.h"
#include "Utils/ParleyStringAdditions.h"

#include <QRegularExpression>

using namespace parley;
using namespace parley::test;

namespace {

// Marks its input instead of enciphering it, or fails when asked to.
class MarkingEncipherer : public PLEncipherer
{
public:
    QString enCryptMessage(const QString &text, const QString &key) override
    {
        return fail ? QString() : QStringLiteral("ENC[%1|%2]").arg(key, text);
    }
    bool fail = false;
};

class SenderTest : public SessionOnSinkTest
{
protected:
    void SetUp() override
    {
        SessionOnSinkTest::SetUp();
        PLEncipherer::setShared(&mEncipherer);
        PLShellServices::setShared(&mShell);
    }
    void TearDown() override
    {
        PLShellServices::setShared(nullptr);
        PLEncipherer::setShared(nullptr);
        SessionOnSinkTest::TearDown();
    }
    MarkingEncipherer mEncipherer;
    PLRecordingShell mShell;
};

struct SendCase {
    const char *name;
    std::function<bool(PLDPSession &)> send;
    // What the sink receives (empty: nothing may be sent and the sender answers false).
    QByteArray wire;
};

class SendTableTest : public SenderTest, public ::testing::WithParamInterface<SendCase>
{
};

QVariantMap item(const char *cmn, const char *id, const char *from, const char *target)
{
    QVariantMap map{{"buddyCMN", cmn}, {"buddyID", id}, {"fromGID", from}};
    if (target)
        map.insert("targetGID", target);
    return map;
}

} // namespace

TEST_P(SendTableTest, SendsExactlyItsLine)
{
    const SendCase &c = GetParam();
    const bool sent = c.send(*mSession);
    EXPECT_EQ(sent, !c.wire.isEmpty());
    // A marker line after it shows that nothing else went out before.
    mSession->sendPacketString(QStringLiteral("END\r\n"));
    ASSERT_TRUE(waitUntil([&] { return mSink.received().endsWith("END\r\n"); }));
    EXPECT_EQ(mSink.received(), c.wire + "END\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Senders, SendTableTest,
    ::testing::Values(
        SendCase{"PINGAndLOPTKeepTidZero",
                 [](PLDPSession &s) { return s.sendPINGPacket() && s.sendLOPTPacket() && s.sendRESSPacket(); },
                 "PING 0\r\nLOPT 0 TXT 19\r\nmemo_wnd_show=falseRESS 1\r\n"},
        SendCase{"CPRFOnePair", [](PLDPSession &s) { return s.sendCPRFPacket({{"mobile", "010"}}); },
                 "CPRF 1 10\r\nmobile=010"},
        SendCase{"CPRFTwoPairsJoinedOnce",
                 [](PLDPSession &s) { return s.sendCPRFPacket({{"b", "2"}, {"a", "1"}}); }, "CPRF 1 7\r\na=1&b=2"},
        SendCase{"CPRFEmpty", [](PLDPSession &s) { return s.sendCPRFPacket({}); }, "CPRF 1 0\r\n"},
        SendCase{"ADSBWithOnlyAnEvent", [](PLDPSession &s) { return s.sendADSBPacket({{"event", "REJCT"}}); },
                 "ADSB 1 REJCT %00 %00 %00 %00\r\n"},
        SendCase{"PRVKWithoutKeyIsRefused", [](PLDPSession &s) { return s.sendPRVKPacket({{"encodeType", "BASE64"}}); },
                 ""},
        SendCase{"RENGWithoutNameIsRefused", [](PLDPSession &s) { return s.sendRENGPacket({{"groupID", "1"}}); }, ""},
        SendCase{"ADDBWithoutCMNIsRefused",
                 [](PLDPSession &s) { return s.sendADDBPacket({{"flag", "FL"}, {"targetID", "a@b"}}); }, ""},
        SendCase{"ONSTWithoutALetterIsRefused", [](PLDPSession &s) { return s.sendONSTPacket(9); }, ""},
        SendCase{"ONSTBusy", [](PLDPSession &s) { return s.sendONSTPacket(2); }, "ONST 1 B 0 %00 1\r\n"},
        SendCase{"RMBGItemWithoutFromGroupIsRefused",
                 [](PLDPSession &s) {
                     return s.removeBuddies({item("7", "x@y", "1", nullptr), QVariantMap{{"buddyCMN", "8"}}}, "3");
                 },
                 ""},
        SendCase{"MVBGItemWithoutTargetIsRefused",
                 [](PLDPSession &s) { return s.moveBuddies({item("7", "x@y", "1", nullptr)}, "3"); }, ""},
        SendCase{"BatchWithoutItemsSendsNone", [](PLDPSession &s) { return s.copyBuddies({}, "3"); }, "CPBG 1 3 0\r\n"},
        SendCase{"PONGOnlyWhenEnabled", [](PLDPSession &s) { return s.sendPONG(); }, ""},
        SendCase{"REFRRawLine", [](PLDPSession &s) { return s.sendREFRPacket("bob@parley.test"); },
                 "REFR 1 bob@parley.test\r\n"},
        // The raw lines write no empty word and never split a value.
        SendCase{"REFRWithAnEmptyTextIsRefused", [](PLDPSession &s) { return s.sendREFRPacket(""); }, ""},
        SendCase{"REFRTextWithASpaceIsRefused", [](PLDPSession &s) { return s.sendREFRPacket("a b"); }, ""},
        SendCase{"GLSTKeepsTheCacheNumberForADDG",
                 [](PLDPSession &s) { return s.sendGLSTPacket(42) && s.sendADDGPacket("Pals"); },
                 "GLST 1 42\r\nADDG 2 42 Pals\r\n"},
        SendCase{"NegativeCacheNumbersAreRefused",
                 [](PLDPSession &s) { return s.requestCONFData(-1) || s.requestGLSTData(-1); }, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SenderTest, KILSAnswersTheTidItUsed)
{
    mSession->sendRESSPacket();
    EXPECT_EQ(mSession->sendKILSPacket(QStringLiteral("pc-2"), QStringLiteral("1")), 2);
    EXPECT_EQ(waitForLines(2), QStringList({"RESS 1", "KILS 2 1 pc-2"}));
}

TEST_F(SenderTest, MEMOREL1RegistersItsCookieUnderItsTid)
{
    mSession->sendRESSPacket();
    EXPECT_TRUE(mSession->sendMEMOREL1Packet(true, QStringLiteral("ck9"), 4, 20, false));
    EXPECT_EQ(mShell.calls(), QStringList({"setCookie ck9 2"}));
    ASSERT_TRUE(waitUntil([&] { return mSink.received().endsWith("read_yn=Y"); }));
    EXPECT_TRUE(mSink.received().contains("cookie=ck9&seq=4&count=20&read_yn=Y"));
}

struct SignInTextCase {
    const char *passwordType;
    const char *userID;
    // The first line of the sign-in text.
    const char *firstLine;
};

class LIN4Test : public SenderTest, public ::testing::WithParamInterface<SignInTextCase>
{
};

TEST_P(LIN4Test, ThePasswordFollowsItsType)
{
    const SignInTextCase &c = GetParam();
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(QStringLiteral("alice"), QStringLiteral("accountname"));
    defaults.setObject(QStringLiteral("parley.test"), QStringLiteral("accountDomain"));
    defaults.setObject(QStringLiteral("tok-1"), QStringLiteral("accountToken"));
    mSession->setUserID(QLatin1String(c.userID), QStringLiteral("pw"), false);
    mSession->setLoginOTP(QStringLiteral("otp-9"));
    mSession->setEncryptKey(QStringLiteral("KEY"));
    ASSERT_TRUE(mSession->sendLIN4Packet(QLatin1String(c.passwordType)));
    ASSERT_TRUE(waitUntil([&] { return mSink.received().endsWith("]"); }));
    const QString wire = QString::fromUtf8(mSink.received());
    EXPECT_TRUE(wire.startsWith(QStringLiteral("LIN4 1 %1 NE3 ").arg(QLatin1String(c.userID))));
    const QString text = wire.mid(wire.indexOf(QStringLiteral("ENC[KEY|")) + 8);
    EXPECT_TRUE(text.startsWith(QLatin1String(c.firstLine))) << text.toStdString();
    // The machine identity: PC-ID kept in the defaults, the OS string's shape.
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[2], defaults.objectForKey(QStringLiteral("PCID")).toString());
    EXPECT_EQ(lines[2].size(), 32);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^OSX-\\d+\\.\\d+\\.\\d+$"))
                    .match(lines[1].split(u' ').value(4))
                    .hasMatch())
        << lines[1].toStdString();
    EXPECT_EQ(lines[3], QStringLiteral("Y N N N"));
    // The build's version, between the language and the character set, and
    // every line with its count of words, none of them empty.
    EXPECT_EQ(lines[1].split(u' ').value(1), PLClientVersion());
    const int words[] = {4, 7, 1, 4};
    for (int i = 0; i < 4; ++i) {
        const QStringList w = lines[i].split(u' ');
        EXPECT_EQ(w.size(), words[i]) << lines[i].toStdString();
        EXPECT_FALSE(w.contains(QString())) << lines[i].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, LIN4Test,
    ::testing::Values(SignInTextCase{"NE3", "alice@parley.test", "ENC[KEY|pw] NE3 N "},
                      SignInTextCase{"PLN", "alice@parley.test", "pw PLN N "},
                      SignInTextCase{"OTP", "alice@parley.test", "otp-9 OTP N "},
                      SignInTextCase{"TKN", "alice@parley.test", "tok-1 TKN N "},
                      // Another account gets no token.
                      SignInTextCase{"TKN", "bob@parley.test", "%00 TKN N "}),
    [](const auto &info) { return std::string(info.param.passwordType) + (info.index == 4 ? "OtherAccount" : ""); });

TEST_F(SenderTest, ASignInWhosePasswordCannotBeEncipheredSendsNothing)
{
    mEncipherer.fail = true;
    mSession->setUserID(QStringLiteral("alice@parley.test"), QStringLiteral("pw"), false);
    mSession->setEncryptKey(QStringLiteral("KEY"));
    EXPECT_FALSE(mSession->sendLIN4Packet(QStringLiteral("NE3")));
    EXPECT_FALSE(mSession->sendLIN4Packet(QStringLiteral("PLN")));
    mSession->sendPacketString(QStringLiteral("END\r\n"));
    EXPECT_EQ(waitForLines(1), QStringList({"END"}));
}

TEST_F(SenderTest, LoginIdDropsOnlyThePortalsOwnDomain)
{
    const struct {
        const char *userID;
        const char *loginId;
    } cases[] = {{"alice@parley.test", "alice"}, {"alice@other.test", "alice@other.test"},
                 {"alice@evilparley.test", "alice@evilparley.test"}, {"alice", "alice"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.userID);
        mSession->setUserID(QLatin1String(c.userID), QStringLiteral("pw"), false);
        EXPECT_EQ(mSession->loginId(), QLatin1String(c.loginId));
    }
    mSession->setUserID(QStringLiteral("alice@parley.test"), QStringLiteral("Secret"), false);
    EXPECT_EQ(mSession->encryptedPassword(), QStringLiteral("%1").arg(md5String(QStringLiteral("Secretalice"))));
    mSession->setPassword(QStringLiteral("stored-hash"), true);
    EXPECT_EQ(mSession->encryptedPassword(), QStringLiteral("stored-hash"));
}

TEST_F(SenderTest, ASecondOneTimePasswordSignInReusesTheSavedPCID)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(QVariant(), QStringLiteral("PCID"));
    mSession->setUserID(QStringLiteral("alice@parley.test"), QStringLiteral("pw"), false);
    mSession->setLoginOTP(QStringLiteral("otp-1"));
    mSession->setEncryptKey(QStringLiteral("KEY"));
    ASSERT_TRUE(mSession->sendLSINOTPPacket());
    const QString pcid = defaults.objectForKey(QStringLiteral("PCID")).toString();
    EXPECT_EQ(pcid.size(), 18); // the time of the first one, to the millisecond, and "0"
    ASSERT_TRUE(mSession->sendLSINOTPPacket());
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("PCID")).toString(), pcid);
    const QStringList lines = waitForLines(2);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(pcid));
    EXPECT_EQ(lines[0].mid(6), lines[1].mid(6)); // all but "LSIN n"
}
