#include "SessionOnSink.h"

#include "TestSupport.h"

namespace parley::test {

void SessionOnSinkTest::SetUp()
{
    mSession = new PLDPSession(QStringLiteral("127.0.0.1"), mSink.port());
    mHolder.reset(mSession);
    mSession->setDelegate(&mDelegate);
    // Without credentials the connect starts no sign-in: the sink hears nothing.
    ASSERT_TRUE(mSession->connect());
    ASSERT_TRUE(waitUntil([&] { return mSession->isConnected() && mSink.hasClient(); }));
}

void SessionOnSinkTest::TearDown()
{
    mSession->setDelegate(nullptr);
    mHolder.reset();
}

QStringList SessionOnSinkTest::waitForLines(int count)
{
    waitUntil([&] { return mSink.lines().size() >= count; });
    return mSink.lines();
}

} // namespace parley::test
