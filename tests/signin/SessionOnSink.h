#pragma once

// A notification-server session connected to a SinkServer, with a delegate
// that records its calls, for tests of single senders and the keepalive.

#include "SinkServer.h"

#include "Sessions/PLDPSession.h"

#include <gtest/gtest.h>

namespace parley::test {

class RecordingDPDelegate : public PLDPSessionDelegate
{
public:
    void dpSessionServerTimeout(PLDPSession *, const QVariantMap &) override { calls.append("serverTimeout"); }
    void dpSessionErrorCodeReceived(PLDPSession *, const QVariantMap &info) override { errors.append(info); }
    QStringList calls;
    QList<QVariantMap> errors;
};

class SessionOnSinkTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // The lines the sink has received once there are at least `count`.
    QStringList waitForLines(int count);

    SinkServer mSink;
    RecordingDPDelegate mDelegate;
    PLDPSession *mSession = nullptr;
    PLSessionPtr mHolder;
};

} // namespace parley::test
