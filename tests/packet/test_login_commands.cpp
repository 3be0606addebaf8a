// Login-sequence commands: the exact lines the client writes and the fields it
// reads from the servers' answers.

#include "WireCaseSupport.h"

#include "Packet/PLRecvAUTHPacket.h"
#include "Packet/PLRecvKILLPacket.h"
#include "Packet/PLRecvLIN4Packet.h"
#include "Packet/PLRecvLOPTPacket.h"
#include "Packet/PLRecvLSINPacket.h"
#include "Packet/PLRecvNCPTPacket.h"
#include "Packet/PLRecvPINGPacket.h"
#include "Packet/PLRecvPONGPacket.h"
#include "Packet/PLRecvPRVKPacket.h"
#include "Packet/PLRecvPVERPacket.h"
#include "Packet/PLRecvREQSPacket.h"
#include "Packet/PLRecvTOKNPacket.h"
#include "Packet/PLSendAUTHPacket.h"
#include "Packet/PLSendLIN4Packet.h"
#include "Packet/PLSendLOPTPacket.h"
#include "Packet/PLSendLOUTPacket.h"
#include "Packet/PLSendLSINPacket.h"
#include "Packet/PLSendNCPTPacket.h"
#include "Packet/PLSendPINGPacket.h"
#include "Packet/PLSendPRVKPacket.h"
#include "Packet/PLSendPVERPacket.h"
#include "Packet/PLSendREQSPacket.h"

using namespace parley;
using namespace parley::test;

