// Chat-room commands: the lines a switchboard sends decode to the right
// fields, and the packets the client sends serialise to the exact bytes.

#include "Packet/PLRecvCRPTPacket.h"
#include "Packet/PLRecvENTRPacket.h"
#include "Packet/PLRecvESSKPacket.h"
#include "Packet/PLRecvJOINPacket.h"
#include "Packet/PLRecvMESGPacket.h"
#include "Packet/PLRecvPBLKPacket.h"
#include "Packet/PLRecvQUITPacket.h"
#include "Packet/PLRecvRESSPacket.h"
#include "Packet/PLRecvSPSHPacket.h"
#include "Packet/PLRecvUSERPacket.h"
#include "Packet/PLSendCRPTPacket.h"
#include "Packet/PLSendENTRPacket.h"
#include "Packet/PLSendESSKPacket.h"
#include "Packet/PLSendMESGPacket.h"
#include "Packet/PLSendRESSPacket.h"
#include "RecvPacketTestSupport.h"
#include "TestSupport.h"

#include <functional>

using namespace parley;
using namespace parley::test::recv;

TEST(ChatDecode, RESS)
{
    const struct {
        DecodeCase row;
        qint32 port;
    } cases[] = {
        {{"RESS 7 10.0.0.5 7001 room%20key", true, {{"ip", "10.0.0.5"}, {"port", "7001"}, {"key", "room key"}}}, 7001},
        // Items past the key are not looked at.
        {{"RESS 7 10.0.0.5 7001 k extra", true, {{"ip", "10.0.0.5"}, {"port", "7001"}, {"key", "k"}}}, 7001},
        {{"RESS 7 10.0.0.5 7001", false, {{"ip", "10.0.0.5"}, {"port", "7001"}}, true}, 7001},
        {{"RESS 7", false, {}, true}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvRESSPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->port(), c.port);
        EXPECT_EQ(packet->tID(), 7);
    }
    auto packet = decodeAs<PLRecvRESSPacket>(QStringLiteral("RESS 7 10.0.0.5 7001 room%20key"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->IP(), QStringLiteral("10.0.0.5"));
    EXPECT_EQ(packet->key(), QStringLiteral("room key"));
}

TEST(ChatDecode, ENTRHasNoFieldsAndIsAlwaysValid)
{
    for (const char *line : {"ENTR 3", "ENTR 3 anything more"}) {
        SCOPED_TRACE(line);
        auto packet = checkDecode<PLRecvENTRPacket>({line, true, {}});
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->command(), QStringLiteral("ENTR"));
    }
}

