// Messaging and notice commands of the notification server: decode tables for
// every word and exact bytes for every send packet, bodies included.

#include "Packet/PLRecvALRMPacket.h"
#include "Packet/PLRecvCALMPacket.h"
#include "Packet/PLRecvCMSGPacket.h"
#include "Packet/PLRecvCTOCPacket.h"
#include "Packet/PLRecvDSELPacket.h"
#include "Packet/PLRecvIPRMPacket.h"
#include "Packet/PLRecvKILSPacket.h"
#include "Packet/PLRecvMCNTPacket.h"
#include "Packet/PLRecvMLSTPacket.h"
#include "Packet/PLRecvSMSGPacket.h"
#include "Packet/PLRecvTICKPacket.h"
#include "Packet/PLRecvWGETPacket.h"
#include "Packet/PLSendCMSGPacket.h"
#include "Packet/PLSendCTOCPacket.h"
#include "Packet/PLSendKILSPacket.h"
#include "Packet/PLSendMLSTPacket.h"
#include "Packet/PLSendWGETPacket.h"
#include "RecvPacketTestSupport.h"
#include "TestSupport.h"

#include <functional>

using namespace parley;
using namespace parley::test::recv;

TEST(MessageDecode, CTOC)
{
    const struct {
        DecodeCase row;
        const char *fromKey;
        qint32 bodyLen;
    } cases[] = {
        {{"CTOC 0 u%201 120", true, {{"fromID", "u 1"}, {"bodyLen", "120"}}}, "", 120},
        {{"CTOC 0 u1 k7 120", true, {{"fromID", "u1"}, {"bodyLen", "120"}}}, "k7", 120},
        // The key is kept raw.
        {{"CTOC 0 u1 k%207 120", true, {{"fromID", "u1"}, {"bodyLen", "120"}}}, "k%207", 120},
        // Only the five-item form has a key.
        {{"CTOC 0 u1 a b 120", true, {{"fromID", "u1"}, {"bodyLen", "120"}}}, "", 120},
        {{"CTOC 0 u1", false, {{"fromID", "u1"}}, true}, "", 0},
        {{"CTOC 0", false, {}, true}, "", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvCTOCPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->fromKey(), QString::fromUtf8(c.fromKey));
        EXPECT_EQ(packet->bodyLen(), c.bodyLen);
        EXPECT_TRUE(packet->bodyData().isNull());
    }
    auto packet = decodeAs<PLRecvCTOCPacket>(QStringLiteral("CTOC 0 u%201 120"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->fromID(), QStringLiteral("u 1"));
    packet->setBodyData(QStringLiteral("IMSG hi"));
    EXPECT_EQ(packet->bodyData(), QStringLiteral("IMSG hi"));
}

TEST(MessageDecode, CMSGPMSGAndSMSG)
{
    const struct {
        DecodeCase row;
        const char *command;
        qint32 tid;
        qint32 bodyLen;
    } cmsg[] = {
        {{"CMSG 0 u%201 5", true, {{"fromID", "u 1"}, {"bodyLen", "5"}}}, "CMSG", 0, 5},
        {{"CMSG 0 u1 x 30", true, {{"fromID", "u1"}, {"bodyLen", "30"}}}, "CMSG", 0, 30},
        // PMSG is decoded by the same class and keeps its word.
        {{"PMSG 9 u1 30", true, {{"fromID", "u1"}, {"bodyLen", "30"}}}, "PMSG", 9, 30},
        {{"PMSG 0 user01 12", true, {{"fromID", "user01"}, {"bodyLen", "12"}}}, "PMSG", 0, 12},
        {{"CMSG 0 u1", false, {{"fromID", "u1"}}, true}, "CMSG", 0, 0},
        {{"PMSG 3", false, {}, true}, "PMSG", 3, 0},
    };
    for (const auto &c : cmsg) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvCMSGPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->command(), QString::fromLatin1(c.command));
        EXPECT_EQ(packet->tID(), c.tid);
        EXPECT_EQ(packet->bodyLen(), c.bodyLen);
    }
    const DecodeCase smsg[] = {
        {"SMSG 0 u1 4", true, {{"fromID", "u1"}, {"bodyLen", "4"}}},
        {"SMSG 0 svc%20x 10 extra", true, {{"fromID", "svc x"}, {"bodyLen", "10"}}},
        {"SMSG 0 u1", false, {{"fromID", "u1"}}, true},
    };
    for (const auto &row : smsg) {
        SCOPED_TRACE(row.line);
        checkDecode<PLRecvSMSGPacket>(row);
    }
    auto packet = decodeAs<PLRecvSMSGPacket>(QStringLiteral("SMSG 0 u1 4"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->bodyLen(), 4);
    EXPECT_EQ(packet->fromID(), QStringLiteral("u1"));
}