namespace {

// The sign-in text of a LIN4 packet with every field at its default.
const QByteArray kDefaultSignIn = "%00 %00 N N\r\n%00 %00 %00 %00 N N N\r\n%00\r\nN N N N\r\n";

void fillSignIn(PLSendLIN4Packet &p)
{
    p.setUserID(QStringLiteral("u@x"));
    p.setPassword(QStringLiteral("pw"));
    p.setPasswordType(QStringLiteral("2"));
    p.setHiddenRetryYN(QStringLiteral("Y"));
    p.setLocKey(QStringLiteral("LK"));
    p.setLangDotOS(QStringLiteral("ko.macm"));
    p.setClientVersion(QStringLiteral("3.0"));
    p.setCharEncodeType(QStringLiteral("UTF8"));
    p.setMasterID(QStringLiteral("M1"));
    p.setOsString(QStringLiteral("OSX"));
    p.setPcName(QStringLiteral("pc1"));
    p.setLocaleName(QStringLiteral("ko_KR"));
    p.setPCID(QStringLiteral("abcd"));
    p.setMultiSessionYN(QStringLiteral("Y"));
    p.setMobileYN(QStringLiteral("N"));
    p.setNoteOnlyYN(QStringLiteral("N"));
    p.setMVoipYN(QStringLiteral("Y"));
    p.setEncryptKey(QStringLiteral("sk"));
}

// Its sign-in text: values as they are, line by line in the protocol's order.
const QByteArray kFilledSignIn = "pw 2 Y LK\r\nko.macm 3.0 UTF8 M1 OSX pc1 ko_KR\r\nabcd\r\nY N N Y\r\n";

void fillLegacySignIn(PLSendLSINPacket &p)
{
    p.setUserID(QStringLiteral("u@x"));
    p.setPassword(QStringLiteral("pw"));
    p.setEncodeType(QStringLiteral("1"));
    p.setVersion(QStringLiteral("3.0"));
    p.setCharEncodeType(QStringLiteral("UTF8"));
    p.setLangDotOS(QStringLiteral("ko.macm"));
    p.setMasterID(QStringLiteral("M"));
    p.setPCID(QStringLiteral("abcd"));
    p.setMyPCName(QStringLiteral("pc"));
    p.setMyLocationKey(QStringLiteral("LK"));
    p.setEncryptKey(QStringLiteral("sk"));
}

const EncodeCase kEncodeCases[] = {
    {"PVER defaults", [] { return sendPacket<PLSendPVERPacket>(1); }, "PVER 1 %00 %00 %00\r\n"},
    {"PVER all",
     [] {
         return sendPacket<PLSendPVERPacket>(0, [](auto &p) {
             p.setTID(3, QStringLiteral("1.0.5"), QStringLiteral("PV 2"), QStringLiteral("ko.macm"));
         });
     },
     "PVER 3 1.0.5 PV%202 ko.macm\r\n"},
    {"AUTH", [] { return sendPacket<PLSendAUTHPacket>(0, [](auto &p) { p.setTID(2, QStringLiteral("MD5")); }); },
     "AUTH 2 MD5\r\n"},
    {"REQS",
     [] {
         return sendPacket<PLSendREQSPacket>(
             0, [](auto &p) { p.setTID(3, QStringLiteral("MD5"), QStringLiteral("user@example.com")); });
     },
     "REQS 3 MD5 user@example.com\r\n"},
    {"REQS empty user",
     [] { return sendPacket<PLSendREQSPacket>(0, [](auto &p) { p.setTID(3, QStringLiteral("MD5"), QString()); }); },
     "REQS 3 MD5 %00\r\n"},
    {"NCPT",
     [] {
         return sendPacket<PLSendNCPTPacket>(0,
                                             [](auto &p) { p.setTID(4, QStringLiteral("a b"), QStringLiteral("r")); });
     },
     "NCPT 4 a%20b r 0\r\n"},
    {"PRVK",
     [] {
         return sendPacket<PLSendPRVKPacket>(
             0, [](auto &p) { p.setTID(6, QStringLiteral("1"), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVW=")); });
     },
     "PRVK 6 1 24\r\nABCDEFGHIJKLMNOPQRSTUVW="},
    {"PRVK key left unset", [] { return sendPacket<PLSendPRVKPacket>(6); }, "PRVK 6 %00 3\r\n%00"},
    {"LOPT",
     [] {
         return sendPacket<PLSendLOPTPacket>(7, [](auto &p) {
             p.setBodyType(QStringLiteral("1"));
             p.setBody(QStringLiteral("a=1\r\n"));
         });
     },
     "LOPT 7 1 5\r\na=1\r\n"},
    {"LOPT counts UTF-8 bytes",
     [] {
         return sendPacket<PLSendLOPTPacket>(7, [](auto &p) {
             p.setBodyType(QStringLiteral("2"));
             p.setBody(QStringLiteral("n=한 글"));
         });
     },
     "LOPT 7 2 9\r\nn=\xED\x95\x9C \xEA\xB8\x80"},
    {"LOPT body left unset", [] { return sendPacket<PLSendLOPTPacket>(7); }, "LOPT 7 %00 3\r\n%00"},
    {"PING", [] { return sendPacket<PLSendPINGPacket>(0); }, "PING 0\r\n"},
    {"LOUT", [] { return sendPacket<PLSendLOUTPacket>(9); }, "LOUT 9\r\n"},
    {"LIN4 plain defaults",
     [] {
         return sendPacket<PLSendLIN4Packet>(1, [](auto &p) {
             p.setEncType(QStringLiteral("PLN"));
             p.setEncryptKey(QStringLiteral("sk"));
         });
     },
     "LIN4 1 %00 PLN 50\r\n" + kDefaultSignIn},
    {"LIN4 plain counts UTF-8 bytes",
     [] {
         return sendPacket<PLSendLIN4Packet>(1, [](auto &p) {
             p.setEncType(QStringLiteral("PLN"));
             p.setEncryptKey(QStringLiteral("sk"));
             p.setPcName(QStringLiteral("맥북"));
         });
     },
     "LIN4 1 %00 PLN 55\r\n%00 %00 N N\r\n%00 %00 %00 %00 N \xEB\xA7\xA5\xEB\xB6\x81 N\r\n%00\r\nN N N N\r\n"},
    {"LIN4 enciphered",
     [] {
         return sendPacket<PLSendLIN4Packet>(8, [](auto &p) {
             fillSignIn(p);
             p.setEncType(QStringLiteral("NE3"));
         });
     },
     "LIN4 8 u@x NE3 66\r\nE(sk)" + kFilledSignIn},
    {"LIN4 plain filled",
     [] {
         return sendPacket<PLSendLIN4Packet>(8, [](auto &p) {
             fillSignIn(p);
             p.setEncType(QStringLiteral("PLN"));
         });
     },
     "LIN4 8 u@x PLN 61\r\n" + kFilledSignIn},
    {"LIN4 unknown form has no body",
     [] {
         return sendPacket<PLSendLIN4Packet>(8, [](auto &p) {
             fillSignIn(p);
             p.setEncType(QStringLiteral("XYZ"));
         });
     },
     "LIN4 8 u@x XYZ 0\r\n"},
    {"LSIN", [] { return sendPacket<PLSendLSINPacket>(2, fillLegacySignIn); },
     "LSIN 2 E(sk)u@x%20pw%201%203.0%20UTF8%20ko.macm%20M%20abcd%20N%20pc%20LK\r\n"},
    {"LSIN defaults with a key",
     [] { return sendPacket<PLSendLSINPacket>(2, [](auto &p) { p.setEncryptKey(QStringLiteral("k")); }); },
     "LSIN 2 E(k)%2500%20%2500%20%2500%20%2500%20%2500%20%2500%20%2500%20%2500%20N%20%2500%20%2500\r\n"},
};

class LoginEncodeTest : public EncodeTableTest
{
protected:
    FakeEncipherer encipherer;
};

TEST_P(LoginEncodeTest, WritesExactBytes)
{
    expectEncodes(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, LoginEncodeTest, ::testing::ValuesIn(kEncodeCases));

// The enciphering packets write nothing when they cannot encipher, and say why.
struct NoLineCase {
    const char *name;
    bool installEncipherer;
    bool encipheringFails;
    std::function<std::unique_ptr<PLSendPacket>()> make;
};

void PrintTo(const NoLineCase &c, std::ostream *os)
{
    *os << c.name;
}

const NoLineCase kNoLineCases[] = {
    {"LIN4 plain without key", true, false,
     [] { return sendPacket<PLSendLIN4Packet>(1, [](auto &p) { p.setEncType(QStringLiteral("PLN")); }); }},
    {"LIN4 enciphered without key", true, false,
     [] { return sendPacket<PLSendLIN4Packet>(1, [](auto &p) { p.setEncType(QStringLiteral("NE3")); }); }},
    {"LIN4 with an empty key", true, false,
     [] {
         return sendPacket<PLSendLIN4Packet>(1, [](auto &p) {
             p.setEncType(QStringLiteral("NE3"));
             p.setEncryptKey(QStringLiteral(""));
         });
     }},
    {"LIN4 enciphering fails", true, true,
     [] {
         return sendPacket<PLSendLIN4Packet>(1, [](auto &p) {
             fillSignIn(p);
             p.setEncType(QStringLiteral("NE3"));
         });
     }},
    {"LIN4 no encipherer installed", false, false,
     [] {
         return sendPacket<PLSendLIN4Packet>(1, [](auto &p) {
             fillSignIn(p);
             p.setEncType(QStringLiteral("NE3"));
         });
     }},
    {"LSIN without key", true, false,
     [] { return sendPacket<PLSendLSINPacket>(2, [](auto &p) { p.setUserID(QStringLiteral("u")); }); }},
    {"LSIN enciphering fails", true, true, [] { return sendPacket<PLSendLSINPacket>(2, fillLegacySignIn); }},
    {"LSIN no encipherer installed", false, false, [] { return sendPacket<PLSendLSINPacket>(2, fillLegacySignIn); }},
};

class LoginNoLineTest : public ::testing::TestWithParam<NoLineCase>
{
};

TEST_P(LoginNoLineTest, ProducesNoLineAndLogsTheGuard)
{
    const NoLineCase &c = GetParam();
    std::unique_ptr<FakeEncipherer> encipherer;
    if (c.installEncipherer) {
        encipherer = std::make_unique<FakeEncipherer>();
        encipherer->fails = c.encipheringFails;
    }
    LogCapture log;
    auto packet = c.make();
    EXPECT_TRUE(packet->packetString().isNull());
    EXPECT_TRUE(packet->data().isNull());
    EXPECT_TRUE(log.contains(QStringLiteral("break : object is nil")));
}

INSTANTIATE_TEST_SUITE_P(Table, LoginNoLineTest, ::testing::ValuesIn(kNoLineCases));

TEST(LoginEncode, EnciphersAfreshOnEveryLine)
{
    FakeEncipherer encipherer;
    PLSendLIN4Packet packet(3);
    fillSignIn(packet);
    packet.setEncType(QStringLiteral("NE3"));
    ASSERT_FALSE(packet.data().isNull());
    packet.setPassword(QStringLiteral("other"));
    EXPECT_TRUE(packet.data().contains("E(sk)other 2 Y LK\r\n"));
    EXPECT_EQ(encipherer.calls, 2);
}

const DecodeCase kDecodeCases[] = {
    {"PVER 1 Y", true, {{"upgrade", "Y"}}},
    {"PVER 1 new%20version", true, {{"upgrade", "new version"}}},
    {"PVER 1", false, {}},
    {"AUTH 2 MD5", true, {{"authType", "MD5"}}},
    {"AUTH 2", false, {}},
    {"REQS 2 ns1 10.0.0.1 5004", true, {{"serverName", "ns1"}, {"ip", "10.0.0.1"}, {"port", "5004"}}},
    {"REQS 2 ns1", false, {{"serverName", "ns1"}}},
    {"REQS 2 ns1 10.0.0.1", false, {{"serverName", "ns1"}, {"ip", "10.0.0.1"}}},
    {"NCPT 9 1 200", true, {{"encodeType", "1"}, {"bodyLen", "200"}}},
    {"NCPT 9 PRM 1 200", true, {{"range", "PRM"}, {"encodeType", "1"}, {"bodyLen", "200"}}},
    {"NCPT 9 P%20R 1 200", true, {{"range", "P R"}, {"encodeType", "1"}, {"bodyLen", "200"}}},
    {"NCPT 9", true, {}},
    {"NCPT 9 a", true, {}},
    {"NCPT 9 a b c d", true, {}},
    {"PRVK 5 OK", true, {{"success", "OK"}}},
    {"PRVK 5 OK x", true, {}},
    {"PRVK 5", true, {}},
    {"LSIN 3 abc%20def", true, {{"encryptedBody", "abc def"}}},
    {"LSIN 3", true, {}},
    {"LIN4 3 x NE3 120", true, {{"encType", "NE3"}, {"bodyLen", "120"}}},
    {"LIN4 3 x P%20N 5", true, {{"encType", "P%20N"}, {"bodyLen", "5"}}},
    {"LIN4 3 x NE3", true, {{"encType", "NE3"}}},
    {"LIN4 3", true, {}},
    {"TOKN 0 NE3 64", true, {{"encType", "NE3"}, {"bodyLen", "64"}}},
    {"TOKN 0 N%20E 1", true, {{"encType", "N%20E"}, {"bodyLen", "1"}}},
    {"TOKN 0", true, {}},
    {"LOPT 4 OK", true, {{"result", "OK"}}},
    {"LOPT 4", false, {}},
    {"KILL 0 2 abc", true, {}},
    {"KILL 0 2", true, {}},
    {"PING 5", true, {}},
    {"PONG 7 x", true, {}},
};

using LoginDecodeTest = DecodeTableTest;

TEST_P(LoginDecodeTest, ReadsExactFields)
{
    expectDecodes(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, LoginDecodeTest, ::testing::ValuesIn(kDecodeCases));

TEST(LoginDecode, WordsDecodeToTheirClasses)
{
    LogCapture log;
    expectWordDecodesTo<PLRecvPVERPacket>("PVER");
    expectWordDecodesTo<PLRecvAUTHPacket>("AUTH");
    expectWordDecodesTo<PLRecvREQSPacket>("REQS");
    expectWordDecodesTo<PLRecvLSINPacket>("LSIN");
    expectWordDecodesTo<PLRecvLIN4Packet>("LIN4");
    expectWordDecodesTo<PLRecvTOKNPacket>("TOKN");
    expectWordDecodesTo<PLRecvNCPTPacket>("NCPT");
    expectWordDecodesTo<PLRecvPRVKPacket>("PRVK");
    expectWordDecodesTo<PLRecvLOPTPacket>("LOPT");
    expectWordDecodesTo<PLRecvKILLPacket>("KILL");
    expectWordDecodesTo<PLRecvPINGPacket>("PING");
    expectWordDecodesTo<PLRecvPONGPacket>("PONG");
    // Outgoing only: no decoder.
    EXPECT_EQ(decodeLine("LOUT 1"), nullptr);
}

TEST(LoginDecode, ReadersGiveValuesAndAbsentMarkers)
{
    LogCapture log;
    const auto reqs = decodeAs<PLRecvREQSPacket>("REQS 2 ns1 10.0.0.1 5004");
    EXPECT_EQ(reqs->serverName(), QStringLiteral("ns1"));
    EXPECT_EQ(reqs->serverIP(), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(reqs->serverPort(), 5004);
    EXPECT_EQ(decodeAs<PLRecvREQSPacket>("REQS 2 ns1")->serverPort(), -1);

    EXPECT_EQ(decodeAs<PLRecvNCPTPacket>("NCPT 9 1 200")->bodyLen(), 200);
    EXPECT_TRUE(decodeAs<PLRecvNCPTPacket>("NCPT 9 1 200")->range().isNull());
    EXPECT_EQ(decodeAs<PLRecvNCPTPacket>("NCPT 9")->bodyLen(), -1);
    EXPECT_EQ(decodeAs<PLRecvLIN4Packet>("LIN4 3 x NE3 120")->bodyLen(), 120);
    EXPECT_EQ(decodeAs<PLRecvLIN4Packet>("LIN4 3")->bodyLen(), -1);
    EXPECT_EQ(decodeAs<PLRecvTOKNPacket>("TOKN 0 NE3")->bodyLen(), -1);
    EXPECT_EQ(decodeAs<PLRecvTOKNPacket>("TOKN 0 NE3")->encType(), QStringLiteral("NE3"));
    EXPECT_EQ(decodeAs<PLRecvPRVKPacket>("PRVK 5 OK")->success(), QStringLiteral("OK"));
    EXPECT_EQ(decodeAs<PLRecvLSINPacket>("LSIN 3 a%0Ab")->encryptedBody(), QStringLiteral("a\nb"));
    EXPECT_EQ(decodeAs<PLRecvPVERPacket>("PVER 1 Y")->upgrade(), QStringLiteral("Y"));
    EXPECT_EQ(decodeAs<PLRecvAUTHPacket>("AUTH 1 MD5")->authType(), QStringLiteral("MD5"));
}

struct KillCase {
    const char *line;
    const char *brCode;
    const char *brParams;
};

TEST(LoginDecode, KillCarriesBreakCodeOnlyOnLongLines)
{
    const KillCase cases[] = {
        {"KILL 0 2 abc", "2", "abc"},
        {"KILL 0 7 a%20b extra", "7", "a%20b"},
        {"KILL 0 2", nullptr, nullptr},
        {"KILL 0", nullptr, nullptr},
    };
    for (const KillCase &c : cases) {
        SCOPED_TRACE(c.line);
        const auto packet = decodeAs<PLRecvKILLPacket>(c.line);
        const PLRecvKILLPacket &kill = *packet;
        EXPECT_TRUE(kill.isValid());
        EXPECT_EQ(kill.brCode(), c.brCode ? QString::fromUtf8(c.brCode) : QString());
        EXPECT_EQ(kill.brCode().isNull(), c.brCode == nullptr);
        EXPECT_EQ(kill.brParams(), c.brParams ? QString::fromUtf8(c.brParams) : QString());
    }
}

TEST(LoginDecode, ShortLinesLogTheParseErrorEvenWhenValid)
{
    struct Case {
        const char *line;
        const char *className;
        bool logged;
    };
    const Case cases[] = {
        {"REQS 2 ns1", "PLRecvREQSPacket", true},   {"LSIN 3", "PLRecvLSINPacket", true},
        {"LIN4 3 x", "PLRecvLIN4Packet", true},     {"TOKN 0", "PLRecvTOKNPacket", true},
        {"PRVK 5 OK x", "PLRecvPRVKPacket", false}, {"KILL 0", "PLRecvKILLPacket", false},
        {"NCPT 9", "PLRecvNCPTPacket", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        LogCapture log;
        decodeLine(c.line);
        const QString expected = QStringLiteral("Error: %1 parsing error   Message:").arg(QLatin1String(c.className));
        EXPECT_EQ(log.contains(expected), c.logged) << LogCapture::lines().join(u'|').toStdString();
        if (c.logged) {
            EXPECT_TRUE(log.contains(QStringLiteral("\nPacket String: ") + QString::fromUtf8(c.line)));
        }
    }
}

} // namespace
