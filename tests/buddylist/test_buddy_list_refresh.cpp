// The refresh: bursts of buddy updates rebuilt once, forced reloads, and the
// follow-up that tells the shell the list is there. Time is the test's own
// clock (ManualScheduler), so every moment is exact.

#include "BuddyListFixture.h"

#include "BuddyList/BuddyListRefresh.h"

namespace buddylist::test {
namespace {

class BuddyListRefreshTest : public ::testing::Test {
protected:
    struct Event {
        qint64 at;
        QString what;
        bool operator==(const Event &) const = default;
    };
    friend void PrintTo(const Event &e, std::ostream *os) { *os << e.at << ":" << e.what.toStdString(); }

    BuddyListRefreshTest()
        : refresh(clock, BuddyListRefresh::Actions{
                             [this] { return dataReceived; },
                             [this](bool rows) { log(rows ? "rebuild" : "redraw"); },
                             [this] { log("expand"); },
                             [this] { log("status list"); },
                             [this] { log("data received"); }})
    {
    }
    void log(const char *what) { events.append({clock.now(), QLatin1String(what)}); }

    ManualScheduler clock;
    bool dataReceived = true;
    QList<Event> events;
    BuddyListRefresh refresh;
};

TEST_F(BuddyListRefreshTest, TenUpdatesInABurstGiveOneRebuildThenTheFollowUp)
{
    // Ten updates within 0.3 s, the last at 300 ms.
    for (int i = 0; i < 10; ++i) {
        clock.advance(i == 0 ? 0 : 33);
        refresh.buddyUpdated();
    }
    const qint64 last = clock.now();
    clock.advance(5000);
    ASSERT_EQ(events.size(), 3);
    EXPECT_EQ(events[0].what, QStringLiteral("rebuild"));
    EXPECT_GE(events[0].at - last, 500);
    EXPECT_LE(events[0].at - last, 1000);
    EXPECT_EQ(events[1], (Event{events[0].at + 1000, "data received"}));
    EXPECT_EQ(events[2], (Event{events[0].at + 1000, "expand"}));
    EXPECT_FALSE(refresh.mIsBuddyLoading());
    EXPECT_EQ(clock.pending(), 0);
}

TEST_F(BuddyListRefreshTest, TheTableOfEvents)
{
    // One update: flag set, a 0.5 s timer.
    refresh.buddyUpdated();
    EXPECT_TRUE(refresh.mIsBuddyLoading());
    EXPECT_EQ(clock.pending(), 1);
    // Another while pending: nothing more.
    refresh.buddyUpdated();
    EXPECT_EQ(clock.pending(), 1);
    // The timer finds the flag set: clears it and waits another 0.5 s.
    clock.advance(500);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_FALSE(refresh.mIsBuddyLoading());
    // An update now arms a second timer beside the first; both run their course.
    clock.advance(100);
    refresh.buddyUpdated();
    clock.advance(400); // first timer at 1000: flag set by the update, so it waits
    EXPECT_TRUE(events.isEmpty());
    clock.advance(100); // the update's timer at 1100: flag clear now, rebuild
    clock.advance(400); // the first's second wait ends at 1500: rebuild again
    clock.advance(2000);
    const QList<Event> expected{{1100, "rebuild"}, {1500, "rebuild"}, {2100, "data received"},
                                {2100, "expand"},  {2500, "data received"}, {2500, "expand"}};
    EXPECT_EQ(events, expected);
}

TEST_F(BuddyListRefreshTest, AForcedReloadRebuildsAtOnceTellsTheMessageBoxAndIsFollowedByOneMore)
{
    refresh.reloadBuddyData(true);
    EXPECT_TRUE(refresh.mIsBuddyLoading());
    clock.advance(3000);
    const QList<Event> expected{{0, "rebuild"},   {0, "expand"},           {0, "status list"},
                                {1000, "rebuild"}, {2000, "data received"}, {2000, "expand"}};
    EXPECT_EQ(events, expected);
}

TEST_F(BuddyListRefreshTest, AForcedReloadBeforeTheListArrivedIsDropped)
{
    dataReceived = false;
    refresh.reloadBuddyData(true);
    clock.advance(5000);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(clock.pending(), 0);
    EXPECT_FALSE(refresh.mIsBuddyLoading());
}

TEST_F(BuddyListRefreshTest, AnUnforcedReloadOnlyRedrawsWhileATimerRebuildIsPending)
{
    refresh.reloadBuddyData(false);
    refresh.buddyUpdated();
    refresh.reloadBuddyData(false);
    const QList<Event> expected{{0, "rebuild"}, {0, "redraw"}};
    EXPECT_EQ(events, expected);
}

} // namespace
} // namespace buddylist::test
