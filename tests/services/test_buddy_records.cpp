#include "BuddyManagement/PLBuddy.h"
#include "BuddyManagement/PLGroup.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace parley;

namespace {

PLBuddyPtr makeBuddy(const char *cmn, const char *flags, const char *velaID = nullptr)
{
    auto buddy = std::make_shared<PLBuddy>(QString::fromLatin1(cmn));
    if (flags)
        buddy->setBuddyFlags(QString::fromLatin1(flags));
    if (velaID)
        buddy->setVelaID(QString::fromLatin1(velaID));
    return buddy;
}

} // namespace

TEST(PLBuddy, NewRecordDefaults)
{
    const PLBuddy buddy(QStringLiteral("1001"));
    EXPECT_EQ(buddy.buddyCMN(), QStringLiteral("1001"));
    EXPECT_TRUE(buddy.buddyFlags().isNull());
    EXPECT_TRUE(buddy.velaID().isNull());
    EXPECT_TRUE(buddy.isBirthDaySolarType());
    EXPECT_FALSE(buddy.isTalkAvailable());
    EXPECT_EQ(buddy.status(), 0);
    EXPECT_FALSE(buddy.buddyFlagFLBit() || buddy.buddyFlagALBit() || buddy.buddyFlagBLBit() || buddy.buddyFlagRLBit());
}

TEST(PLBuddy, FlagBitsReadEachCharacter)
{
    const struct {
        const char *flags;
        bool fl, al, bl, rl;
    } cases[] = {
        {"1000", true, false, false, false}, {"0100", false, true, false, false},
        {"0010", false, false, true, false}, {"0001", false, false, false, true},
        {"1101", true, true, false, true},   {"2x1 ", false, false, true, false},
        {"", false, false, false, false},    {"11", true, true, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.flags);
        PLBuddy buddy;
        buddy.setBuddyFlags(QString::fromLatin1(c.flags));
        EXPECT_EQ(buddy.buddyFlagFLBit(), c.fl);
        EXPECT_EQ(buddy.buddyFlagALBit(), c.al);
        EXPECT_EQ(buddy.buddyFlagBLBit(), c.bl);
        EXPECT_EQ(buddy.buddyFlagRLBit(), c.rl);
    }
}

TEST(PLBuddy, BitSettersRewriteTheWholeString)
{
    const struct {
        const char *before; // nullptr: no flag string yet
        void (PLBuddy::*setter)(bool);
        bool bit;
        const char *after;
    } cases[] = {
        {nullptr, &PLBuddy::setBuddyFlagBLBit, true, "0010"},
        {nullptr, &PLBuddy::setBuddyFlagFLBit, false, "0000"},
        {"1101", &PLBuddy::setBuddyFlagFLBit, false, "0101"},
        {"1101", &PLBuddy::setBuddyFlagALBit, false, "1001"},
        {"1101", &PLBuddy::setBuddyFlagBLBit, true, "1111"},
        {"1101", &PLBuddy::setBuddyFlagRLBit, false, "1100"},
        {"x1y1", &PLBuddy::setBuddyFlagFLBit, true, "1101"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.after);
        PLBuddy buddy;
        if (c.before)
            buddy.setBuddyFlags(QString::fromLatin1(c.before));
        (buddy.*c.setter)(c.bit);
        EXPECT_EQ(buddy.buddyFlags(), QString::fromLatin1(c.after));
    }
}

TEST(PLBuddy, Q7NumberEmptyFieldAndMobile)
{
    PLBuddy buddy;
    buddy.setQ7CMN(QStringLiteral("%00"));
    EXPECT_TRUE(buddy.q7CMN().isNull());
    buddy.setQ7CMN(QStringLiteral("77"));
    EXPECT_EQ(buddy.q7CMN(), QStringLiteral("77"));
    buddy.setQ7CMN(QStringLiteral("%00"));
    EXPECT_TRUE(buddy.q7CMN().isNull());
    buddy.setOrchardCMN(QStringLiteral("%00"));
    EXPECT_EQ(buddy.orchardCMN(), QStringLiteral("%00"));

    buddy.setMobile(QStringLiteral("01"));
    EXPECT_FALSE(buddy.isMobileExist());
    buddy.setMobile(QStringLiteral("010"));
    EXPECT_TRUE(buddy.isMobileExist());
}

