// Buddy-list and group commands: list changes, the add-buddy handshake, group
// changes and the group batches with their counted bodies.

#include "WireCaseSupport.h"

#include "Packet/PLRecvADDBPacket.h"
#include "Packet/PLRecvADDGPacket.h"
#include "Packet/PLRecvADSBPacket.h"
#include "Packet/PLRecvCPBGPacket.h"
#include "Packet/PLRecvMVBGPacket.h"
#include "Packet/PLRecvPACKPacket.h"
#include "Packet/PLRecvPNAKPacket.h"
#include "Packet/PLRecvRENGPacket.h"
#include "Packet/PLRecvRMBGPacket.h"
#include "Packet/PLRecvRMVBPacket.h"
#include "Packet/PLRecvRMVGPacket.h"
#include "Packet/PLSendADDBPacket.h"
#include "Packet/PLSendADDGPacket.h"
#include "Packet/PLSendADSBPacket.h"
#include "Packet/PLSendCPBGPacket.h"
#include "Packet/PLSendMVBGPacket.h"
#include "Packet/PLSendRENGPacket.h"
#include "Packet/PLSendRMBGPacket.h"
#include "Packet/PLSendRMVBPacket.h"
#include "Packet/PLSendRMVGPacket.h"

using namespace parley;
using namespace parley::test;

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

const EncodeCase kEncodeCases[] = {
    {"ADDB FL without group",
     [] {
         return sendPacket<PLSendADDBPacket>(5, [](auto &p) {
             p.setType(s("FL"));
             p.setTargetID(s("alice"));
         });
     },
     "ADDB 5 FL %00 alice 0\r\n"},
    {"ADDB FL with group",
     [] {
         return sendPacket<PLSendADDBPacket>(0, [](auto &p) { p.setTID(5, s("FL"), s("123"), s("alice"), s("7")); });
     },
     "ADDB 5 FL 123 alice 7\r\n"},
    {"ADDB BL ignores group",
     [] {
         return sendPacket<PLSendADDBPacket>(5, [](auto &p) {
             p.setType(s("BL"));
             p.setTargetID(s("alice"));
             p.setGroupID(s("3"));
         });
     },
     "ADDB 5 BL %00 alice\r\n"},
    {"ADDB AL",
     [] { return sendPacket<PLSendADDBPacket>(0, [](auto &p) { p.setTID(2, s("AL"), s("123"), s("a b"), s("3")); }); },
     "ADDB 2 AL 123 a%20b\r\n"},
    {"ADDB RL",
     [] {
         return sendPacket<PLSendADDBPacket>(0, [](auto &p) { p.setTID(2, s("RL"), s("123"), s("bob"), QString()); });
     },
     "ADDB 2 RL 123 bob\r\n"},
    {"RMVB", [] { return sendPacket<PLSendRMVBPacket>(0, [](auto &p) { p.setTID(6, s("FL"), s("123"), s("bob")); }); },
     "RMVB 6 FL 123 bob\r\n"},
    {"RMVB defaults", [] { return sendPacket<PLSendRMVBPacket>(6); }, "RMVB 6 %00 %00 %00\r\n"},
    {"ADSB",
     [] {
         return sendPacket<PLSendADSBPacket>(
             0, [](auto &p) { p.setTID(7, s("REQST"), s("123"), s("bob"), s("5"), s("Hi there")); });
     },
     "ADSB 7 REQST 123 bob 5 Hi%20there\r\n"},
    {"ADSB defaults", [] { return sendPacket<PLSendADSBPacket>(7); }, "ADSB 7 %00 %00 %00 %00 %00\r\n"},
    {"ADDG", [] { return sendPacket<PLSendADDGPacket>(0, [](auto &p) { p.setTID(8, s("37"), s("Work mates")); }); },
     "ADDG 8 37 Work%20mates\r\n"},
    {"RMVG", [] { return sendPacket<PLSendRMVGPacket>(0, [](auto &p) { p.setTID(8, s("37"), s("4")); }); },
     "RMVG 8 37 4\r\n"},
    {"RENG",
     [] { return sendPacket<PLSendRENGPacket>(0, [](auto &p) { p.setTID(8, s("37"), s("4"), s("New 50%")); }); },
     "RENG 8 37 4 New%2050%25\r\n"},
    {"RENG empty name",
     [] { return sendPacket<PLSendRENGPacket>(0, [](auto &p) { p.setTID(8, s("37"), s("4"), s("")); }); },
     "RENG 8 37 4 %00\r\n"},
    {"CPBG two buddies",
     [] {
         return sendPacket<PLSendCPBGPacket>(0, [](auto &p) {
             p.setTID(9, s("7"));
             p.addBuddy(s("100"), s("a"), s("1"), s("2"));
             p.addBuddy(s("200"), s("b"), s("1"), s("3"));
         });
     },
     "CPBG 9 7 26\r\n0 100 a 1 2\r\n1 200 b 1 3\r\n"},
    {"CPBG empty batch", [] { return sendPacket<PLSendCPBGPacket>(0, [](auto &p) { p.setTID(9, s("7")); }); },
     "CPBG 9 7 0\r\n"},
    {"MVBG",
     [] {
         return sendPacket<PLSendMVBGPacket>(0, [](auto &p) {
             p.setTID(9, s("7"));
             p.addBuddy(s("100"), s("a"), s("1"), s("2"));
         });
     },
     "MVBG 9 7 13\r\n0 100 a 1 2\r\n"},
    {"MVBG record values unescaped",
     [] {
         return sendPacket<PLSendMVBGPacket>(0, [](auto &p) {
             p.setTID(9, s("7 8"));
             p.addBuddy(s("100"), s("a%b"), s("1"), s("2"));
         });
     },
     "MVBG 9 7%208 15\r\n0 100 a%b 1 2\r\n"},
    {"RMBG",
     [] {
         return sendPacket<PLSendRMBGPacket>(0, [](auto &p) {
             p.setTID(9, s("7"));
             p.addBuddy(s("100"), s("a"), s("1"));
         });
     },
     "RMBG 9 7 11\r\n0 100 a 1\r\n"},
    {"RMBG counts UTF-8 bytes",
     [] { return sendPacket<PLSendRMBGPacket>(9, [](auto &p) { p.addBuddy(s("100"), s("김"), s("1")); }); },
     "RMBG 9 %00 13\r\n0 100 \xEA\xB9\x80 1\r\n"},
};

