// The whisper side channel: the header and TAB-led data items of WHSP lines,
// each type's item parser, and the exact lines the client sends.

#include "Packet/PLRecvWHSPPacket.h"
#include "Packet/PLSendWHSPPacket.h"
#include "RecvPacketTestSupport.h"
#include "TestSupport.h"
#include "Utils/PLClientVersion.h"

#include <QCoreApplication>
#include <functional>

using namespace parley;
using namespace parley::test::recv;

namespace {

using W = PLRecvWHSPPacket;

struct WhisperCase {
    const char *line;
    bool valid;
    qint32 type;
    qint32 subType;
    Fields data; // every parsed data item, "type" and "subType" included
    bool logged = false;
};

Fields dataOf(const PLRecvWHSPPacket &packet)
{
    Fields data;
    for (auto it = packet.dictData().cbegin(); it != packet.dictData().cend(); ++it)
        data[it.key().toStdString()] = it.value().toStdString();
    return data;
}

Fields withWords(const char *type, const char *subType, Fields data = {})
{
    data["type"] = type;
    data["subType"] = subType;
    return data;
}

bool whisperErrorLogged()
{
    return LogCapture::all().contains(QLatin1String("parsing data error"));
}

} // namespace

TEST(WhisperDecode, Table)
{
    const WhisperCase cases[] = {
        // Four items or fewer: a bare acknowledgement, nothing read.
        {"WHSP 0 u1 TYPING", true, W::Acknowledgement, 0, {}},
        {"WHSP 0", true, W::Acknowledgement, 0, {}},
        {"WHSP 0 u1 FILE REQUEST%092%09a%20b.txt|12|k1%09d.txt|5|k2", true, W::File, W::Request,
         withWords("FILE", "REQUEST",
                   {{"fileCount", "2"},
                    {"fileName0", "a b.txt"},
                    {"fileSize0", "12"},
                    {"cookie0", "k1"},
                    {"fileName1", "d.txt"},
                    {"fileSize1", "5"},
                    {"cookie1", "k2"}})},
        {"WHSP 0 u1 FILE ACK%091%09k1", true, W::File, W::Ack,
         withWords("FILE", "ACK", {{"fileCount", "1"}, {"cookie0", "k1"}})},
        {"WHSP 0 u1 FILE NACK%091%09a.txt|12", true, W::File, W::Nack,
         withWords("FILE", "NACK", {{"fileCount", "1"}, {"fileName0", "a.txt"}, {"fileSize0", "12"}})},
        {"WHSP 0 u1 FILE CANCEL%091%09a|b|c|d", true, W::File, W::Cancel,
         withWords("FILE", "CANCEL", {{"fileCount", "1"}, {"fileName0", "a"}, {"fileSize0", "b"}, {"cookie0", "c"}})},
        // An escaped "%" never forms the item separator.
        {"WHSP 0 u1 FILE REQUEST%091%09a%2509b|1|k", true, W::File, W::Request,
         withWords("FILE", "REQUEST", {{"fileCount", "1"}, {"fileName0", "a%09b"}, {"fileSize0", "1"}, {"cookie0", "k"}})},
        {"WHSP 0 u1 FILE REQUEST%090", true, W::File, W::Request, withWords("FILE", "REQUEST", {{"fileCount", "0"}})},
        {"WHSP 0 u1 FILE REQUEST%09-4", true, W::File, W::Request, withWords("FILE", "REQUEST", {{"fileCount", "-4"}})},
        // Fewer entries than announced, or no count: logged and dropped.
        {"WHSP 0 u1 FILE REQUEST%093%09a|1|k1%09b|2|k2", false, W::File, W::Request,
         withWords("FILE", "REQUEST",
                   {{"fileCount", "3"},
                    {"fileName0", "a"},
                    {"fileSize0", "1"},
                    {"cookie0", "k1"},
                    {"fileName1", "b"},
                    {"fileSize1", "2"},
                    {"cookie1", "k2"}}),
         true},
        {"WHSP 0 u1 FILE REQUEST%092147483647", false, W::File, W::Request,
         withWords("FILE", "REQUEST", {{"fileCount", "2147483647"}}), true},
        {"WHSP 0 u1 FILE REQUEST", false, W::File, W::Request, withWords("FILE", "REQUEST"), true},
        {"WHSP 0 u1 ANIMICON OBJECT%09x%20y", true, W::Animicon, W::Object,
         withWords("ANIMICON", "OBJECT", {{"animicon", "x%20y"}})},
        {"WHSP 0 u1 ANIMICON OBJECT%09x%09y", false, W::Animicon, W::Object, withWords("ANIMICON", "OBJECT"), true},
        {"WHSP 0 u1 ANIMICON OBJECT", false, W::Animicon, W::Object, withWords("ANIMICON", "OBJECT"), true},
        {"WHSP 0 u1 ANIMICON ACK", true, W::Animicon, W::Ack, withWords("ANIMICON", "ACK")},
        {"WHSP 0 u1 ANIMICON NACK%09x", true, W::Animicon, W::Nack, withWords("ANIMICON", "NACK")},
        {"WHSP 0 u1 ANIMICON REQUEST", false, W::Animicon, W::Request, withWords("ANIMICON", "REQUEST"), true},
        {"WHSP 0 u1 ANIMICON USEFLAG", false, W::Animicon, W::UseFlag, withWords("ANIMICON", "USEFLAG"), true},
        // No parser: dropped without a log line.
        {"WHSP 0 u1 GTCON REQUEST", false, W::GTCon, W::Request, withWords("GTCON", "REQUEST")},
        {"WHSP 0 u1 NEWTYPE REQUEST", false, W::UnknownType, W::Request, withWords("NEWTYPE", "REQUEST")},
        // An unknown sub-type carries no data and is valid whatever the type.
        {"WHSP 0 u1 EMOTICON UNKNOWN%093.0", true, W::Emoticon, 0, withWords("EMOTICON", "UNKNOWN")},
        {"WHSP 0 u1 GTCON UNKNOWN%093.0", true, W::GTCon, 0, withWords("GTCON", "UNKNOWN")},
        {"WHSP 0 u1 FILE request%091%09k", true, W::File, 0, withWords("FILE", "request")},
        {"WHSP 0 u1 MSG REQUEST%09x", true, W::Msg, W::Request, withWords("MSG", "REQUEST")},
        {"WHSP 0 u1 AWAYMSG ACK", true, W::AwayMsg, W::Ack, withWords("AWAYMSG", "ACK")},
        {"WHSP 0 u1 INK REQUEST", true, W::Ink, W::Request, withWords("INK", "REQUEST")},
        {"WHSP 0 u1 AVCHAT REQUEST", true, W::AvChat, W::Request, withWords("AVCHAT", "REQUEST")},
        {"WHSP 0 u1 AVCHAT2 ACK", true, W::AvChat2, W::Ack, withWords("AVCHAT2", "ACK")},
        {"WHSP 0 u1 AVCHAT2_REC NACK", true, W::AvChat2Rec, W::Nack, withWords("AVCHAT2_REC", "NACK")},
        {"WHSP 0 u1 ADDR CANCEL", true, W::Addr, W::Cancel, withWords("ADDR", "CANCEL")},
        {"WHSP 0 u1 PLUGIN OBJECT", true, W::PlugIn, W::Object, withWords("PLUGIN", "OBJECT")},
        {"WHSP 0 u1 KEYWORD USEFLAG", true, W::Keyword, W::UseFlag, withWords("KEYWORD", "USEFLAG")},
        {"WHSP 0 u1 BKIMG REQUEST%091 bg%20x.png|100|k9", true, W::BkImg, W::Request,
         withWords("BKIMG", "REQUEST", {{"fileCount", "1"}, {"fileName", "bg x.png"}, {"fileSize", "100"}, {"cookie", "k9"}})},
        {"WHSP 0 u1 BKIMG REQUEST%091", false, W::BkImg, W::Request, withWords("BKIMG", "REQUEST")},
        {"WHSP 0 u1 BKIMG REQUEST%091 bg.png|100", false, W::BkImg, W::Request, withWords("BKIMG", "REQUEST")},
        {"WHSP 0 u1 BKIMG REQUEST", false, W::BkImg, W::Request, withWords("BKIMG", "REQUEST"), true},
        {"WHSP 0 u1 DPIMG NACK%09c1", true, W::DpImg, W::Nack, withWords("DPIMG", "NACK", {{"cookie", "c1"}})},
        {"WHSP 0 u1 DPIMG REQUEST", true, W::DpImg, W::Request, withWords("DPIMG", "REQUEST")},
        {"WHSP 0 u1 DPIMG ACK%09c1", false, W::DpImg, W::Ack, withWords("DPIMG", "ACK")},
        {"WHSP 0 u1 DPIMG NACK", false, W::DpImg, W::Nack, withWords("DPIMG", "NACK"), true},
        {"WHSP 0 u1 DPIREQUEST CANCEL%093", true, W::DPIRequest, W::Cancel,
         withWords("DPIREQUEST", "CANCEL", {{"index", "3"}})},
        // The separator inside the header leaves it without a sub-type.
        {"WHSP 0 u1 FILE%09REQUEST x", false, 0, 0, {}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        LogCapture log;
        auto packet = decodeAs<PLRecvWHSPPacket>(QString::fromUtf8(c.line));
        ASSERT_TRUE(packet);
        EXPECT_EQ(packet->isValid(), c.valid);
        EXPECT_EQ(packet->packetType(), c.type);
        EXPECT_EQ(packet->packetSubType(), c.subType);
        EXPECT_EQ(dataOf(*packet), c.data);
        EXPECT_EQ(whisperErrorLogged(), c.logged) << LogCapture::all().toStdString();
        EXPECT_FALSE(parseErrorLogged());
    }
}

TEST(WhisperDecode, HeaderFields)
{
    auto packet = decodeAs<PLRecvWHSPPacket>(QStringLiteral("WHSP 7 u%201 FILE ACK%091%09k1"));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->tID(), 7);
    EXPECT_EQ(fieldsOf(*packet), (Fields{{"ID", "u 1"}, {"type", "FILE"}, {"subType", "ACK"}}));
    EXPECT_EQ(packet->ID(), QStringLiteral("u 1"));
    EXPECT_EQ(packet->msg(), QStringLiteral("ACK"));
    EXPECT_EQ(packet->dataForKey(QStringLiteral("cookie"), 0), QStringLiteral("k1"));
    EXPECT_EQ(packet->dataForKey(QStringLiteral("fileCount")), QStringLiteral("1"));
    EXPECT_TRUE(packet->dataForKey(QStringLiteral("cookie"), 1).isNull());

    auto bare = decodeAs<PLRecvWHSPPacket>(QStringLiteral("WHSP 0 u1 TYPING"));
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->ID().isNull());
}