TEST(MessageDecode, TICK)
{
    const DecodeCase cases[] = {
        {"TICK 0 t%20x", true, {{"ticket", "t x"}}},
        {"TICK 0 abc%2Bdef", true, {{"ticket", "abc%2Bdef"}}},
        {"TICK 0", false, {}, true},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.line);
        checkDecode<PLRecvTICKPacket>(row);
    }
    auto packet = decodeAs<PLRecvTICKPacket>(QStringLiteral("TICK 0 t%20x"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->ticket(), QStringLiteral("t x"));
}

TEST(MessageDecode, ALRMAndCALM)
{
    const Fields seven = {{"SVC_GB", "G"},  {"from", "u1"}, {"text", "hi you"},
                          {"URL_GB", "UG"}, {"URL", "link"}, {"SVC_Defined", ""}};
    auto withDefined = [&](const char *defined) {
        Fields fields = seven;
        fields["SVC_Defined"] = defined;
        return fields;
    };
    const DecodeCase cases[] = {
        {"0 G u1 hi%20you UG link", true, seven},
        // Items from the eighth on are raw, each followed by one space.
        {"0 G u1 hi%20you UG link a%20 b", true, withDefined("a%20 b ")},
        {"0 G u1 hi%20you UG link x", true, withDefined("x ")},
        {"0 G u1 hi%20you UG link ", true, withDefined(" ")},
        {"0 G u1 hi%20you UG", false, {{"SVC_GB", "G"}, {"from", "u1"}, {"text", "hi you"}, {"URL_GB", "UG"}}, true},
    };
    for (const auto &row : cases) {
        const std::string alrm = std::string("ALRM ") + row.line;
        const std::string calm = std::string("CALM ") + row.line;
        {
            SCOPED_TRACE(alrm);
            auto packet = checkDecode<PLRecvALRMPacket>({alrm.c_str(), row.valid, row.fields, row.logged});
            ASSERT_TRUE(packet);
            EXPECT_EQ(dynamic_cast<PLRecvCALMPacket *>(packet.get()), nullptr);
        }
        {
            SCOPED_TRACE(calm);
            checkDecode<PLRecvCALMPacket>({calm.c_str(), row.valid, row.fields, row.logged});
        }
    }
    auto packet = decodeAs<PLRecvCALMPacket>(QStringLiteral("CALM 0 G u1 hi%20you UG link a b"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->svcGB(), QStringLiteral("G"));
    EXPECT_EQ(packet->from(), QStringLiteral("u1"));
    EXPECT_EQ(packet->text(), QStringLiteral("hi you"));
    EXPECT_EQ(packet->urlGB(), QStringLiteral("UG"));
    EXPECT_EQ(packet->url(), QStringLiteral("link"));
    EXPECT_EQ(packet->svcDefined(), QStringLiteral("a b "));
}

TEST(MessageDecode, WGET)
{
    const Fields page = {{"subcomm", "MEMOCNT2"}, {"curpage", "1"}, {"totalpages", "1"}, {"resultcode", "100"},
                         {"bodylen", "12"}};
    Fields failed = page;
    failed["resultcode"] = "101";
    const struct {
        DecodeCase row;
        bool success;
        qint32 curPage;
        qint32 totalPages;
        qint32 bodyLen;
    } cases[] = {
        {{"WGET 5 MEMOCNT2 1 1 100 12", true, page}, true, 1, 1, 12},
        {{"WGET 5 MEMOCNT2 1 1 101 12", true, failed}, false, 1, 1, 12},
        {{"WGET 5 MEMOGET1 2 3 100 x 40", true,
          {{"subcomm", "MEMOGET1"}, {"curpage", "2"}, {"totalpages", "3"}, {"resultcode", "100"}, {"bodylen", "40"}}},
         true, 2, 3, 40},
        // Without a length the result code must not be read as one.
        {{"WGET 5 MEMOCNT2 1 1 100", false,
          {{"subcomm", "MEMOCNT2"}, {"curpage", "1"}, {"totalpages", "1"}, {"resultcode", "100"}}, true},
         true, 1, 1, 0},
        {{"WGET 5 MEMOCNT2", false, {{"subcomm", "MEMOCNT2"}}, true}, false, 0, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvWGETPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->isSuccess(), c.success);
        EXPECT_EQ(packet->curPage(), c.curPage);
        EXPECT_EQ(packet->totalPages(), c.totalPages);
        EXPECT_EQ(packet->bodyLen(), c.bodyLen);
    }
    auto packet = decodeAs<PLRecvWGETPacket>(QStringLiteral("WGET 5 MEMOCNT2 1 1 100 12"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->subCmd(), QStringLiteral("MEMOCNT2"));
    EXPECT_EQ(packet->resultCode(), QStringLiteral("100"));
}

TEST(MessageDecode, CountsAndSessionCommands)
{
    const struct {
        const char *line;
        bool valid;
        const char *status;
        qint32 count;
    } mcnt[] = {
        {"MCNT 0 O 3", true, "O", 3},
        {"MCNT 0 X 12", true, "X", 12},
        {"MCNT 0 O%20 3", true, "O%20", 3},
        // What was read stays; the count keeps its initial 1.
        {"MCNT 0 B", false, "B", 1},
        {"MCNT 0", false, "O", 1},
    };
    for (const auto &c : mcnt) {
        SCOPED_TRACE(c.line);
        auto packet = checkDecode<PLRecvMCNTPacket>({c.line, c.valid, {}, !c.valid});
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->status(), QString::fromLatin1(c.status));
        EXPECT_EQ(packet->count(), c.count);
    }
    const struct {
        const char *line;
        bool valid;
        const char *target;
        qint32 count;
        qint32 bodyLength;
    } mlst[] = {
        {"MLST 0 u1 2 40", true, "u1", 2, 40},
        {"MLST 0 u1 2 x 55", true, "u1", 2, 55},
        {"MLST 0 %00 0 0", true, "%00", 0, 0},
        // Without a length the count must not be read as one.
        {"MLST 0 u1 2", false, "u1", 2, 0},
        {"MLST 0", false, "%00", 0, 0},
    };
    for (const auto &c : mlst) {
        SCOPED_TRACE(c.line);
        auto packet = checkDecode<PLRecvMLSTPacket>({c.line, c.valid, {}, !c.valid});
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->target(), QString::fromLatin1(c.target));
        EXPECT_EQ(packet->count(), c.count);
        EXPECT_EQ(packet->bodyLength(), c.bodyLength);
    }
    const struct {
        const char *line;
        bool valid;
        const char *is100;
    } kils[] = {{"KILS 7 100", true, "100"}, {"KILS 7 200", true, "200"}, {"KILS 7", false, "100"}};
    for (const auto &c : kils) {
        SCOPED_TRACE(c.line);
        auto packet = checkDecode<PLRecvKILSPacket>({c.line, c.valid, {}, !c.valid});
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->is100(), QString::fromLatin1(c.is100));
    }
    auto closed = checkDecode<PLRecvDSELPacket>({"DSEL 0 1", true, {}});
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->brCode(), QStringLiteral("1"));
    auto bare = decodeAs<PLRecvDSELPacket>(QStringLiteral("DSEL 0"));
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->isValid());
    EXPECT_TRUE(bare->brCode().isNull());
}

