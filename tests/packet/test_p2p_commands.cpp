// Peer-to-peer and relay commands: ATHC, FILE, PTPC, REFR, FRIN and RCON as
// decoded from the wire, and the FILE and ATHC lines the client sends.

#include "Packet/PLRecvATHCPacket.h"
#include "Packet/PLRecvFILEPacket.h"
#include "Packet/PLRecvFRINPacket.h"
#include "Packet/PLRecvPTPCPacket.h"
#include "Packet/PLRecvRCONPacket.h"
#include "Packet/PLRecvREFRPacket.h"
#include "Packet/PLSendATHCPacket.h"
#include "Packet/PLSendFILEPacket.h"
#include "RecvPacketTestSupport.h"
#include "TestSupport.h"

#include <functional>
#include <limits>

using namespace parley;
using namespace parley::test::recv;

TEST(P2PDecode, PTPCHasItsSubCommandInPlaceOfTheTid)
{
    const struct {
        DecodeCase row;
        qint32 tid;
        qint32 listenPort;
    } cases[] = {
        {{"PTPC NEW u1 10.0.0.1 6004 k1", true,
          {{"subComm", "NEW"}, {"ID", "u1"}, {"IP", "10.0.0.1"}, {"listenPort", "6004"}, {"p2pCookie", "k1"}}},
         0, 6004},
        {{"PTPC 12 u%201 10.0.0.1 6004 k1", true,
          {{"subComm", "12"}, {"ID", "u 1"}, {"IP", "10.0.0.1"}, {"listenPort", "6004"}, {"p2pCookie", "k1"}}},
         12, 6004},
        {{"PTPC NEW u1 10.0.0.1 6004", false,
          {{"subComm", "NEW"}, {"ID", "u1"}, {"IP", "10.0.0.1"}, {"listenPort", "6004"}}, true},
         0, 6004},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvPTPCPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->tID(), c.tid);
        EXPECT_EQ(packet->listenPort(), c.listenPort);
    }
    auto packet = decodeAs<PLRecvPTPCPacket>(QStringLiteral("PTPC NEW u1 10.0.0.1 6004 k1"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->subCommand(), QStringLiteral("NEW"));
    EXPECT_EQ(packet->ID(), QStringLiteral("u1"));
    EXPECT_EQ(packet->IP(), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(packet->p2pCookie(), QStringLiteral("k1"));
}

TEST(P2PDecode, FILEForms)
{
    using F = PLRecvFILEPacket;
    const struct {
        DecodeCase row;
        qint32 fileType;
    } cases[] = {
        {{"FILE 3 ACCEPT k1 0", true, {{"fileType", "ACCEPT"}, {"cookie", "k1"}}}, F::Accept},
        {{"FILE 3 CANCEL k%201 0", true, {{"fileType", "CANCEL"}, {"cookie", "k 1"}}}, F::Cancel},
        {{"FILE 3 INFO FILENAME 1024 CHAT 0", true, {{"fileType", "INFO"}, {"fileName", "FILENAME"}, {"fileSize", "1024"}}},
         F::Info},
        {{"FILE 3 START 0 0", true, {{"fileType", "START"}, {"startPos", "0"}}}, F::Start},
        {{"FILE 3 START 5000000000 0", true, {{"fileType", "START"}, {"startPos", "5000000000"}}}, F::Start},
        {{"FILE 3 DATA 4096", true, {{"fileType", "DATA"}, {"bodyLength", "4096"}}}, F::Data},
        {{"FILE 3 STOP 0", true, {{"fileType", "STOP"}}}, F::Stop},
        {{"FILE 3 END 0", true, {{"fileType", "END"}}}, F::End},
        {{"FILE 3 END 0 Y", true, {{"fileType", "END"}}}, F::End},
        {{"FILE 3 ENDRES 0", true, {{"fileType", "ENDRES"}}}, F::Other},
        {{"FILE 3 data 10", true, {{"fileType", "data"}}}, F::Other},
        // A DATA line without its length must not take the word for one.
        {{"FILE 3 DATA", false, {{"fileType", "DATA"}}, true}, F::Data},
        {{"FILE 3 ACCEPT", false, {{"fileType", "ACCEPT"}}, true}, F::Accept},
        {{"FILE 3 INFO FILENAME", false, {{"fileType", "INFO"}, {"fileName", "FILENAME"}}, true}, F::Info},
        {{"FILE 3", false, {}, true}, F::Other},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvFILEPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->fileType(), c.fileType);
    }
    auto packet = decodeAs<PLRecvFILEPacket>(QStringLiteral("FILE 3 INFO FILENAME 1024 CHAT 0"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->dataForKey(QStringLiteral("fileSize")), QStringLiteral("1024"));
    EXPECT_TRUE(packet->dataForKey(QStringLiteral("cookie")).isNull());
    const QByteArray payload("\x00\xff\x80", 3);
    packet->setBodyData(payload);
    EXPECT_EQ(packet->bodyData(), payload);
}

TEST(P2PDecode, ATHCRequestOrReplyByCount)
{
    using A = PLRecvATHCPacket;
    const struct {
        DecodeCase row;
        qint32 type;
        qint32 port;
    } cases[] = {
        {{"ATHC 0 100 6004 0", true, {{"responseCode", "100"}, {"listenPort", "6004"}}}, A::Reply, 6004},
        {{"ATHC 0 100 6004", true, {{"responseCode", "100"}, {"listenPort", "6004"}}}, A::Reply, 6004},
        {{"ATHC 1 u1 u2 k1 k2 6004 0", true,
          {{"fromID", "u1"}, {"targetID", "u2"}, {"p2pCookie", "k1"}, {"p2pAuthCookie", "k2"}, {"listenPort", "6004"}}},
         A::Request, 6004},
        // The direct request has no relay cookie: its port lands one place early.
        {{"ATHC 1 u1 u2 k1 6004 0", true,
          {{"fromID", "u1"}, {"targetID", "u2"}, {"p2pCookie", "k1"}, {"p2pAuthCookie", "6004"}, {"listenPort", "0"}}},
         A::Request, 0},
        {{"ATHC 1 u%201 u2 k1  6004", true,
          {{"fromID", "u 1"}, {"targetID", "u2"}, {"p2pCookie", "k1"}, {"p2pAuthCookie", ""}, {"listenPort", "6004"}}},
         A::Request, 6004},
        {{"ATHC 0 100", false, {{"responseCode", "100"}}, true}, A::Reply, 0},
        {{"ATHC 0", false, {}, true}, A::Reply, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row.line);
        auto packet = checkDecode<PLRecvATHCPacket>(c.row);
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->type(), c.type);
        EXPECT_EQ(packet->p2pNegoListenPort(), c.port);
    }
    auto request = decodeAs<PLRecvATHCPacket>(QStringLiteral("ATHC 1 u1 u2 k1 k2 6004 0"));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->fromID(), QStringLiteral("u1"));
    EXPECT_EQ(request->targetID(), QStringLiteral("u2"));
    EXPECT_EQ(request->p2pFRCookie(), QStringLiteral("k1"));
    EXPECT_EQ(request->p2pFRAuthCookie(), QStringLiteral("k2"));
    auto reply = decodeAs<PLRecvATHCPacket>(QStringLiteral("ATHC 0 100 6004 0"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->responseCode(), QStringLiteral("100"));
}