// E-mail, Q7 number and the two dates are kept apart from the record until
// one is set: each must read back exactly as set (empty apart from none), and
// a copy of a record must not share changes with it.
TEST(PLBuddy, RarelySetFieldsReadBackAsSetAndCopiesStayApart)
{
    const QDateTime day(QDate(1990, 5, 17), QTime(0, 0));
    PLBuddy buddy(QStringLiteral("1001"));
    EXPECT_TRUE(buddy.email().isNull());
    EXPECT_TRUE(buddy.q7CMN().isNull());
    EXPECT_TRUE(buddy.birthDay().isNull());
    EXPECT_TRUE(buddy.musicDate().isNull());

    buddy.setEmail(QString());
    buddy.setBirthDay(QDateTime());
    EXPECT_TRUE(buddy.email().isNull());
    EXPECT_TRUE(buddy.birthDay().isNull());

    buddy.setEmail(QLatin1String(""));
    EXPECT_FALSE(buddy.email().isNull());
    EXPECT_TRUE(buddy.email().isEmpty());
    buddy.setMQ7CMN(QStringLiteral("%00"));
    EXPECT_EQ(buddy.q7CMN(), QStringLiteral("%00"));
    buddy.setBirthDay(day);
    buddy.setMusicDate(day.addDays(1));
    EXPECT_EQ(buddy.birthDay(), day);
    EXPECT_EQ(buddy.musicDate(), day.addDays(1));

    PLBuddy copy = buddy;
    copy.setEmail(QStringLiteral("b@parley.test"));
    copy.setMusicDate(QDateTime());
    EXPECT_TRUE(buddy.email().isEmpty());
    EXPECT_EQ(buddy.musicDate(), day.addDays(1));
    EXPECT_EQ(copy.email(), QStringLiteral("b@parley.test"));
    EXPECT_TRUE(copy.musicDate().isNull());
    EXPECT_EQ(copy.birthDay(), day);

    buddy.setEmail(QString());
    EXPECT_TRUE(buddy.email().isNull());
    EXPECT_EQ(buddy.q7CMN(), QStringLiteral("%00"));
}

TEST(PLGroup, AddBuddyFilesByFLBitAndKeepsOneDictionary)
{
    PLGroup group(QStringLiteral("g1"), QStringLiteral("Friends"));
    const PLBuddyPtr off = makeBuddy("1", "0100");
    EXPECT_TRUE(group.addBuddy(off));
    EXPECT_EQ(group.listedBuddyCount(), 0);
    EXPECT_EQ(group.buddyForCMN(QStringLiteral("1")), off);
    EXPECT_FALSE(group.containsBuddy(off));

    // Once listed, adding again must move it, never leave a second copy.
    off->setBuddyFlagFLBit(true);
    group.addBuddy(off);
    EXPECT_EQ(group.listedBuddyCount(), 1);
    EXPECT_FALSE(group.mNotFLBuddyDict().contains(QStringLiteral("1")));
    off->setBuddyFlagFLBit(false);
    group.addBuddy(off);
    EXPECT_EQ(group.listedBuddyCount(), 0);
    EXPECT_TRUE(group.mNotFLBuddyDict().contains(QStringLiteral("1")));
    EXPECT_FALSE(group.addBuddy(nullptr));
}

TEST(PLGroup, CheckNotFLBuddyResortsBothWays)
{
    PLGroup group(QStringLiteral("g1"), QStringLiteral("Friends"));
    const PLBuddyPtr a = makeBuddy("1", "1000");
    const PLBuddyPtr b = makeBuddy("2", "1000");
    group.addBuddy(a);
    group.addBuddy(b);
    a->setBuddyFlagFLBit(false);
    group.checkNotFLBuddy();
    EXPECT_EQ(group.listedBuddyCount(), 1);
    EXPECT_TRUE(group.mNotFLBuddyDict().contains(QStringLiteral("1")));
    a->setBuddyFlagFLBit(true);
    b->setBuddyFlagFLBit(false);
    group.checkNotFLBuddy();
    EXPECT_TRUE(group.mUserListDict().contains(QStringLiteral("1")));
    EXPECT_TRUE(group.mNotFLBuddyDict().contains(QStringLiteral("2")));
    EXPECT_EQ(group.mUserListDict().size() + group.mNotFLBuddyDict().size(), 2);
}

TEST(PLGroup, MoveRemoveAndLookups)
{
    PLGroup group(QStringLiteral("g1"), QStringLiteral("Friends"));
    const PLBuddyPtr listed = makeBuddy("1", "1000", "a@vela.test");
    const PLBuddyPtr off = makeBuddy("2", "0000", "b@vela.test");
    group.addBuddy(listed);
    group.addBuddy(off);

    EXPECT_FALSE(group.moveToNotFLBuddy(QStringLiteral("2")));
    EXPECT_EQ(group.mNotFLBuddyDict().size(), 1);
    EXPECT_EQ(group.buddyForID(QStringLiteral("b@vela.test")), off);
    EXPECT_EQ(group.buddyForID(QStringLiteral("A@vela.test")), nullptr);
    EXPECT_EQ(group.listedBuddyAtIndex(0), listed);
    EXPECT_EQ(group.listedBuddyAtIndex(1), nullptr);
    EXPECT_EQ(group.listedBuddyAtIndex(-1), nullptr);

    EXPECT_TRUE(group.moveToNotFLBuddy(QStringLiteral("1")));
    EXPECT_EQ(group.listedBuddyCount(), 0);
    EXPECT_EQ(group.buddyForCMN(QStringLiteral("1")), listed);
    // removeBuddy touches only the listed buddies.
    EXPECT_TRUE(group.removeBuddy(QStringLiteral("1")));
    EXPECT_EQ(group.buddyForCMN(QStringLiteral("1")), listed);

    EXPECT_TRUE(group.isEqualToID(QStringLiteral("g1")));
    EXPECT_FALSE(group.isEqualToID(QStringLiteral("G1")));
    EXPECT_FALSE(group.isEqualToID(QString()));
}
