// Configuration and list download: the requests and the reply lines of the
// configuration, the group list and the buddy list.

#include "WireCaseSupport.h"

#include "Packet/PLRecvCONFPacket.h"
#include "Packet/PLRecvGLSTPacket.h"
#include "Packet/PLRecvLISTPacket.h"
#include "Packet/PLSendCONFPacket.h"
#include "Packet/PLSendGLSTPacket.h"
#include "Packet/PLSendLISTPacket.h"

using namespace parley;
using namespace parley::test;

namespace {

const EncodeCase kEncodeCases[] = {
    {"CONF", [] { return sendPacket<PLSendCONFPacket>(0, [](auto &p) { p.setTID(2, QStringLiteral("17")); }); },
     "CONF 2 17 0\r\n"},
    {"CONF no cache", [] { return sendPacket<PLSendCONFPacket>(2); }, "CONF 2 %00 0\r\n"},
    {"GLST", [] { return sendPacket<PLSendGLSTPacket>(0, [](auto &p) { p.setTID(3, QStringLiteral("42")); }); },
     "GLST 3 42\r\n"},
    {"GLST empty cache", [] { return sendPacket<PLSendGLSTPacket>(0, [](auto &p) { p.setTID(3, QString()); }); },
     "GLST 3 %00\r\n"},
    {"LIST", [] { return sendPacket<PLSendLISTPacket>(4); }, "LIST 4\r\n"},
};

using ListEncodeTest = EncodeTableTest;

TEST_P(ListEncodeTest, WritesExactBytes)
{
    expectEncodes(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, ListEncodeTest, ::testing::ValuesIn(kEncodeCases));

#define LIST_BUDDY                                                                                                     \
    "1100 bob@example.com 100123 Bob%20Kim Bob%0D%0A 010-1234 bob@mail.example 19900101 o55 S Y m7 20200101"

const FieldList kBuddyFields = {{"idx", "0"},
                                {"count", "1"},
                                {"buddyFlag", "1100"},
                                {"id", "bob@example.com"},
                                {"CMN", "100123"},
                                {"name", "Bob Kim"},
                                {"nickName", "Bob\r\n"},
                                {"mobile", "010-1234"},
                                {"email", "bob@mail.example"},
                                {"birthday", "19900101"},
                                {"orchardCMN", "o55"},
                                {"birthdayTPCD", "S"},
                                {"authYN", "Y"},
                                {"mimid", "m7"},
                                {"musicDate", "20200101"},
                                {"ewerYN", "N"}};

const DecodeCase kDecodeCases[] = {
    {"CONF 2 17 1024", true, {{"cache", "17"}, {"msgLen", "1024"}}},
    {"CONF 2 1%207 10%25", true, {{"cache", "1 7"}, {"msgLen", "10%25"}}},
    {"CONF 2", false, {}},
    // A line that ends at the cache announces no body (its cache is no length).
    {"CONF 2 17", true, {{"cache", "17"}}},
    {"GLST 3 42", true, {{"cache", "42"}}},
    {"GLST 3 0 2 Y 5 Friends 0",
     true,
     {{"idx", "0"},
      {"count", "2"},
      {"isGroup", "Y"},
      {"groupID", "5"},
      {"groupName", "Friends"},
      {"parentGroupID", "0"}}},
    {"GLST 3 0 2 Y 5 Best%20friends 0",
     true,
     {{"idx", "0"},
      {"count", "2"},
      {"isGroup", "Y"},
      {"groupID", "5"},
      {"groupName", "Best friends"},
      {"parentGroupID", "0"}}},
    {"GLST 3 1 2 N 100123 5",
     true,
     {{"idx", "1"}, {"count", "2"}, {"isGroup", "N"}, {"buddyCMN", "100123"}, {"parentGroupID", "5"}}},
    {"GLST 3 0 0 x x x x", true, {{"idx", "0"}, {"count", "0"}}},
    {"GLST 3 0 0 x x x", true, {{"idx", "0"}, {"count", "0"}}},
    {"GLST 3 a b c", false, {}},
    {"GLST 3", false, {}},
    {"GLST 3 0 2 Y 5 Friends 0 extra", false, {}},
    {"LIST 7 0 0", true, {{"idx", "0"}, {"count", "0"}}},
    // Two adjacent spaces give an empty field; the count that follows is not a number.
    {"LIST 3  x", true, {{"idx", ""}, {"count", "x"}}},
    {"LIST 4 0 1 " LIST_BUDDY " N", true, kBuddyFields},
    {"LIST 4 0 1 " LIST_BUDDY, false, firstFields(kBuddyFields, 15)},
    {"LIST 4 0 1 1100", false, {{"idx", "0"}, {"count", "1"}, {"buddyFlag", "1100"}}},
    {"LIST 7 0", false, {{"idx", "0"}}},
    {"LIST 7", false, {}},
};

using ListDecodeTest = DecodeTableTest;

TEST_P(ListDecodeTest, ReadsExactFields)
{
    expectDecodes(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, ListDecodeTest, ::testing::ValuesIn(kDecodeCases));

TEST(ListDecode, WordsDecodeToTheirClasses)
{
    LogCapture log;
    expectWordDecodesTo<PLRecvCONFPacket>("CONF");
    expectWordDecodesTo<PLRecvGLSTPacket>("GLST");
    expectWordDecodesTo<PLRecvLISTPacket>("LIST");
}

TEST(ListDecode, ConfReaders)
{
    LogCapture log;
    auto conf = decodeAs<PLRecvCONFPacket>("CONF 2 17 1024");
    ASSERT_NE(conf, nullptr);
    EXPECT_EQ(conf->cache(), QStringLiteral("17"));
    EXPECT_EQ(conf->msgLen(), 1024);
    for (const char *line : {"CONF 2", "CONF 2 17"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(decodeAs<PLRecvCONFPacket>(line)->msgLen(), -1);
    }
}

struct GlstCase {
    const char *line;
    qint32 packetType;
    qint32 index;
    qint32 count;
    bool isGroup;
    bool isLast;
};

void PrintTo(const GlstCase &c, std::ostream *os)
{
    *os << '"' << c.line << '"';
}

class GlstReaderTest : public ::testing::TestWithParam<GlstCase>
{
protected:
    LogCapture log;
};

TEST_P(GlstReaderTest, KindIndexAndLastLine)
{
    const GlstCase &c = GetParam();
    auto packet = decodeAs<PLRecvGLSTPacket>(c.line);
    ASSERT_NE(packet, nullptr);
    EXPECT_EQ(packet->packetType(), c.packetType);
    EXPECT_EQ(packet->index(), c.index);
    EXPECT_EQ(packet->count(), c.count);
    EXPECT_EQ(packet->IsGroup(), c.isGroup);
    EXPECT_EQ(packet->isLast(), c.isLast);
}

INSTANTIATE_TEST_SUITE_P(Table, GlstReaderTest,
                         ::testing::Values(GlstCase{"GLST 3 42", 1, -1, 0, false, true},
                                           GlstCase{"GLST 3 0 2 Y 5 Friends 0", 2, 0, 2, true, false},
                                           GlstCase{"GLST 3 1 2 Y 6 Work 0", 2, 1, 2, true, true},
                                           GlstCase{"GLST 3 1 2 N 100123 5", 3, 1, 2, false, true},
                                           GlstCase{"GLST 3 0 3 1 100123 5", 3, 0, 3, true, false},
                                           GlstCase{"GLST 3 0 0 x x x", 3, 0, 0, false, true},
                                           GlstCase{"GLST 3 a b c", 0, -1, 0, false, true}));

TEST(ListDecode, GroupListLineOfUnknownLengthIsDroppedSilently)
{
    LogCapture log;
    auto packet = decodeAs<PLRecvGLSTPacket>("GLST 3 a b c");
    ASSERT_NE(packet, nullptr);
    EXPECT_FALSE(packet->isValid());
    EXPECT_TRUE(LogCapture::lines().isEmpty()) << LogCapture::lines().join(u'|').toStdString();
}

TEST(ListDecode, ShortBuddyLineLogsTheParseError)
{
    LogCapture log;
    decodeLine("LIST 4 0 1 1100");
    EXPECT_TRUE(log.contains(QStringLiteral("Error: PLRecvLISTPacket parsing error   Message:")));
}

TEST(ListDecode, BuddyReaders)
{
    LogCapture log;
    auto buddy = decodeAs<PLRecvLISTPacket>("LIST 4 0 1 " LIST_BUDDY " Y");
    ASSERT_NE(buddy, nullptr);
    EXPECT_EQ(buddy->index(), 0);
    EXPECT_EQ(buddy->count(), 1);
    EXPECT_TRUE(buddy->isLast());
    EXPECT_EQ(buddy->buddyFlag(), QStringLiteral("1100"));
    EXPECT_EQ(buddy->ID(), QStringLiteral("bob@example.com"));
    EXPECT_EQ(buddy->CMN(), QStringLiteral("100123"));
    EXPECT_EQ(buddy->name(), QStringLiteral("Bob Kim"));
    EXPECT_EQ(buddy->nickName(), QStringLiteral("Bob"));
    EXPECT_EQ(buddy->mobile(), QStringLiteral("010-1234"));
    EXPECT_EQ(buddy->email(), QStringLiteral("bob@mail.example"));
    EXPECT_EQ(buddy->birthDay(), QStringLiteral("19900101"));
    EXPECT_EQ(buddy->orchardCMN(), QStringLiteral("o55"));
    EXPECT_EQ(buddy->birthdayTPCD(), QStringLiteral("S"));
    EXPECT_EQ(buddy->authYN(), QStringLiteral("Y"));
    EXPECT_EQ(buddy->mimid(), QStringLiteral("m7"));
    EXPECT_EQ(buddy->musicDate(), QStringLiteral("20200101"));
    EXPECT_TRUE(buddy->isEwer());

    struct EwerCase {
        const char *line;
        bool isEwer;
        bool isLast;
    };
    const EwerCase cases[] = {
        {"LIST 4 1 3 " LIST_BUDDY " N", false, false},
        {"LIST 4 2 3 " LIST_BUDDY " x", true, true},
        {"LIST 7 0 0", false, true},
    };
    for (const EwerCase &c : cases) {
        SCOPED_TRACE(c.line);
        auto packet = decodeAs<PLRecvLISTPacket>(c.line);
        ASSERT_NE(packet, nullptr);
        EXPECT_EQ(packet->isEwer(), c.isEwer);
        EXPECT_EQ(packet->isLast(), c.isLast);
    }
}

TEST(ListDecode, NicknameLosesEveryLineBreak)
{
    LogCapture log;
    auto buddy = decodeAs<PLRecvLISTPacket>(
        "LIST 4 0 1 1100 b@x 1 B %0DB%0Ai%0D%0Ag%0A%0D 010 b@x 19900101 o S Y m 20200101 N");
    ASSERT_NE(buddy, nullptr);
    EXPECT_EQ(buddy->nickName(), QStringLiteral("Big"));
}

} // namespace