TEST(P2PDecode, REFRAndFRINNeedTheirExactCount)
{
    const struct {
        const char *line;
        bool valid;
        Fields fields;
    } refr[] = {
        {"REFR 2 10.0.0.9 80 k3", true, {{"REFRServerIP", "10.0.0.9"}, {"REFRPortNo", "80"}, {"REFRCookie", "k3"}}},
        // Kept raw.
        {"REFR 2 10.0.0.9 80 k%203", true, {{"REFRServerIP", "10.0.0.9"}, {"REFRPortNo", "80"}, {"REFRCookie", "k%203"}}},
        {"REFR 2 10.0.0.9 80", false, {}},
        {"REFR 2 10.0.0.9 80 k3 x", false, {}},
    };
    for (const auto &c : refr) {
        SCOPED_TRACE(c.line);
        LogCapture log;
        auto packet = decodeAs<PLRecvREFRPacket>(QString::fromLatin1(c.line));
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->isValid(), c.valid);
        EXPECT_EQ(fieldsOf(*packet), c.fields);
        EXPECT_EQ(LogCapture::all().startsWith(QLatin1String("break : flag is false (")), !c.valid);
        EXPECT_FALSE(parseErrorLogged());
    }
    auto packet = decodeAs<PLRecvREFRPacket>(QStringLiteral("REFR 2 10.0.0.9 80 k3"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->FRServerIP(), QStringLiteral("10.0.0.9"));
    EXPECT_EQ(packet->portNo(), QStringLiteral("80"));
    EXPECT_EQ(packet->FRCookie(), QStringLiteral("k3"));

    const struct {
        const char *line;
        bool valid;
        const char *code;
    } frin[] = {{"FRIN 4 200", true, "200"}, {"FRIN 4 2%200", true, "2%200"}, {"FRIN 4", false, nullptr},
                {"FRIN 4 200 x", false, nullptr}};
    for (const auto &c : frin) {
        SCOPED_TRACE(c.line);
        LogCapture log;
        auto packet = decodeAs<PLRecvFRINPacket>(QString::fromLatin1(c.line));
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->isValid(), c.valid);
        EXPECT_EQ(packet->code(), c.code ? QString::fromLatin1(c.code) : QString());
        EXPECT_EQ(LogCapture::all().startsWith(QLatin1String("break : flag is false (")), !c.valid);
    }
}

