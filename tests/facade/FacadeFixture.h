#pragma once

// The local service in-process with a real key exchange (a throwaway chain
// made by the openssl tool), one account-session facade signed in as alice,
// and raw peers (bob, carol, a second alice) that speak the wire text by hand.

#include "LocalService.h"
#include "RawClient.h"
#include "Sessions/PLParleySession.h"
#include "NotificationCenter.h"

#include <gtest/gtest.h>

#include <QVariantMap>
#include <memory>

namespace facade::test {

struct Posted {
    QString name;
    QVariantMap userInfo;
};

// A client that signs in with a plain-text LIN4 and completes the sign-in.
class Peer {
public:
    Peer(quint16 port, const QByteArray &userID, const QByteArray &password);
    bool signedIn() const { return mSignedIn; }
    void send(const QByteArray &bytes) { mClient.send(bytes); }
    // Reads lines until one starts with `prefix`; that line, or nothing.
    std::optional<QByteArray> lineStartingWith(const QByteArray &prefix);
    std::optional<QByteArray> readBytes(qsizetype n) { return mClient.readBytes(n); }
    bool waitClosed() { return mClient.waitClosed(); }

private:
    localservice::test::RawClient mClient;
    bool mSignedIn = false;
};

class FacadeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Starts the service (with faults), points the client at it and signs
    // alice in through the facade; answers whether "ParleyLoginCompleted" came.
    bool startAndSignIn(const QStringList &faults = {}, double keepalive = 5.0);
    // The two halves: the service, then a facade signed in as alice through
    // the dispatch server on `dispatchPort` (the service's when 0).
    bool startService(const QStringList &faults = {}, const QString &endpointsFile = {});
    bool signIn(quint16 dispatchPort = 0, double keepalive = 5.0);
    std::unique_ptr<Peer> peer(const QByteArray &userID, const QByteArray &password);

    // The first notification of that name posted since `from`.
    std::optional<Posted> waitFor(const QString &name, qsizetype from = 0, int timeoutMs = 5000);
    qsizetype mark() const { return mPosted.size(); }

    std::unique_ptr<localservice::LocalService> mService;
    std::unique_ptr<parley::PLParleySession> mSession;
    QList<Posted> mPosted;
    parley::NotificationCenter::Token mObserver = 0;
};

} // namespace facade::test