using BuddyEncodeTest = EncodeTableTest;

TEST_P(BuddyEncodeTest, WritesExactBytes)
{
    expectEncodes(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, BuddyEncodeTest, ::testing::ValuesIn(kEncodeCases));

TEST(BuddyEncode, ForwardListKeepsTheTopGroupItChose)
{
    PLSendADDBPacket packet(5);
    packet.setType(s("FL"));
    EXPECT_EQ(packet.groupID(), s("%00"));
    packet.data();
    EXPECT_EQ(packet.groupID(), s("0"));
}

TEST(BuddyEncode, BatchRecordsByIndex)
{
    PLSendCPBGPacket copy(1);
    EXPECT_EQ(copy.addBuddy(s("100"), s("a"), s("1"), s("2")), 1);
    EXPECT_EQ(copy.addBuddy(s("200"), s("b"), s("1"), s("3")), 2);
    EXPECT_EQ(copy.buddyCount(), 2);
    ASSERT_TRUE(copy.buddyAtIndex(1).has_value());
    EXPECT_EQ(copy.buddyAtIndex(1)->buddyCMN(), s("200"));
    EXPECT_EQ(copy.buddyAtIndex(1)->ID(), s("b"));
    EXPECT_EQ(copy.buddyAtIndex(1)->fromGroupID(), s("1"));
    EXPECT_EQ(copy.buddyAtIndex(1)->targetGroupID(), s("3"));
    EXPECT_FALSE(copy.buddyAtIndex(2).has_value());
    EXPECT_FALSE(copy.buddyAtIndex(-1).has_value());

    PLSendRMBGPacket remove(1);
    remove.addBuddy(s("100"), s("a"), s("9"));
    ASSERT_TRUE(remove.buddyAtIndex(0).has_value());
    EXPECT_EQ(remove.buddyAtIndex(0)->targetGroupID(), s("9"));
    EXPECT_EQ(remove.buddyAtIndex(0)->buddyString(), s("100 a 9"));
}

const DecodeCase kDecodeCases[] = {
    // ADDB: the list word picks the form.
    {"ADDB 0 FL 123 bob 37 Bobby",
     true,
     {{"type", "FL"}, {"fromCMN", "123"}, {"fromID", "bob"}, {"groupCache", "37"}, {"nick", "Bobby"}}},
    {"ADDB 0 FL 123 bob 37 Bob%20by 02",
     true,
     {{"type", "FL"}, {"fromCMN", "123"}, {"fromID", "bob"}, {"groupCache", "37"}, {"nick", "Bob%20by"}}},
    {"ADDB 4 FL 1%202 bob 5 Bob%20Kim",
     true,
     {{"type", "FL"}, {"fromCMN", "1%202"}, {"fromID", "bob"}, {"groupID", "5"}, {"name", "Bob Kim"}}},
    {"ADDB 0 FL 123 bob 37", false, {{"type", "FL"}, {"fromCMN", "123"}, {"fromID", "bob"}, {"groupCache", "37"}}},
    {"ADDB 4 FL 123 bob 5", false, {{"type", "FL"}, {"fromCMN", "123"}, {"fromID", "bob"}, {"groupID", "5"}}},
    {"ADDB 0 RL 123 bob", true, {{"type", "RL"}, {"fromCMN", "123"}, {"fromID", "bob"}, {"msg", ""}}},
    {"ADDB 0 RL 123 bob Hello%20you",
     true,
     {{"type", "RL"}, {"fromCMN", "123"}, {"fromID", "bob"}, {"msg", "Hello you"}}},
    {"ADDB 4 AL 1%202 bob", true, {{"type", "AL"}, {"fromCMN", "1 2"}, {"fromID", "bob"}}},
    {"ADDB 4 BL 123 b%20b", true, {{"type", "BL"}, {"fromCMN", "123"}, {"fromID", "b b"}}},
    {"ADDB 4 AL 123", false, {{"type", "AL"}, {"fromCMN", "123"}}},
    {"ADDB 4 123", true, {{"targetCMN", "123"}}},
    {"ADDB 4 fl 1 2", true, {{"targetCMN", "fl"}}},
    {"ADDB 4", false, {}},
    // RMVB: tid "0" unless the list is "RL", then "RL", then the reply.
    {"RMVB 0 RL 123 bob", true, {{"type", "RL"}, {"fromCMN", "123"}, {"fromID", "bob"}}},
    {"RMVB 12 RL 123 b%20b", true, {{"type", "RL"}, {"fromCMN", "123"}, {"fromID", "b%20b"}}},
    {"RMVB 0 FL 123 bob", true, {{"type", "FL"}, {"fromCMN", "123"}, {"fromID", "bob"}}},
    {"RMVB 0 F%20L 123 bob", true, {{"type", "F%20L"}, {"fromCMN", "123"}, {"fromID", "bob"}}},
    {"RMVB 12 37", true, {{"groupCache", "37"}}},
    {"RMVB 0 FL 123", false, {{"type", "FL"}, {"fromCMN", "123"}}},
    {"RMVB 12", false, {}},
    // ADSB: the full form for tid 0, the short one for a rejection.
    {"ADSB 0 REQST 123 Bob 37 02 bob 5",
     true,
     {{"event", "REQST"},
      {"targetCMN", "123"},
      {"targetName", "Bob"},
      {"groupCache", "37"},
      {"targetArea", "02"},
      {"targetID", "bob"},
      {"targetGID", "5"}}},
    {"ADSB 8 REJCT 123", true, {{"event", "REJCT"}, {"targetCMN", "123"}}},
    {"ADSB 8 ACCPT 123 Bob%20K 37 02",
     true,
     {{"event", "ACCPT"}, {"targetCMN", "123"}, {"targetName", "Bob%20K"}, {"groupCache", "37"}, {"targetArea", "02"}}},
    {"ADSB 8 ACCPT 123 Bob 37",
     false,
     {{"event", "ACCPT"}, {"targetCMN", "123"}, {"targetName", "Bob"}, {"groupCache", "37"}}},
    {"ADSB 0 REJCT 123", false, {{"event", "REJCT"}, {"targetCMN", "123"}}},
    {"ADSB 8 REJCT", false, {{"event", "REJCT"}}},
    // Group changes: the full form only for tid "0"; names keep their escapes.
    {"ADDG 6 38 4", true, {{"newGroupCache", "38"}, {"groupID", "4"}}},
    {"ADDG 0 38 4 Work%20mates", true, {{"newGroupCache", "38"}, {"groupID", "4"}, {"groupName", "Work%20mates"}}},
    {"ADDG 00 38 4", true, {{"newGroupCache", "38"}, {"groupID", "4"}}},
    {"ADDG 0 38 4", false, {{"newGroupCache", "38"}, {"groupID", "4"}}},
    {"ADDG 6 38", false, {{"newGroupCache", "38"}}},
    {"RMVG 6 39", true, {{"newGroupCache", "39"}}},
    {"RMVG 0 39 4", true, {{"newGroupCache", "39"}, {"groupID", "4"}}},
    {"RMVG 0 39", false, {{"newGroupCache", "39"}}},
    {"RMVG 6", false, {}},
    {"RENG 6 40", true, {{"newGroupCache", "40"}}},
    {"RENG 0 40 4 New%20name", true, {{"newGroupCache", "40"}, {"groupID", "4"}, {"groupName", "New%20name"}}},
    {"RENG 0 40 4", false, {{"newGroupCache", "40"}, {"groupID", "4"}}},
    // Batch answers: the group cache (raw for MVBG) and the body length last.
    {"CPBG 9 7%208 26", true, {{"newGroupCache", "7 8"}, {"bodyLen", "26"}}},
    {"MVBG 9 7%208 26", true, {{"newGroupCache", "7%208"}, {"bodyLen", "26"}}},
    {"RMBG 9 8 x 11", true, {{"newGroupCache", "8"}, {"bodyLen", "11"}}},
    // A line that ends at the group cache announces no body (its cache is no length).
    {"CPBG 9 8", true, {{"newGroupCache", "8"}}},
    {"RMBG 9 26", true, {{"newGroupCache", "26"}}},
    {"CPBG 9", false, {}},
    {"MVBG 9", false, {}},
    {"RMBG 9", false, {}},
    {"PACK 3", true, {}},
    {"PNAK 3 x y", true, {}},
};

using BuddyDecodeTest = DecodeTableTest;

TEST_P(BuddyDecodeTest, ReadsExactFields)
{
    expectDecodes(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, BuddyDecodeTest, ::testing::ValuesIn(kDecodeCases));

TEST(BuddyDecode, WordsDecodeToTheirClasses)
{
    LogCapture log;
    expectWordDecodesTo<PLRecvADDBPacket>("ADDB");
    expectWordDecodesTo<PLRecvRMVBPacket>("RMVB");
    expectWordDecodesTo<PLRecvADSBPacket>("ADSB");
    expectWordDecodesTo<PLRecvADDGPacket>("ADDG");
    expectWordDecodesTo<PLRecvRMVGPacket>("RMVG");
    expectWordDecodesTo<PLRecvRENGPacket>("RENG");
    expectWordDecodesTo<PLRecvCPBGPacket>("CPBG");
    expectWordDecodesTo<PLRecvMVBGPacket>("MVBG");
    expectWordDecodesTo<PLRecvRMBGPacket>("RMBG");
    expectWordDecodesTo<PLRecvPACKPacket>("PACK");
    expectWordDecodesTo<PLRecvPNAKPacket>("PNAK");
}

TEST(BuddyDecode, AddBuddyFormsAndProperties)
{
    LogCapture log;
    struct Case {
        const char *line;
        qint32 packetType;
        const char *nick;
        const char *areaCode;
    };
    const Case cases[] = {
        {"ADDB 4 123", PLRecvADDBPacket::General, "", ""},
        {"ADDB 0 FL 123 bob 37 Bobby", PLRecvADDBPacket::ForwardList, "Bobby", ""},
        {"ADDB 0 FL 123 bob 37 Bob%20by 02", PLRecvADDBPacket::ForwardList, "Bob%20by", "02"},
        {"ADDB 4 FL 123 bob 5 Bob", PLRecvADDBPacket::ForwardList, "", ""},
        {"ADDB 4 AL 123 bob", PLRecvADDBPacket::AllowList, "", ""},
        {"ADDB 0 RL 123 bob", PLRecvADDBPacket::ReverseList, "", ""},
        {"ADDB 4 BL 123 bob", PLRecvADDBPacket::BlockList, "", ""},
    };
    EXPECT_EQ(PLRecvADDBPacket().packetType(), 0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        auto packet = decodeAs<PLRecvADDBPacket>(c.line);
        EXPECT_EQ(packet->packetType(), c.packetType);
        EXPECT_EQ(packet->nick(), s(c.nick));
        EXPECT_EQ(packet->areaCode(), s(c.areaCode));
    }
    auto reverse = decodeAs<PLRecvADDBPacket>("ADDB 0 RL 123 bob Hi");
    EXPECT_EQ(reverse->type(), s("RL"));
    EXPECT_EQ(reverse->fromCMN(), s("123"));
    EXPECT_EQ(reverse->fromID(), s("bob"));
    EXPECT_EQ(reverse->msg(), s("Hi"));
    auto reply = decodeAs<PLRecvADDBPacket>("ADDB 4 FL 123 bob 5 Bob");
    EXPECT_EQ(reply->groupID(), s("5"));
    EXPECT_EQ(reply->name(), s("Bob"));
    EXPECT_TRUE(reply->groupCache().isNull());
    EXPECT_EQ(decodeAs<PLRecvADDBPacket>("ADDB 4 123")->targetCMN(), s("123"));
}

TEST(BuddyDecode, RemoveBuddyForms)
{
    LogCapture log;
    struct Case {
        const char *line;
        qint32 packetType;
    };
    const Case cases[] = {
        {"RMVB 0 RL 123 bob", PLRecvRMVBPacket::ReverseList},
        {"RMVB 0 FL 123 bob", PLRecvRMVBPacket::ServerChange},
        {"RMVB 12 37", PLRecvRMVBPacket::General},
        {"RMVB 12 RL 1 b", PLRecvRMVBPacket::ReverseList},
        {"RMVB 12", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(decodeAs<PLRecvRMVBPacket>(c.line)->packetType(), c.packetType);
    }
    auto change = decodeAs<PLRecvRMVBPacket>("RMVB 0 FL 123 bob");
    EXPECT_EQ(change->fromCMN(), s("123"));
    EXPECT_EQ(change->fromID(), s("bob"));
    EXPECT_EQ(decodeAs<PLRecvRMVBPacket>("RMVB 12 37")->groupCache(), s("37"));
}

TEST(BuddyDecode, HandshakeProperties)
{
    EXPECT_EQ(PLRecvADSBPacket().tid(), -1);
    auto full = decodeAs<PLRecvADSBPacket>("ADSB 0 REQST 123 Bob 37 02 bob 5");
    EXPECT_EQ(full->tid(), 0);
    EXPECT_EQ(full->event(), s("REQST"));
    EXPECT_EQ(full->targetCMN(), s("123"));
    EXPECT_EQ(full->targetName(), s("Bob"));
    EXPECT_EQ(full->groupCache(), s("37"));
    EXPECT_EQ(full->targetArea(), s("02"));
    EXPECT_EQ(full->targetID(), s("bob"));
    EXPECT_EQ(full->targetGID(), s("5"));
    auto rejected = decodeAs<PLRecvADSBPacket>("ADSB 8 REJCT 123");
    EXPECT_EQ(rejected->tid(), 8);
    EXPECT_TRUE(rejected->targetName().isNull());
}

TEST(BuddyDecode, GroupChangeReaders)
{
    auto added = decodeAs<PLRecvADDGPacket>("ADDG 0 38 4 Work%20mates");
    EXPECT_EQ(added->newGroupCache(), s("38"));
    EXPECT_EQ(added->groupID(), s("4"));
    EXPECT_EQ(added->groupName(), s("Work%20mates"));
    EXPECT_EQ(decodeAs<PLRecvRMVGPacket>("RMVG 0 39 4")->groupID(), s("4"));
    auto renamed = decodeAs<PLRecvRENGPacket>("RENG 0 40 4 New");
    EXPECT_EQ(renamed->newGroupCache(), s("40"));
    EXPECT_EQ(renamed->groupName(), s("New"));
}

struct BatchBodyCase {
    const char *body; // null: no body set
    qsizetype buddyCount;
    std::vector<std::pair<qsizetype, qint32>> codes;
};

TEST(BuddyDecode, BatchAnswerBodyCodes)
{
    const BatchBodyCase cases[] = {
        {nullptr, 0, {{0, -1}}},
        {"0 0\r\n1 201\r\n", 3, {{0, 0}, {1, 201}, {2, -1}, {3, -1}, {-1, -1}}},
        {"0 0\r\n2 201\r\n", 3, {{0, 0}, {1, -1}}},
        {"0 5 x\r\n1\r\n", 3, {{0, -1}, {1, -1}}},
        {"0 7", 1, {{0, 7}}},
        {"", 1, {{0, -1}}},
    };
    for (const BatchBodyCase &c : cases) {
        SCOPED_TRACE(c.body ? c.body : "(none)");
        auto packet = decodeAs<PLRecvCPBGPacket>("CPBG 9 8 11");
        if (c.body)
            packet->setBodyData(s(c.body));
        EXPECT_EQ(packet->buddyCount(), c.buddyCount);
        for (const auto &[index, code] : c.codes)
            EXPECT_EQ(packet->codeAtIndex(index), code) << "index " << index;
    }
}

TEST(BuddyDecode, BatchAnswerReaders)
{
    LogCapture log;
    auto moved = decodeAs<PLRecvMVBGPacket>("MVBG 9 7%208 26");
    EXPECT_EQ(moved->newGroupCache(), s("7%208"));
    EXPECT_EQ(moved->bodyLen(), 26);
    moved->setBodyData(s("0 0\r\n"));
    EXPECT_EQ(moved->bodyData(), s("0 0\r\n"));
    EXPECT_EQ(decodeAs<PLRecvRMBGPacket>("RMBG 9")->bodyLen(), 0);
    EXPECT_EQ(decodeAs<PLRecvRMBGPacket>("RMBG 9 26")->bodyLen(), 0);
}

} // namespace