TEST(P2PDecode, RCONIsAlwaysValid)
{
    for (const char *line : {"RCON 3", "RCON 3 host 80"}) {
        SCOPED_TRACE(line);
        auto packet = checkDecode<PLRecvRCONPacket>({line, true, {}});
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->tID(), 3);
    }
}

namespace {

struct FileCase {
    const char *name;
    std::function<void(PLSendFILEPacket &)> form;
    QByteArray bytes;
};

} // namespace

TEST(P2PEncode, FILEForms)
{
    const FileCase cases[] = {
        {"accept", [](PLSendFILEPacket &p) { p.setFileAcceptWithCookie(QStringLiteral("k1")); }, "FILE 3 ACCEPT k1 0\r\n"},
        {"accept, empty cookie", [](PLSendFILEPacket &p) { p.setFileAcceptWithCookie(QString()); },
         "FILE 3 ACCEPT %00 0\r\n"},
        {"cancel", [](PLSendFILEPacket &p) { p.setFileCancelWithCookie(QStringLiteral("k 1")); },
         "FILE 3 CANCEL k%201 0\r\n"},
        // The name is not sent.
        {"info", [](PLSendFILEPacket &p) { p.setFileInfo(QStringLiteral("my file.txt"), 1024); },
         "FILE 3 INFO FILENAME 1024 CHAT 0\r\n"},
        {"start", [](PLSendFILEPacket &p) { p.setFileStartWithPosition(0); }, "FILE 3 START 0 0\r\n"},
        {"start far", [](PLSendFILEPacket &p) { p.setFileStartWithPosition(5000000000LL); },
         "FILE 3 START 5000000000 0\r\n"},
        {"stop", [](PLSendFILEPacket &p) { p.setFileStop(); }, "FILE 3 STOP 0\r\n"},
        {"end", [](PLSendFILEPacket &p) { p.setFileEnd(); }, "FILE 3 END 0\r\n"},
        // File bytes go out untouched, whatever they are.
        {"data", [](PLSendFILEPacket &p) { p.setFileDataWithBody(QByteArray("\x00\xff\x80", 3)); },
         QByteArray("FILE 3 DATA 3\r\n\x00\xff\x80", 18)},
        {"data, empty", [](PLSendFILEPacket &p) { p.setFileDataWithBody(QByteArray()); }, "FILE 3 DATA 0\r\n"},
        // A later form replaces the earlier one, body and all.
        {"data then end",
         [](PLSendFILEPacket &p) {
             p.setFileDataWithBody(QByteArray("abc"));
             p.setFileEnd();
         },
         "FILE 3 END 0\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PLSendFILEPacket packet(3);
        c.form(packet);
        EXPECT_EQ(packet.data(), c.bytes);
        EXPECT_EQ(packet.data(), c.bytes);
    }
}

TEST(P2PEncode, FILEDataLineAndPayload)
{
    PLSendFILEPacket packet(3);
    QByteArray chunk(8192, '\0');
    for (int i = 0; i < chunk.size(); ++i)
        chunk[i] = char(i * 7);
    packet.setFileDataWithBody(chunk);
    EXPECT_EQ(packet.body(), chunk);
    // The line alone, without the binary payload.
    EXPECT_EQ(packet.packetString(), QStringLiteral("FILE 3 DATA 8192\r\n"));
    EXPECT_EQ(packet.data(), QByteArray("FILE 3 DATA 8192\r\n") + chunk);

    // What the sender writes decodes on the other side to the announced length.
    auto decoded = decodeAs<PLRecvFILEPacket>(QStringLiteral("FILE 3 DATA 8192"));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->dataForKey(QStringLiteral("bodyLength")).toInt(), chunk.size());
}