TEST(WhisperDecode, FailureLogNamesTheTypeAndTheLine)
{
    LogCapture log;
    const QString line = QStringLiteral("WHSP 0 u1 ANIMICON OBJECT%09x%09y");
    auto packet = decodeAs<PLRecvWHSPPacket>(line);
    ASSERT_EQ(LogCapture::lines().size(), 2);
    EXPECT_TRUE(LogCapture::lines().at(0).startsWith(
        QStringLiteral("Error:PLRecvWHSPPacket parsing data error  type:ANIMICON   Message:Invalid Parameter, (")));
    EXPECT_EQ(LogCapture::lines().at(1), QStringLiteral("Packet : ") + line);

    LogCapture again;
    decodeAs<PLRecvWHSPPacket>(QStringLiteral("WHSP 0 u1 ANIMICON CANCEL"));
    ASSERT_FALSE(LogCapture::lines().isEmpty());
    EXPECT_TRUE(LogCapture::lines().at(0).contains(QStringLiteral("Message:Unknown Subtype, (")));
}

namespace {

struct WhisperEncodeCase {
    const char *name;
    std::function<void(PLSendWHSPPacket &)> fill;
    QByteArray bytes;
};

} // namespace

TEST(WhisperEncode, ExactBytes)
{
    const WhisperEncodeCase cases[] = {
        {"defaults", [](PLSendWHSPPacket &) {}, "WHSP 3 %00 MSG %00\r\n"},
        {"file offer",
         [](PLSendWHSPPacket &p) {
             p.setID(QStringLiteral("u1"));
             p.setType(QStringLiteral("FILE"));
             p.setSubType(QStringLiteral("REQUEST"));
             p.addFile(QStringLiteral("a b"), 10, QStringLiteral("k"));
         },
         "WHSP 3 u1 FILE REQUEST%091%09a%20b|10|k\r\n"},
        {"file offer, a name with escapes of its own",
         [](PLSendWHSPPacket &p) {
             p.setID(QStringLiteral("u1"));
             p.setType(QStringLiteral("FILE"));
             p.setSubType(QStringLiteral("REQUEST"));
             p.addFile(QStringLiteral("%2E%2e%2fescape.txt"), 6, QStringLiteral("k"));
         },
         "WHSP 3 u1 FILE REQUEST%091%09%252E%252e%252fescape.txt|6|k\r\n"},
        {"two files, a large one",
         [](PLSendWHSPPacket &p) {
             p.setID(QStringLiteral("u1"));
             p.setType(QStringLiteral("FILE"));
             p.setSubType(QStringLiteral("NACK"));
             p.addFile(QStringLiteral("50%\tx"), 5000000000LL, QStringLiteral("k1"));
             p.addFile(QStringLiteral("d.txt"), 0, QStringLiteral("k2"));
         },
         "WHSP 3 u1 FILE NACK%092%0950%25%09x|5000000000|k1%09d.txt|0|k2\r\n"},
        {"accept carries cookies only",
         [](PLSendWHSPPacket &p) {
             p.setID(QStringLiteral("u1"));
             p.setType(QStringLiteral("FILE"));
             p.setSubType(QStringLiteral("ACK"));
             p.addFile(QStringLiteral("a"), 1, QStringLiteral("k1"));
         },
         "WHSP 3 u1 FILE ACK%091%09k1\r\n"},
        {"cancel carries cookies only",
         [](PLSendWHSPPacket &p) {
             p.setID(QStringLiteral("u1"));
             p.setType(QStringLiteral("FILE"));
             p.setSubType(QStringLiteral("CANCEL"));
             p.addFile(QStringLiteral("a"), 1, QStringLiteral("k1"));
         },
         "WHSP 3 u1 FILE CANCEL%091%09k1\r\n"},
        {"no name, no cookie",
         [](PLSendWHSPPacket &p) {
             p.setID(QStringLiteral("u1"));
             p.setType(QStringLiteral("FILE"));
             p.setSubType(QStringLiteral("REQUEST"));
             p.addFile(QString(), 1, QStringLiteral("k1"));
             p.addFile(QStringLiteral("b"), 2, QString());
         },
         "WHSP 3 u1 FILE REQUEST%091%09k1\r\n"},
        {"animicon",
         [](PLSendWHSPPacket &p) {
             p.setID(QStringLiteral("u1"));
             p.setType(QStringLiteral("ANIMICON"));
             p.setMsg(QStringLiteral("x y"));
         },
         "WHSP 3 u1 ANIMICON OBJECT%09x%20y\r\n"},
        {"animicon ignores its sub-type",
         [](PLSendWHSPPacket &p) {
             p.setID(QStringLiteral("u1"));
             p.setType(QStringLiteral("ANIMICON"));
             p.setSubType(QStringLiteral("ACK"));
             p.setMsg(QStringLiteral("x"));
         },
         "WHSP 3 u1 ANIMICON OBJECT%09x\r\n"},
        {"other type sends msg, not the sub-type",
         [](PLSendWHSPPacket &p) {
             p.setID(QStringLiteral("u1"));
             p.setType(QStringLiteral("TYPING"));
             p.setSubType(QStringLiteral("REQUEST"));
             p.setMsg(QStringLiteral("1"));
         },
         "WHSP 3 u1 TYPING 1\r\n"},
        {"unknown answer, whatever the type",
         [](PLSendWHSPPacket &p) {
             p.setID(QStringLiteral("u1"));
             p.setType(QStringLiteral("FILE"));
             p.setSubType(QStringLiteral("UNKNOWN"));
             p.addFile(QStringLiteral("a"), 1, QStringLiteral("k"));
         },
         "WHSP 3 u1 FILE UNKNOWN%09@VERSION@\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PLSendWHSPPacket packet(3);
        c.fill(packet);
        // The unknown answer names the build's client version.
        const QByteArray bytes = QByteArray(c.bytes).replace("@VERSION@", PLClientVersion().toUtf8());
        EXPECT_EQ(packet.data(), bytes);
        // Serialising twice gives the same line.
        EXPECT_EQ(packet.data(), bytes);
    }
}

TEST(WhisperEncode, FileOfferDecodesBack)
{
    PLSendWHSPPacket offer(3);
    offer.setID(QStringLiteral("u1"));
    offer.setType(QStringLiteral("FILE"));
    offer.setSubType(QStringLiteral("REQUEST"));
    offer.addFile(QStringLiteral("my file 100%.txt"), 1000, QStringLiteral("k1"));
    offer.addFile(QStringLiteral("%09|x"), 2000, QStringLiteral("k2"));
    offer.addFile(QStringLiteral("한글.png"), 5000000000LL, QStringLiteral("k3"));
    ASSERT_EQ(offer.fileCount(), 3);

    QString line = offer.packetString();
    line.chop(2);
    auto packet = decodeAs<PLRecvWHSPPacket>(line);
    ASSERT_TRUE(packet);
    EXPECT_TRUE(packet->isValid());
    EXPECT_EQ(packet->dataForKey(QStringLiteral("fileCount")), QStringLiteral("3"));
    EXPECT_EQ(packet->dataForKey(QStringLiteral("fileName"), 0), QStringLiteral("my file 100%.txt"));
    EXPECT_EQ(packet->dataForKey(QStringLiteral("fileSize"), 0), QStringLiteral("1000"));
    EXPECT_EQ(packet->dataForKey(QStringLiteral("cookie"), 0), QStringLiteral("k1"));
    // A "|" in a name is not escaped on the wire and so splits the entry, as
    // every peer reads it; the escaped "%09" in it does not split the items.
    EXPECT_EQ(packet->dataForKey(QStringLiteral("fileName"), 1), QStringLiteral("%09"));
    EXPECT_EQ(packet->dataForKey(QStringLiteral("fileSize"), 1), QStringLiteral("x"));
    EXPECT_EQ(packet->dataForKey(QStringLiteral("fileName"), 2), QStringLiteral("한글.png"));
    EXPECT_EQ(packet->dataForKey(QStringLiteral("fileSize"), 2), QStringLiteral("5000000000"));
    EXPECT_EQ(packet->dataForKey(QStringLiteral("cookie"), 2), QStringLiteral("k3"));
}

// Offered names are peer text: a "%" in them, escaped or formatting-like, must
// reach the buddy exactly as the file is named, with its size and cookie.
TEST(WhisperEncode, OfferedNamesArriveAsOffered)
{
    const char *names[] = {
        "plain.txt",       "50% off.txt", "%25.txt",      "%2E%2e%2fescape.txt", "a%1b%2c%3.txt",
        "my holiday.jpg",  "한글 파일.png", "100%",         "%",                   "%%2%%",
        "%00x",            "x%09y",        "%20%0D%0A.txt", "ünïcödé %9.bin",
    };
    for (const char *raw : names) {
        const QString name = QString::fromUtf8(raw);
        SCOPED_TRACE(raw);
        PLSendWHSPPacket offer(1);
        offer.setID(QStringLiteral("u1"));
        offer.setType(QStringLiteral("FILE"));
        offer.setSubType(QStringLiteral("REQUEST"));
        offer.addFile(name, 6, QStringLiteral("7:cmn:123"));
        offer.addFile(QStringLiteral("second.txt"), 42, QStringLiteral("k2"));
        QString line = offer.packetString();
        line.chop(2);
        auto packet = decodeAs<PLRecvWHSPPacket>(line);
        ASSERT_TRUE(packet);
        EXPECT_TRUE(packet->isValid());
        EXPECT_EQ(packet->dataForKey(QStringLiteral("fileCount")), QStringLiteral("2"));
        EXPECT_EQ(packet->dataForKey(QStringLiteral("fileName"), 0), name);
        EXPECT_EQ(packet->dataForKey(QStringLiteral("fileSize"), 0), QStringLiteral("6"));
        EXPECT_EQ(packet->dataForKey(QStringLiteral("cookie"), 0), QStringLiteral("7:cmn:123"));
        EXPECT_EQ(packet->dataForKey(QStringLiteral("fileName"), 1), QStringLiteral("second.txt"));
        EXPECT_EQ(packet->dataForKey(QStringLiteral("fileSize"), 1), QStringLiteral("42"));
        EXPECT_EQ(packet->dataForKey(QStringLiteral("cookie"), 1), QStringLiteral("k2"));
    }
}