TEST(ChatDecode, USER)
{
    const Fields base = {{"idx", "1"}, {"count", "2"}, {"ID", "u1"}, {"nickName", "nick"}, {"name", "name"}};
    Fields full = base;
    full["pver"] = "3.0";
    full["deviceType"] = "1";
    const struct {
        DecodeCase row;
        qint32 index;
        qint32 count;
    } cases[] = {
        {{"USER 1 1 2 u1 nick name", true, base}, 1, 2},
        {{"USER 1 1 2 u1 nick name 3.0 1", true, full}, 1, 2},
        // Only the nine-item form carries version and device.
        {{"USER 1 1 2 u1 nick name 3.0", true, base}, 1, 2},
        {{"USER 1 1 2 u1 nick name 3.0 1 extra", true, base}, 1, 2},
        {{"USER 1 1 2 u%201 my%20nick 50%25", true,
          {{"idx", "1"}, {"count", "2"}, {"ID", "u 1"}, {"nickName", "my nick"}, {"name", "50%"}}},
         1, 2},
        {{"USER 1 1 2 u1 nick", false, {{"idx", "1"}, {"count", "2"}, {"ID", "u1"}, {"nickName", "nick"}}, true}, 1, 2},
        // Absent numbers: the index answers -1, the count 0.
        {{"USER 1", false, {}, true}, -1, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvUSERPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->index(), c.index);
        EXPECT_EQ(packet->count(), c.count);
    }
    auto packet = decodeAs<PLRecvUSERPacket>(QStringLiteral("USER 1 1 2 u1 nick name 3.0 1"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->ID(), QStringLiteral("u1"));
    EXPECT_EQ(packet->nickName(), QStringLiteral("nick"));
    EXPECT_EQ(packet->name(), QStringLiteral("name"));
    EXPECT_EQ(packet->pver(), QStringLiteral("3.0"));
    EXPECT_EQ(packet->deviceType(), QStringLiteral("1"));
    auto shortForm = decodeAs<PLRecvUSERPacket>(QStringLiteral("USER 1 1 2 u1 nick name"));
    ASSERT_TRUE(shortForm);
    EXPECT_TRUE(shortForm->pver().isNull());
}

TEST(ChatDecode, JOIN)
{
    const Fields base = {{"id", "u1"}, {"nickName", "nick"}, {"name", "name"}};
    Fields full = base;
    full["pver"] = "3.0";
    full["deviceType"] = "1";
    const DecodeCase cases[] = {
        {"JOIN 0 u1 nick name 3.0 1", true, full},
        {"JOIN 0 u1 nick name", true, base},
        {"JOIN 0 u1 nick name 3.0", true, base},
        {"JOIN 0 u1 nick name 3.0 1 extra", true, base},
        {"JOIN 0 u1 nick", false, {{"id", "u1"}, {"nickName", "nick"}}, true},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.line);
        checkDecode<PLRecvJOINPacket>(row);
    }
    auto packet = decodeAs<PLRecvJOINPacket>(QStringLiteral("JOIN 0 u1 nick name 3.0 1"));
    ASSERT_TRUE(packet);
    // The key is lower-case "id", the accessor ID().
    EXPECT_EQ(packet->ID(), QStringLiteral("u1"));
    EXPECT_EQ(packet->pver(), QStringLiteral("3.0"));
    EXPECT_EQ(packet->deviceType(), QStringLiteral("1"));
}

TEST(ChatDecode, QUITReasons)
{
    const struct {
        DecodeCase row;
        bool timeOut;
        bool overflow;
    } cases[] = {
        {{"QUIT 0 1", true, {{"ID", "1"}}}, true, false},
        {{"QUIT 0 2", true, {{"ID", "2"}}}, false, true},
        {{"QUIT 0 someone", true, {{"ID", "someone"}}}, false, false},
        {{"QUIT 0 u%201", true, {{"ID", "u 1"}}}, false, false},
        // A reason is read only on the three-item line.
        {{"QUIT 0 someone 1", true, {{"ID", "someone"}}}, false, false},
        {{"QUIT 0 1 x", true, {{"ID", "1"}}}, false, false},
        {{"QUIT 0 01", true, {{"ID", "01"}}}, false, false},
        {{"QUIT 0", false, {}, true}, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvQUITPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->isTimeOut(), c.timeOut);
        EXPECT_EQ(packet->isOverflow(), c.overflow);
    }
}

TEST(ChatDecode, MESGForms)
{
    const struct {
        DecodeCase row;
        qint32 packetType;
    } cases[] = {
        {{"MESG 12", true, {}}, PLRecvMESGPacket::Acknowledgement},
        {{"MESG 0 u%201 MSG hi%20there", true, {{"ID", "u 1"}, {"type", "MSG"}, {"msg", "hi there"}}},
         PLRecvMESGPacket::Message},
        {{"MESG 0 u1 TYPING 1 extra", true, {{"ID", "u1"}, {"type", "TYPING"}, {"msg", "1"}}},
         PLRecvMESGPacket::Message},
        // Three or four items fail, silently.
        {{"MESG 0 u1", false, {{"ID", "u1"}}, false}, 0},
        {{"MESG 0 u1 MSG", false, {{"ID", "u1"}, {"type", "MSG"}}, false}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvMESGPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->packetType(), c.packetType);
    }
    LogCapture log;
    auto packet = decodeAs<PLRecvMESGPacket>(QStringLiteral("MESG 0 u1"));
    EXPECT_TRUE(LogCapture::lines().isEmpty()) << LogCapture::all().toStdString();
}

