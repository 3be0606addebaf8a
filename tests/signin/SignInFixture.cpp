#include "SignInFixture.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Sessions/PLEncrypUtil.h"
#include "Utils/PLEndpoints.h"

namespace parley::test {

void SignInTest::SetUp()
{
    const TestPki &pki = TestPki::shared();
    ASSERT_TRUE(pki.made) << "the openssl tool could not make the test certificates";
    qputenv("SSL_CERT_FILE", pki.caPem.toLocal8Bit());
    PLMyInfoManager::sharedManager().resetForTesting();
    PLEncrypUtil::install();
    PLEncrypUtil::shared().forgetAcceptedChain();
    PLCertAlert::setShared(&mAlert);
}

void SignInTest::TearDown()
{
    PLCertAlert::setShared(nullptr);
    PLEndpoints::setCurrent(PLEndpoints());
    qunsetenv("SSL_CERT_FILE");
}

void SignInTest::startService(const QString &chain, const QStringList &faults)
{
    const TestPki &pki = TestPki::shared();
    localservice::ServiceOptions options;
    options.certChainFile = chain.isEmpty() ? pki.goodChain : chain;
    options.keyFile = pki.key;
    options.faults = faults;
    mService = std::make_unique<localservice::LocalService>();
    QString error;
    ASSERT_TRUE(mService->start(options, &error)) << error.toStdString();
    mDispatchLines = std::make_unique<ClientTranscript>(mService->dispatchPort());
    mNotificationLines = std::make_unique<ClientTranscript>(mService->notificationPort());
    PLEndpoints endpoints;
    endpoints.dispatchHost = QStringLiteral("127.0.0.1");
    endpoints.dispatchPort = mDispatchLines->port();
    PLEndpoints::setCurrent(endpoints);
}

std::unique_ptr<SignInDriver> SignInTest::makeDriver(const QString &userID, const QString &password, bool relay)
{
    auto driver = std::make_unique<SignInDriver>(userID, password);
    if (relay) {
        // The dispatch server plays the relay (reached through the
        // transcript); RCON names the real servers.
        driver->setRelayPort(mDispatchLines->port());
        PLEndpoints endpoints = PLEndpoints::current();
        endpoints.dispatchPort = mService->dispatchPort();
        PLEndpoints::setCurrent(endpoints);
    } else {
        const quint16 through = mNotificationLines->port();
        driver->setPortMapper([through](quint16) { return through; });
    }
    return driver;
}

} // namespace parley::test
