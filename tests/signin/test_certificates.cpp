// Server certificates the client must refuse: the certificate alert is asked,
// its answer ends the sign-in unless it is "continue", and a "continue" lets
// the next exchange with the same chain pass without asking again.
#include "SignInFixture.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "TestSupport.h"

#include <QCoreApplication>

#include <coffer_verify.h>

using namespace parley;
using namespace parley::test;

namespace {

struct BadChain {
    const char *name;
    QString TestPki::*chain;
    int code;
};

const BadChain kBadChains[] = {
    {"WrongName", &TestPki::wrongNameChain, COFFER_TRUST_NAME_REFUSED},
    {"Expired", &TestPki::expiredChain, COFFER_TRUST_RECOVERABLE},
    {"SelfSigned", &TestPki::selfSignedChain, COFFER_TRUST_RECOVERABLE},
};

struct AnswerCase {
    int answer;
    // The crypto glue's answer to the key exchange.
    QVariantMap keyResult;
};

class RefusedChainTest : public SignInTest, public ::testing::WithParamInterface<std::tuple<BadChain, AnswerCase>>
{
};

} // namespace

TEST_P(RefusedChainTest, TheAlertsAnswerEndsTheSignIn)
{
    const auto &[chain, answer] = GetParam();
    startService(TestPki::shared().*chain.chain);
    mAlert.setAnswers({answer.answer});
    auto driver = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return driver->has("dp:publicKeyReceived"); }, 15000))
        << driver->events().join(u',').toStdString();
    ASSERT_EQ(mAlert.requests().size(), 1);
    EXPECT_EQ(mAlert.requests()[0].code, chain.code);
    EXPECT_FALSE(mAlert.requests()[0].certificates.isEmpty());
    EXPECT_EQ(driver->keyResult(), answer.keyResult);
    // Nothing after NCPT: no PRVK goes out.
    QCoreApplication::processEvents();
    EXPECT_EQ(mNotificationLines->lines(0), QStringList({"NCPT 1 alice@parley.test PRM 0"}));
    EXPECT_FALSE(PLMyInfoManager::sharedManager().disableCertAlert());
}

const QVariantMap kStopped = {{"chat", false}, {"error", -1}};

INSTANTIATE_TEST_SUITE_P(
    Chains, RefusedChainTest,
    ::testing::Combine(::testing::ValuesIn(kBadChains),
                       // Stop; time-out (no key at all for the notification
                       // server); answers that are not "continue" never proceed.
                       ::testing::Values(AnswerCase{2, kStopped}, AnswerCase{3, {}}, AnswerCase{0, kStopped},
                                         AnswerCase{7, kStopped})),
    [](const auto &info) {
        return std::string(std::get<0>(info.param).name) + "Answer" + std::to_string(std::get<1>(info.param).answer);
    });

TEST_F(SignInTest, WithoutAnAlertWindowTheAnswerIsStop)
{
    PLCertAlert::setShared(nullptr);
    startService(TestPki::shared().wrongNameChain);
    auto driver = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return driver->has("dp:publicKeyReceived"); }, 15000));
    EXPECT_EQ(driver->keyResult(), kStopped);
}

class AcceptedChainTest : public SignInTest, public ::testing::WithParamInterface<BadChain>
{
};

TEST_P(AcceptedChainTest, ContinuingOnceLetsTheNextExchangePass)
{
    startService(TestPki::shared().*GetParam().chain);
    mAlert.setAnswers({PLCertAlert::Continue});
    auto first = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    first->start();
    ASSERT_TRUE(waitUntil([&] { return first->signedIn(); }, 15000)) << first->events().join(u',').toStdString();
    EXPECT_EQ(mAlert.requests().size(), 1);

    // The same chain again: no second alert (which would answer stop).
    auto second = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    second->start();
    ASSERT_TRUE(waitUntil([&] { return second->signedIn(); }, 15000)) << second->events().join(u',').toStdString();
    EXPECT_EQ(mAlert.requests().size(), 1);
}

TEST_F(SignInTest, AcceptingOneChainStillAsksForAnother)
{
    startService(TestPki::shared().expiredChain);
    mAlert.setAnswers({PLCertAlert::Continue});
    auto first = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    first->start();
    ASSERT_TRUE(waitUntil([&] { return first->signedIn(); }, 15000)) << first->events().join(u',').toStdString();

    startService(TestPki::shared().wrongNameChain);
    auto second = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    second->start();
    ASSERT_TRUE(waitUntil([&] { return second->has("dp:publicKeyReceived"); }, 15000));
    ASSERT_EQ(mAlert.requests().size(), 2);
    EXPECT_EQ(mAlert.requests()[1].code, COFFER_TRUST_NAME_REFUSED);
    EXPECT_EQ(second->keyResult(), kStopped);
}

INSTANTIATE_TEST_SUITE_P(Chains, AcceptedChainTest, ::testing::ValuesIn(kBadChains),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SignInTest, ATrustedChainWithTheRightNameAsksNothing)
{
    startService();
    mAlert.setAnswers({PLCertAlert::Continue});
    auto driver = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return driver->signedIn(); }, 15000));
    EXPECT_TRUE(mAlert.requests().isEmpty());
    EXPECT_FALSE(PLMyInfoManager::sharedManager().disableCertAlert());
}