// The sender builds DATA commands in place; its line must be the packet's.
TEST(P2PEncode, DataLineInPlaceMatchesThePacket)
{
    const qint32 tids[] = {0, 1, 9, 10, 8191, -5, std::numeric_limits<qint32>::max(), std::numeric_limits<qint32>::min()};
    const qint64 lengths[] = {0, 1, 9, 10, 999, 1000, 8190, 8191};
    for (const qint32 tid : tids) {
        for (const qint64 length : lengths) {
            SCOPED_TRACE(testing::Message() << "tid " << tid << ", length " << length);
            const QByteArray body(length, 'x');
            PLSendFILEPacket packet(tid);
            packet.setFileDataWithBody(body);
            QByteArray inPlace("prefix");
            PLSendFILEPacket::appendDataLine(inPlace, tid, length);
            inPlace.append(body);
            EXPECT_EQ(inPlace, QByteArray("prefix") + packet.data());
        }
    }
}

TEST(P2PEncode, ATHCReply)
{
    const struct {
        const char *name;
        std::function<void(PLSendATHCPacket &)> fill;
        QByteArray bytes;
    } cases[] = {
        {"acknowledgement", [](PLSendATHCPacket &p) { p.setTID(0, QStringLiteral("100"), 6004); }, "ATHC 0 100 6004 0\r\n"},
        {"unset", [](PLSendATHCPacket &) {}, "ATHC 0 %00 0 0\r\n"},
        {"fields one by one",
         [](PLSendATHCPacket &p) {
             p.setTID(9);
             p.setResponseCode(QStringLiteral("200"));
             p.setP2PFRListenPort(1863);
         },
         "ATHC 9 200 1863 0\r\n"},
        // A response code cannot add fields or a second command.
        {"hostile code", [](PLSendATHCPacket &p) { p.setTID(0, QStringLiteral("100 1\r\nKILL 0"), 6004); },
         "ATHC 0 100%201%0D%0AKILL%200 6004 0\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PLSendATHCPacket packet;
        c.fill(packet);
        EXPECT_EQ(packet.data(), c.bytes);
    }
    PLSendATHCPacket packet;
    packet.setTID(4, QStringLiteral("100"), 6004);
    EXPECT_EQ(packet.tID(), 4);
    EXPECT_EQ(packet.responseCode(), QStringLiteral("100"));
    EXPECT_EQ(packet.p2pNegoListenPort(), 6004);
}
