// The keepalive of the notification-server session: PONG from the third
// silent tick, the time-out at the sixth unanswered PONG, any received line
// restarting the count, and the timer ending with the session or its logout.
#include "SessionOnSink.h"

#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QThread>

using namespace parley;
using namespace parley::test;

namespace {

// Runs `ticks` keepalive ticks and answers, per tick, "P" when a PONG went
// out and "T" when the time-out was reported ("-" for neither).
QString runTicks(PLDPSession &session, SinkServer &sink, RecordingDPDelegate &delegate, int ticks)
{
    QString marks;
    for (int i = 0; i < ticks; ++i) {
        const qsizetype pongsBefore = session.mTidValue();
        const qsizetype timeoutsBefore = delegate.calls.size();
        session.receiveCheckTimer();
        const bool pong = session.mTidValue() != quint32(pongsBefore);
        const bool timeout = delegate.calls.size() != timeoutsBefore;
        marks += timeout ? QLatin1Char('T') : pong ? QLatin1Char('P') : QLatin1Char('-');
    }
    (void)sink;
    return marks;
}

} // namespace

TEST_F(SessionOnSinkTest, PONGFromTheThirdTickAndTimeOutAtTheSixthUnanswered)
{
    mSession->setIsAvailablePONG(true);
    EXPECT_EQ(runTicks(*mSession, mSink, mDelegate, 10), QStringLiteral("--PPPPPTPP"));
    const QStringList lines = waitForLines(8);
    ASSERT_EQ(lines.size(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(lines[i], QStringLiteral("PONG %1").arg(i + 1));
}

TEST_F(SessionOnSinkTest, AnyReceivedLineRestartsTheCount)
{
    mSession->setIsAvailablePONG(true);
    EXPECT_EQ(runTicks(*mSession, mSink, mDelegate, 5), QStringLiteral("--PPP"));
    mSink.reply("PONG 3\r\n");
    ASSERT_TRUE(waitUntil([&] { return mSession->mTimerCount() == 0; }));
    EXPECT_EQ(mSession->mPONGCount(), 0);
    EXPECT_EQ(runTicks(*mSession, mSink, mDelegate, 8), QStringLiteral("--PPPPPT"));
}

// A line's arrival is the time its bytes were read: a reply read later moves
// the last-received time on, and lines read together share it.
TEST_F(SessionOnSinkTest, TheLastReceivedTimeIsWhenTheLineArrived)
{
    mSession->setIsAvailablePONG(true);
    EXPECT_EQ(runTicks(*mSession, mSink, mDelegate, 3), QStringLiteral("--P"));
    const QDateTime before = mSession->mLastPacketReceivedTime();
    QThread::msleep(60);
    mSink.reply("PONG 3\r\nPONG 4\r\n");
    ASSERT_TRUE(waitUntil([&] { return mSession->mTimerCount() == 0; }));
    EXPECT_GT(mSession->mLastPacketReceivedTime(), before.addMSecs(40));
    const QDateTime arrived = mSession->mLastPacketReceivedTime();
    EXPECT_LE(arrived, QDateTime::currentDateTimeUtc().addMSecs(30));
    QThread::msleep(60);
    // Nothing read since: the time stays where the reply put it.
    EXPECT_LT(qAbs(mSession->mLastPacketReceivedTime().msecsTo(arrived)), 30);
}

TEST_F(SessionOnSinkTest, AServerPINGIsAnsweredAndRestartsTheCount)
{
    mSession->setIsAvailablePONG(true);
    runTicks(*mSession, mSink, mDelegate, 4);
    ASSERT_EQ(waitForLines(2).size(), 2);
    mSink.clear();
    mSink.reply("PING 0\r\n");
    EXPECT_EQ(waitForLines(1), QStringList({"PING 0"}));
    EXPECT_EQ(mSession->mTimerCount(), 0);
    EXPECT_EQ(mSession->mPONGCount(), 0);
}

TEST_F(SessionOnSinkTest, AFileTransferSuppressesTheTimeOut)
{
    mSession->setIsAvailablePONG(true);
    mSession->setFileTransferFlag(true);
    EXPECT_EQ(runTicks(*mSession, mSink, mDelegate, 20), QStringLiteral("--PPPPPPPPPPPPPPPPPP"));
    EXPECT_TRUE(mDelegate.calls.isEmpty());
}

TEST_F(SessionOnSinkTest, SwitchingPONGOffStopsTheTimerAtItsNextTick)
{
    mSession->setIsAvailablePONG(true);
    mSession->loginCompleted();
    EXPECT_TRUE(mSession->isKeepaliveRunning());
    mSession->setIsAvailablePONG(false);
    mSession->receiveCheckTimer();
    EXPECT_FALSE(mSession->isKeepaliveRunning());
    EXPECT_FALSE(mSession->sendPONG());
}

TEST_F(SessionOnSinkTest, TheKeepaliveEndsWithTheLine)
{
    int closed = 0;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(notifications::kSessionClosed), mSession, [&](const Notification &n) {
            EXPECT_EQ(n.userInfo.value("SessionClosed").toString(), QStringLiteral("DPSessionRetry"));
            ++closed;
        });
    mSession->setIsAvailablePONG(true);
    mSession->loginCompleted();
    ASSERT_TRUE(mSession->isKeepaliveRunning());
    mSink.closeClient();
    ASSERT_TRUE(waitUntil([&] { return closed > 0; }));
    EXPECT_FALSE(mSession->isKeepaliveRunning());
    EXPECT_EQ(closed, 1);
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(SessionOnSinkTest, DisconnectingStopsTheKeepalive)
{
    mSession->setIsAvailablePONG(true);
    mSession->loginCompleted();
    mSession->disconnect();
    EXPECT_FALSE(mSession->isKeepaliveRunning());
    // Started on a closed line, it ends at its first tick.
    mSession->loginCompleted();
    ASSERT_TRUE(mSession->isKeepaliveRunning());
    mSession->receiveCheckTimer();
    EXPECT_FALSE(mSession->isKeepaliveRunning());
    EXPECT_TRUE(mDelegate.calls.isEmpty());
}

TEST_F(SessionOnSinkTest, AFailedLogoutStillStopsTheKeepalive)
{
    mSession->setIsAvailablePONG(true);
    mSession->disconnect();
    mSession->loginCompleted();
    ASSERT_TRUE(mSession->isKeepaliveRunning());
    EXPECT_FALSE(mSession->logout());
    EXPECT_FALSE(mSession->isKeepaliveRunning());
}

TEST_F(SessionOnSinkTest, AfterKILLLogoutSendsNoLOUTButStopsAndDisconnects)
{
    int closed = 0;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(notifications::kSessionClosed), mSession, [&](const Notification &) { ++closed; });
    mSession->setIsAvailablePONG(true);
    mSession->loginCompleted();
    mSession->setDpState(PLDPSession::Killed);
    EXPECT_FALSE(mSession->logout());
    EXPECT_FALSE(mSession->isKeepaliveRunning());
    EXPECT_FALSE(mSession->isConnected());
    EXPECT_EQ(mSession->dpState(), PLDPSession::Idle);
    QCoreApplication::processEvents();
    EXPECT_TRUE(mSink.lines().isEmpty());
    EXPECT_EQ(closed, 0);
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(SessionOnSinkTest, LoginIsRefusedOutsideTheIdleState)
{
    mSession->setDpState(PLDPSession::LoggedIn);
    EXPECT_FALSE(mSession->loginWithUserID(QStringLiteral("alice@parley.test"), QStringLiteral("pw"), false));
    mSession->setDpState(PLDPSession::Idle);
    EXPECT_TRUE(mSession->loginWithUserID(QStringLiteral("alice@parley.test"), QStringLiteral("pw"), false));
    EXPECT_EQ(mSession->dpState(), PLDPSession::KeyExchangeStarted);
    EXPECT_EQ(waitForLines(1), QStringList({"NCPT 1 alice@parley.test PRM 0"}));
}