TEST(ChatDecode, KeyCommands)
{
    const DecodeCase pblk[] = {
        {"PBLK 4 MIIBCgKC+/a=", true, {{"publicKey", "MIIBCgKC+/a="}}},
        {"PBLK 4 a%20b", true, {{"publicKey", "a b"}}},
        {"PBLK 4", false, {}, true},
    };
    for (const auto &row : pblk) {
        SCOPED_TRACE(row.line);
        checkDecode<PLRecvPBLKPacket>(row);
    }
    const DecodeCase essk[] = {
        {"ESSK 4 OK", true, {{"msg", "OK"}}},
        {"ESSK 4", false, {}, true},
    };
    for (const auto &row : essk) {
        SCOPED_TRACE(row.line);
        checkDecode<PLRecvESSKPacket>(row);
    }
    auto packet = decodeAs<PLRecvPBLKPacket>(QStringLiteral("PBLK 4 key"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->publicKey(), QStringLiteral("key"));
    auto answer = decodeAs<PLRecvESSKPacket>(QStringLiteral("ESSK 4 OK"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->msg(), QStringLiteral("OK"));
}

TEST(ChatDecode, CRPTEnvelope)
{
    const struct {
        DecodeCase row;
        qint32 bodyLen;
    } cases[] = {
        {{"CRPT 5 120", true, {{"bodyLen", "120"}}}, 120},
        {{"CRPT 5 x 64", true, {{"bodyLen", "64"}}}, 64},
        // Kept raw: the escape is not undone.
        {{"CRPT 5 1%202", true, {{"bodyLen", "1%202"}}}, 1},
        // Without a length the tid must not be taken for one.
        {{"CRPT 5", false, {}, true}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvCRPTPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->bodyLen(), c.bodyLen);
        EXPECT_TRUE(packet->bodyData().isNull());
    }
}

TEST(ChatDecode, SPSHTypes)
{
    const struct {
        DecodeCase row;
        qint32 packetType;
    } cases[] = {
        {{"SPSH 0 CUSTMSG hi%20all", true, {{"type", "CUSTMSG"}, {"msg", "hi all"}}}, PLRecvSPSHPacket::CustomMessage},
        {{"SPSH 0 BANKWARN x", true, {{"type", "BANKWARN"}, {"msg", "x"}}}, PLRecvSPSHPacket::BankWarning},
        {{"SPSH 0 HARDWARN x", true, {{"type", "HARDWARN"}, {"msg", "x"}}}, PLRecvSPSHPacket::HardWarning},
        // Unknown (or differently cased) words are dropped though read.
        {{"SPSH 0 OTHER x", false, {{"type", "OTHER"}, {"msg", "x"}}}, 0},
        {{"SPSH 0 custmsg x", false, {{"type", "custmsg"}, {"msg", "x"}}}, 0},
        // A short line fails without a log line.
        {{"SPSH 0 CUSTMSG", false, {{"type", "CUSTMSG"}}, false}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvSPSHPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->packetType(), c.packetType);
    }
    auto packet = decodeAs<PLRecvSPSHPacket>(QStringLiteral("SPSH 0 CUSTMSG hi%20all"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->msg(), QStringLiteral("hi all"));
}

namespace {

struct EncodeCase {
    const char *name;
    std::function<QByteArray()> make;
    QByteArray bytes;
};

QByteArray fullENTR()
{
    PLSendENTRPacket packet(4);
    packet.setID(QStringLiteral("me@x.com|serverkey"));
    packet.setNickName(QStringLiteral("my nick"));
    packet.setName(QStringLiteral("Name"));
    packet.setKey(QStringLiteral("roomkey"));
    packet.setCharEncodeType(QStringLiteral("UTF8"));
    packet.setEncrypt(QStringLiteral("C"));
    packet.setPver(QStringLiteral("3.0"));
    packet.setDeviceType(QStringLiteral("1"));
    packet.setClientVer(QStringLiteral("2.1"));
    packet.setOSVer(QStringLiteral("6.1"));
    packet.setLineSeq(QString());
    packet.setCMN(QStringLiteral("1234"));
    packet.setLangPack(QStringLiteral("ko_KR"));
    return packet.data();
}

} // namespace

TEST(ChatEncode, ExactBytes)
{
    const EncodeCase cases[] = {
        {"RESS", [] { return PLSendRESSPacket(9).data(); }, "RESS 9\r\n"},
        {"ENTR unset", [] { return PLSendENTRPacket(4).data(); },
         "ENTR 4 %00 %00 %00 %00 %00 %00 %00 %00 %00 %00 %00 %00 %00\r\n"},
        {"ENTR set", fullENTR,
         "ENTR 4 me@x.com|serverkey my%20nick Name roomkey UTF8 C 3.0 1 2.1 6.1 %00 1234 ko_KR\r\n"},
        {"MESG",
         [] {
             PLSendMESGPacket packet(3);
             packet.setType(QStringLiteral("MSG"));
             packet.setMsg(QStringLiteral("hi there 50%\r\nnext\tline"));
             return packet.data();
         },
         "MESG 3 MSG hi%20there%2050%25%0D%0Anext%09line\r\n"},
        {"MESG unset", [] { return PLSendMESGPacket(3).data(); }, "MESG 3 %00 %00\r\n"},
        {"ESSK",
         [] {
             PLSendESSKPacket packet(2);
             packet.setEncSSKey(QStringLiteral("q+/w=="));
             packet.setEncType(QStringLiteral("1"));
             return packet.data();
         },
         "ESSK 2 q+/w== 1\r\n"},
        // The length counts UTF-8 bytes, not characters.
        {"CRPT multi-byte",
         [] {
             PLSendCRPTPacket packet(5);
             packet.setBodyData(QStringLiteral("한글"));
             return packet.data();
         },
         "CRPT 5 6\r\n\xED\x95\x9C\xEA\xB8\x80"},
        // Bodies are never escaped, and a NUL inside is counted and sent.
        {"CRPT with NUL",
         [] {
             PLSendCRPTPacket packet(5);
             packet.setBodyData(QString::fromLatin1("a b\0c\r\n", 7));
             return packet.data();
         },
         QByteArray("CRPT 5 7\r\na b\0c\r\n", 17)},
        {"CRPT unset", [] { return PLSendCRPTPacket(5).data(); }, "CRPT 5 3\r\n%00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.make(), c.bytes);
    }
}

TEST(ChatEncode, SerialisingAgainGivesTheSameBytes)
{
    PLSendCRPTPacket packet(5);
    packet.setBodyData(QStringLiteral("MESG 3 MSG hi"));
    const QByteArray first = packet.data();
    EXPECT_EQ(packet.data(), first);
    EXPECT_EQ(packet.packetString(), QStringLiteral("CRPT 5 13\r\nMESG 3 MSG hi"));
}

TEST(ChatEncode, EncodedLinesDecodeBack)
{
    PLSendMESGPacket packet(8);
    packet.setType(QStringLiteral("MSG"));
    packet.setMsg(QStringLiteral("50% of a b %20"));
    QString line = packet.packetString();
    line.chop(2);
    // A switchboard relays the sender in front of the type.
    line.replace(QStringLiteral("MESG 8 "), QStringLiteral("MESG 8 u1 "));
    auto decoded = decodeAs<PLRecvMESGPacket>(line);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->msg(), QStringLiteral("50% of a b %20"));
}
