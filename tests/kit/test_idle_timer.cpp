// The idle timer with a short interval: begins, continues, finishes at input;
// other events are not input; bad intervals make no timer.
#include "KCIdleTimer.h"
#include "TestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>

using parley::test::waitUntil;

namespace {

struct Recorder : KCIdleTimerDelegate {
    void timerBeginsIdling(KCIdleTimer *timer) override { record('b', timer); }
    void timerContinuesIdling(KCIdleTimer *timer) override { record('c', timer); }
    void timerFinishedIdling(KCIdleTimer *timer) override { record('f', timer); }
    void record(char what, KCIdleTimer *timer)
    {
        events += what;
        senders.push_back(timer);
    }
    std::string events;
    std::vector<KCIdleTimer *> senders;
};

void sendKey(QWidget &widget)
{
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&widget, &key);
}

TEST(IdleTimer, BeginsContinuesAndFinishesAtTheNextInput)
{
    QWidget widget;
    Recorder recorder;
    std::unique_ptr<KCIdleTimer> timer = KCIdleTimer::create(0.02);
    ASSERT_TRUE(timer);
    timer->setDelegate(&recorder);
    ASSERT_TRUE(waitUntil([&] { return recorder.events.size() >= 3; }));
    EXPECT_EQ(recorder.events.substr(0, 3), "bcc");
    EXPECT_TRUE(timer->isIdling());

    sendKey(widget);
    EXPECT_EQ(recorder.events.back(), 'f');
    EXPECT_FALSE(timer->isIdling());
    for (KCIdleTimer *sender : recorder.senders)
        EXPECT_EQ(sender, timer.get());

    // A new idle period starts with "begin" again.
    const size_t before = recorder.events.size();
    ASSERT_TRUE(waitUntil([&] { return recorder.events.size() > before; }));
    EXPECT_EQ(recorder.events[before], 'b');
}

TEST(IdleTimer, InputWhileActiveFinishesNothing)
{
    QWidget widget;
    Recorder recorder;
    // Long enough not to begin while the test runs.
    std::unique_ptr<KCIdleTimer> timer = KCIdleTimer::create(3600);
    timer->setDelegate(&recorder);
    sendKey(widget);
    QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
    EXPECT_EQ(recorder.events, "");
}

TEST(IdleTimer, OtherEventsAreNotInput)
{
    QWidget widget;
    Recorder recorder;
    std::unique_ptr<KCIdleTimer> timer = KCIdleTimer::create(0.02);
    timer->setDelegate(&recorder);
    ASSERT_TRUE(waitUntil([&] { return !recorder.events.empty(); }));
    widget.resize(50, 50);
    widget.update();
    QEvent user(QEvent::User);
    QApplication::sendEvent(&widget, &user);
    QCoreApplication::processEvents();
    EXPECT_TRUE(timer->isIdling());
    EXPECT_EQ(recorder.events.find('f'), std::string::npos);
}

TEST(IdleTimer, ADelegateMayDeleteTheTimer)
{
    struct Deleting : KCIdleTimerDelegate {
        void timerBeginsIdling(KCIdleTimer *) override
        {
            ++begins;
            owned.reset();
        }
        std::unique_ptr<KCIdleTimer> owned;
        int begins = 0;
    } deleting;
    deleting.owned = KCIdleTimer::create(0.01);
    deleting.owned->setDelegate(&deleting);
    ASSERT_TRUE(waitUntil([&] { return deleting.begins > 0; }));
    EXPECT_FALSE(deleting.owned);
    QWidget widget;
    sendKey(widget); // no filter left to call
    EXPECT_EQ(deleting.begins, 1);
}

TEST(IdleTimer, NeedsAPositiveInterval)
{
    EXPECT_FALSE(KCIdleTimer::create(0));
    EXPECT_FALSE(KCIdleTimer::create(-5));
    EXPECT_FALSE(KCIdleTimer::create(std::nan("")));
    EXPECT_FALSE(KCIdleTimer::create(INFINITY));
    EXPECT_TRUE(KCIdleTimer::create(0.5));
}

} // namespace