TEST(MessageDecode, IPRMIsNeverValidAndNotLogged)
{
    for (const char *line : {"IPRM 0 x", "IPRM 0", "IPRM 5 a b c"}) {
        SCOPED_TRACE(line);
        LogCapture log;
        auto packet = decodeAs<PLRecvIPRMPacket>(QString::fromLatin1(line));
        ASSERT_TRUE(packet);
        EXPECT_FALSE(packet->isValid());
        EXPECT_EQ(packet->command(), QStringLiteral("IPRM"));
        EXPECT_TRUE(LogCapture::lines().isEmpty());
    }
}

namespace {

struct EncodeCase {
    const char *name;
    std::function<QByteArray()> make;
    QByteArray bytes;
};

PLSendCTOCPacket ctoc(const char *targetID, const char *ackType, const QString &targetKey, const QString &body)
{
    PLSendCTOCPacket packet(4);
    if (targetID)
        packet.setTargetID(QString::fromUtf8(targetID));
    if (ackType)
        packet.setAckType(QString::fromUtf8(ackType));
    packet.setTargetKey(targetKey);
    packet.setBody(body);
    return packet;
}

} // namespace

TEST(MessageEncode, ExactBytes)
{
    const EncodeCase cases[] = {
        {"CTOC from",
         [] {
             PLSendCTOCPacket packet(4);
             packet.setFromID(QStringLiteral("u 1"));
             packet.setBody(QStringLiteral("IMSG hi"));
             return packet.data();
         },
         "CTOC 4 u%201 7\r\nIMSG hi"},
        {"CTOC to with key", [] { return ctoc("u2", "N", QStringLiteral("key9"), QStringLiteral("REQC x")).data(); },
         "CTOC 4 u2 N key9 6\r\nREQC x"},
        {"CTOC to without key", [] { return ctoc("u2", "U", QString(), QStringLiteral("MAIL\r\n")).data(); },
         "CTOC 4 u2 U 6\r\nMAIL\r\n"},
        // The sender is not sent when there is a target.
        {"CTOC to ignores from",
         [] {
             PLSendCTOCPacket packet = ctoc("u2", "N", QString(), QStringLiteral("x"));
             packet.setFromID(QStringLiteral("me"));
             return packet.data();
         },
         "CTOC 4 u2 N 1\r\nx"},
        {"CTOC unset", [] { return PLSendCTOCPacket(4).data(); }, "CTOC 4 %00 3\r\n%00"},
        {"CTOC body with NUL", [] { return ctoc("u2", "N", QString(), QString::fromLatin1("a\0b", 3)).data(); },
         QByteArray("CTOC 4 u2 N 3\r\na\0b", 18)},
        {"CMSG",
         [] {
             PLSendCMSGPacket packet(5);
             packet.setConfirm(false);
             packet.setBodyData(QStringLiteral("abc"));
             return packet.data();
         },
         "CMSG 5 N 3\r\nabc"},
        {"CMSG confirmed, multi-byte",
         [] {
             PLSendCMSGPacket packet(5);
             packet.setBodyData(QStringLiteral("é"));
             return packet.data();
         },
         "CMSG 5 Y 2\r\n\xC3\xA9"},
        {"CMSG unset", [] { return PLSendCMSGPacket(5).data(); }, "CMSG 5 Y 3\r\n%00"},
        {"WGET empty body",
         [] {
             PLSendWGETPacket packet(6);
             packet.setSubCmd(QStringLiteral("MEMOCNT2"));
             packet.setBody(QLatin1String(""));
             return packet.data();
         },
         "WGET 6 MEMOCNT2 N 8192 0\r\n"},
        {"WGET no body",
         [] {
             PLSendWGETPacket packet(6);
             packet.setSubCmd(QStringLiteral("MEMOREL1"));
             return packet.data();
         },
         "WGET 6 MEMOREL1 N 8192 0\r\n"},
        {"WGET body with NUL",
         [] {
             PLSendWGETPacket packet(6);
             packet.setSubCmd(QStringLiteral("MEMOGET1"));
             packet.setBody(QString::fromLatin1("<id>7</id>\0x", 12));
             return packet.data();
         },
         QByteArray("WGET 6 MEMOGET1 N 8192 12\r\n<id>7</id>\0x", 39)},
        {"MLST unset", [] { return PLSendMLSTPacket(1).data(); }, "MLST 1 %00 0\r\n"},
        {"MLST",
         [] {
             PLSendMLSTPacket packet(1);
             packet.setTarget(QStringLiteral("u1"));
             return packet.data();
         },
         "MLST 1 u1 0\r\n"},
        {"KILS unset", [] { return PLSendKILSPacket(2).data(); }, "KILS 2 U %00\r\n"},
        {"KILS",
         [] {
             PLSendKILSPacket packet(2);
             packet.setTargetType(QStringLiteral("A"));
             packet.setTarget(QStringLiteral("pc 1"));
             return packet.data();
         },
         "KILS 2 A pc%201\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.make(), c.bytes);
    }
}

TEST(MessageEncode, BodyIsAppendedOnceHoweverOftenSerialised)
{
    PLSendCTOCPacket packet = ctoc("u2", "N", QString(), QStringLiteral("INVT1"));
    EXPECT_EQ(packet.data(), QByteArray("CTOC 4 u2 N 5\r\nINVT1"));
    EXPECT_EQ(packet.data(), QByteArray("CTOC 4 u2 N 5\r\nINVT1"));
    EXPECT_EQ(packet.packetString(), QStringLiteral("CTOC 4 u2 N 5\r\nINVT1"));
}
