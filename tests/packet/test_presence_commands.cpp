// Presence and profile commands: status, nickname and profile changes out, and
// buddies' status, nickname and profile reports in.

#include "WireCaseSupport.h"

#include "Packet/PLRecvCNIKPacket.h"
#include "Packet/PLRecvCPRFPacket.h"
#include "Packet/PLRecvINFYPacket.h"
#include "Packet/PLRecvNNIKPacket.h"
#include "Packet/PLRecvNPRFPacket.h"
#include "Packet/PLRecvNTFYPacket.h"
#include "Packet/PLRecvONSTPacket.h"
#include "Packet/PLSendCNIKPacket.h"
#include "Packet/PLSendCPRFPacket.h"
#include "Packet/PLSendONSTPacket.h"

using namespace parley;
using namespace parley::test;

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

const EncodeCase kEncodeCases[] = {
    {"ONST",
     [] { return sendPacket<PLSendONSTPacket>(0, [](auto &p) { p.setTID(6, s("A"), s("0"), QString(), s("1")); }); },
     "ONST 6 A 0 %00 1\r\n"},
    {"ONST room name",
     [] {
         return sendPacket<PLSendONSTPacket>(6, [](auto &p) {
             p.setStatus(s("O"));
             p.setFileRoomName(s("My room"));
         });
     },
     "ONST 6 O %00 My%20room %00\r\n"},
    {"ONST defaults", [] { return sendPacket<PLSendONSTPacket>(6); }, "ONST 6 %00 %00 %00 %00\r\n"},
    {"CNIK", [] { return sendPacket<PLSendCNIKPacket>(0, [](auto &p) { p.setTID(3, s("Big Bob")); }); },
     "CNIK 3 Big%20Bob\r\n"},
    {"CNIK unset", [] { return sendPacket<PLSendCNIKPacket>(3); }, "CNIK 3 %00\r\n"},
    {"CPRF", [] { return sendPacket<PLSendCPRFPacket>(0, [](auto &p) { p.setTID(4, s("a=1&b=2")); }); },
     "CPRF 4 7\r\na=1&b=2"},
    {"CPRF body unescaped", [] { return sendPacket<PLSendCPRFPacket>(4, [](auto &p) { p.setBody(s("a=b c%")); }); },
     "CPRF 4 6\r\na=b c%"},
    {"CPRF counts UTF-8 bytes", [] { return sendPacket<PLSendCPRFPacket>(4, [](auto &p) { p.setBody(s("n=한")); }); },
     "CPRF 4 5\r\nn=\xED\x95\x9C"},
    {"CPRF unset", [] { return sendPacket<PLSendCPRFPacket>(4); }, "CPRF 4 3\r\n%00"},
};

using PresenceEncodeTest = EncodeTableTest;

TEST_P(PresenceEncodeTest, WritesExactBytes)
{
    expectEncodes(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, PresenceEncodeTest, ::testing::ValuesIn(kEncodeCases));

#define STATUS_FIELDS(status)                                                                                          \
    {"ID", "bob"}, {"status", status}, {"fileRoomType", "0"}, {"fileRoomName", ""}, {"fileMediaType", "1"},            \
    {                                                                                                                  \
        "langOS", "ko.macm"                                                                                            \
    }

// The fields of a profile reply line, kept as they came.
const FieldList kProfileFields
    = {{"typeMask", "001000"}, {"mobileOm", "1"}, {"mobile", "010-1"},   {"emailOm", "1"},          {"email", "a%40b"},
       {"orcmnOm", "1"},       {"orcmn", "o55"},  {"musicDateOm", "0"},  {"musicDate", "20200101"}, {"ewerYNOm", "1"},
       {"ewerYN", "Y"},        {"birthOm", "1"},  {"birth", "19900101"}, {"length", "120"}};

const DecodeCase kDecodeCases[] = {
    {"INFY 0 bob o 0 %00 1 ko.macm", true, {STATUS_FIELDS("O")}},
    {"NTFY 0 bob o 0 %00 1 ko.macm", true, {STATUS_FIELDS("o")}},
    {"INFY 0 bob O 0 %00 1 ko.macm 2 x N", true, {STATUS_FIELDS("O"), {"sessionCount", "2"}, {"noteOnly", "N"}}},
    {"NTFY 0 bob a 0 %00 1 ko.macm 3 x Y extra", true, {STATUS_FIELDS("a"), {"sessionCount", "3"}, {"noteOnly", "Y"}}},
    {"INFY 0 bob O 0 %00 1 ko.macm 2 x", false, {STATUS_FIELDS("O"), {"sessionCount", "2"}}},
    {"NTFY 0 bob O 0 %00 1 ko.macm 2", false, {STATUS_FIELDS("O"), {"sessionCount", "2"}}},
    {"INFY 0 bob O 0 My%20room 1 ko.macm",
     true,
     {{"ID", "bob"},
      {"status", "O"},
      {"fileRoomType", "0"},
      {"fileRoomName", "My room"},
      {"fileMediaType", "1"},
      {"langOS", "ko.macm"}}},
    {"INFY 0 b%20b a 0%200 %00 1%201 k%20o",
     true,
     {{"ID", "b%20b"},
      {"status", "A"},
      {"fileRoomType", "0%200"},
      {"fileRoomName", ""},
      {"fileMediaType", "1%201"},
      {"langOS", "k%20o"}}},
    {"INFY 0 bob O 0 %00 1",
     false,
     {{"ID", "bob"}, {"status", "O"}, {"fileRoomType", "0"}, {"fileRoomName", ""}, {"fileMediaType", "1"}}},
    {"NTFY 0 bob", false, {}},
    {"ONST 5", true, {}},
    {"ONST 5 x", true, {}},
    {"CNIK 3 whatever", true, {}},
    {"NNIK 0 bob Big%20Bob", true, {{"ID", "bob"}, {"nickName", "Big Bob"}}},
    {"NNIK 0 b%20b", false, {{"ID", "b b"}}},
    {"CPRF 4 001000 1 010-1 1 a%40b 1 o55 0 20200101 1 Y 1 19900101 120", true, kProfileFields},
    {"CPRF 4 001000 1 010-1 1 a%40b 1 o55 0 20200101 1 Y 1 19900101", false, firstFields(kProfileFields, 13)},
    {"CPRF 4", false, {}},
    {"NPRF 0 bob 001000 010 x 12 20080101 Y",
     true,
     {{"ID", "bob"},
      {"typeMask", "001000"},
      {"mobile", "010"},
      {"email", "x"},
      {"orcmn", "12"},
      {"musicDate", "20080101"},
      {"ewerYN", "Y"},
      {"birth", ""}}},
    {"NPRF 0 bob 001000 010 a%20b 12 20080101 Y 1990%2001",
     true,
     {{"ID", "bob"},
      {"typeMask", "001000"},
      {"mobile", "010"},
      {"email", "a b"},
      {"orcmn", "12"},
      {"musicDate", "20080101"},
      {"ewerYN", "Y"},
      {"birth", "1990 01"}}},
    {"NPRF 0 bob 001000 010 x 12 20080101",
     false,
     {{"ID", "bob"},
      {"typeMask", "001000"},
      {"mobile", "010"},
      {"email", "x"},
      {"orcmn", "12"},
      {"musicDate", "20080101"}}},
};

using PresenceDecodeTest = DecodeTableTest;

TEST_P(PresenceDecodeTest, ReadsExactFields)
{
    expectDecodes(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, PresenceDecodeTest, ::testing::ValuesIn(kDecodeCases));

TEST(PresenceDecode, WordsDecodeToTheirClasses)
{
    LogCapture log;
    expectWordDecodesTo<PLRecvINFYPacket>("INFY");
    expectWordDecodesTo<PLRecvNTFYPacket>("NTFY");
    expectWordDecodesTo<PLRecvONSTPacket>("ONST");
    expectWordDecodesTo<PLRecvCNIKPacket>("CNIK");
    expectWordDecodesTo<PLRecvNNIKPacket>("NNIK");
    expectWordDecodesTo<PLRecvCPRFPacket>("CPRF");
    expectWordDecodesTo<PLRecvNPRFPacket>("NPRF");
    // A status report is not mistaken for the other word's class.
    EXPECT_EQ(dynamic_cast<PLRecvNTFYPacket *>(decodeLine("INFY 0 bob O 0 %00 1 ko.macm").get()), nullptr);
}

TEST(PresenceDecode, StatusReaders)
{
    auto infy = decodeAs<PLRecvINFYPacket>("INFY 0 bob p 0 Room 2 ko.macm 3 x N");
    EXPECT_EQ(infy->ID(), s("bob"));
    EXPECT_EQ(infy->userStatus(), s("P"));
    EXPECT_EQ(infy->fileRoomType(), s("0"));
    EXPECT_EQ(infy->fileRoomName(), s("Room"));
    EXPECT_EQ(infy->mediaType(), s("2"));
    EXPECT_EQ(infy->langOSType(), s("ko.macm"));
    EXPECT_EQ(infy->sessionCount(), s("3"));
    EXPECT_EQ(infy->noteOnly(), s("N"));
    auto ntfy = decodeAs<PLRecvNTFYPacket>("NTFY 0 bob p 0 %00 1 en.linux");
    EXPECT_EQ(ntfy->userStatus(), s("p"));
    EXPECT_EQ(ntfy->langOS(), s("en.linux"));
    EXPECT_TRUE(ntfy->sessionCount().isNull());
    EXPECT_TRUE(ntfy->noteOnly().isNull());
}

TEST(PresenceDecode, ProfileReaders)
{
    auto nick = decodeAs<PLRecvNNIKPacket>("NNIK 0 bob Big%20Bob");
    EXPECT_EQ(nick->ID(), s("bob"));
    EXPECT_EQ(nick->nickName(), s("Big Bob"));

    auto own = decodeAs<PLRecvCPRFPacket>("CPRF 0 001000 1 m 2 e 3 o 4 d 5 Y 6 b 42");
    EXPECT_EQ(own->typeMask(), s("001000"));
    EXPECT_EQ(own->mobileOm(), s("1"));
    EXPECT_EQ(own->mobile(), s("m"));
    EXPECT_EQ(own->emailOm(), s("2"));
    EXPECT_EQ(own->email(), s("e"));
    EXPECT_EQ(own->orcmnOm(), s("3"));
    EXPECT_EQ(own->orcmn(), s("o"));
    EXPECT_EQ(own->musicDateOm(), s("4"));
    EXPECT_EQ(own->musicDate(), s("d"));
    EXPECT_EQ(own->ewerYNOm(), s("5"));
    EXPECT_EQ(own->ewerYN(), s("Y"));
    EXPECT_EQ(own->birthOm(), s("6"));
    EXPECT_EQ(own->birth(), s("b"));
    EXPECT_EQ(own->length(), 42);

    auto buddy = decodeAs<PLRecvNPRFPacket>("NPRF 0 bob 1 m e o d N b");
    EXPECT_EQ(buddy->ID(), s("bob"));
    EXPECT_EQ(buddy->typeMask(), s("1"));
    EXPECT_EQ(buddy->mobile(), s("m"));
    EXPECT_EQ(buddy->email(), s("e"));
    EXPECT_EQ(buddy->orcmn(), s("o"));
    EXPECT_EQ(buddy->musicDate(), s("d"));
    EXPECT_EQ(buddy->ewerYN(), s("N"));
    EXPECT_EQ(buddy->birth(), s("b"));
}

TEST(PresenceDecode, CutShortLinesLogTheParseError)
{
    const char *lines[]
        = {"INFY 0 bob O 0 %00 1 ko.macm 2 x", "NTFY 0 bob O 0 %00 1", "NNIK 0 bob", "CPRF 4 1", "NPRF 0 bob 1"};
    for (const char *line : lines) {
        SCOPED_TRACE(line);
        LogCapture log;
        auto packet = decodeLine(line);
        ASSERT_NE(packet, nullptr);
        EXPECT_FALSE(packet->isValid());
        EXPECT_TRUE(log.contains(QStringLiteral(" parsing error   Message:")));
    }
}

} // namespace
