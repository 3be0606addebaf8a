// End to end: the local service, this client signed in through the real
// account-session facade with the memo windows' manager installed, and
// parley-headless as the other user. A buddy request accepted into a chosen
// group shows on both sides; memos go each way through the windows, shown as
// "showMemoIndex" says; the message box's side of a private bus sees every
// memo filed, and nothing for one opened from the box.

#include "BuddyList/BuddyRequestController.h"
#include "BuddyList/FacadeBuddySession.h"
#include "Conversation/KCWebView.h"
#include "HeadlessPeer.h"
#include "LocalService.h"
#include "PlugInNotifications.h"
#include "MemoWindowFixture.h"
#include "Preferences/PrefsEmoticonTextEdit.h"
#include "Sessions/PLEncrypUtil.h"
#include "Sessions/PLRecordingShell.h"
#include "TestPki.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

namespace memo::test {
namespace {

using facade::test::HeadlessPeer;
using parley::test::waitUntil;

// The shell as the core sees it: the related-memo requests' cookies go to the manager.
class MemoShell final : public PLRecordingShell
{
public:
    void setCookie(const QString &cookie, const QString &tid) override
    {
        PLRecordingShell::setCookie(cookie, tid);
        if (manager)
            manager->setCookie(cookie, tid);
    }
    MessageWindowManager *manager = nullptr;
};

class MemoEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const parley::test::TestPki &pki = parley::test::TestPki::shared();
        ASSERT_TRUE(pki.made) << "the openssl tool could not make the test certificates";
        qputenv("SSL_CERT_FILE", pki.caPem.toLocal8Bit());
        PLEncrypUtil::install();
        ASSERT_TRUE(PrivateBus::available() && bus.isRunning()) << "no dbus-daemon";

        UserDefaults::standardUserDefaults().setPath(mFolder.filePath(QStringLiteral("defaults.plist")));
        PLBuddyManager::sharedManager().reset();
        PLMyInfoManager::sharedManager().resetForTesting();
        PrefsManager::setCurrentUserProvider(&user);
        UserDefaults::standardUserDefaults().setUserDictionary(QStringLiteral("alice@parley.test"),
                                                               KCDefaultUserPreferences());
        PLShellServices::setShared(&shell);

        const QString data = mFolder.filePath(QStringLiteral("accounts.json"));
        QFile file(data);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"accounts": [
  {"id": "alice@parley.test", "password": "alice-pw", "cmn": "300001", "name": "Alice",
   "groups": [{"id": "1", "name": "Friends"}, {"id": "2", "name": "Work"}]},
  {"id": "bob@parley.test", "password": "bob-pw", "cmn": "300002", "name": "Bob"}
]})");
        file.close();
        localservice::ServiceOptions options;
        options.dataFile = data;
        options.certChainFile = pki.goodChain;
        options.keyFile = pki.key;
        QString error;
        ASSERT_TRUE(service.start(options, &error)) << error.toStdString();
        mSavedEndpoints = PLEndpoints::current();
        PLEndpoints endpoints = mSavedEndpoints;
        endpoints.dispatchHost = QStringLiteral("127.0.0.1");
        endpoints.dispatchPort = service.dispatchPort();
        const QString web = QStringLiteral("http://127.0.0.1:%1").arg(service.webPort());
        endpoints.webMail = endpoints.webMemo = endpoints.webSister = web;
        PLEndpoints::setCurrent(endpoints);

        messenger = std::make_unique<DistributedNotificationCenter>(bus.connect(QStringLiteral("e2e-messenger")));
        box = std::make_unique<DistributedNotificationCenter>(bus.connect(QStringLiteral("e2e-box")));
        box->addObserver(QLatin1String(notifications::kSaveMemoDocument),
                         [this](const DistributedNotification &n) { saved.append(n.userInfo); });
        facade = std::make_unique<PLParleySession>();
        services.facade = facade.get();
        defaults = std::make_unique<UserDefaults>(mFolder.filePath(QStringLiteral("memo.plist")));
        manager = std::make_unique<MessageWindowManager>(services, NotificationCenter::defaultCenter(), messenger.get(),
                                                         *defaults);
        shell.manager = manager.get();
        mObserver = NotificationCenter::defaultCenter().addObserver(
            QString(), nullptr, [this](const Notification &n) { posted.append({n.name, n.userInfo}); });
    }

    void TearDown() override
    {
        NotificationCenter::defaultCenter().removeObserver(mObserver);
        shell.manager = nullptr;
        manager.reset();
        services.facade = nullptr;
        facade.reset();
        waitUntil([] { return false; }, 50); // deferred deletions of the sessions
        PLShellServices::setShared(nullptr);
        PrefsManager::setCurrentUserProvider(nullptr);
        PLEndpoints::setCurrent(mSavedEndpoints);
        PLBuddyManager::sharedManager().reset();
        PLMyInfoManager::sharedManager().resetForTesting();
        UserDefaults::standardUserDefaults().setPath(UserDefaults::defaultPath());
    }

    std::optional<QVariantMap> waitForPosted(const char *name, int timeoutMs = 15000)
    {
        std::optional<QVariantMap> found;
        waitUntil(
            [&] {
                for (const auto &[n, info] : std::as_const(posted))
                    if (n == QLatin1String(name)) {
                        found = info;
                        return true;
                    }
                return false;
            },
            timeoutMs);
        return found;
    }
    static bool anyWithText(const QVariantMap &info, const QString &text)
    {
        return parley::stringByParleyDecoding(info.value(QStringLiteral("message")).toString()).contains(text);
    }

    struct AliceUser final : PLCurrentUserProvider {
        QString currentUserID() const override { return QStringLiteral("alice@parley.test"); }
    } user;
    QTemporaryDir mFolder;
    PrivateBus bus;
    MemoShell shell;
    localservice::LocalService service;
    PLEndpoints mSavedEndpoints;
    RecordingMemoServices services;
    parley::test::ScriptedAlerts alerts;
    std::unique_ptr<DistributedNotificationCenter> messenger;
    std::unique_ptr<DistributedNotificationCenter> box;
    std::unique_ptr<PLParleySession> facade;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<MessageWindowManager> manager;
    QList<QPair<QString, QVariantMap>> posted;
    QList<QVariantMap> saved;
    NotificationCenter::Token mObserver = 0;
};

TEST_F(MemoEndToEnd, ABuddyRequestAcceptedIntoAGroupThenMemosEachWayFiledInTheBox)
{
    facade->loginWithUserID(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"), {});
    ASSERT_TRUE(waitForPosted(notifications::kLoginCompleted)) << "alice did not sign in";
    HeadlessPeer bob(service.dispatchPort(), QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"));
    ASSERT_TRUE(bob.waitFor("ParleyLoginCompleted", {}, 15000));

    // Bob asks; Alice accepts him into "Work".
    bob.command(QStringLiteral("request alice@parley.test 0 \"It's Bob\""));
    const std::optional<QVariantMap> request = waitForPosted(notifications::kBuddyManagerRequestedAddBuddy);
    ASSERT_TRUE(request);
    FacadeBuddySession buddySession([this] { return facade.get(); });
    BuddyRequestController requests(buddySession);
    requests.showBuddyRequestWindow(request->value(QLatin1String(notifications::kKeyFromID)).toString(),
                                    request->value(QLatin1String(notifications::kKeyFromCMN)).toString(),
                                    request->value(QStringLiteral("message")).toString());
    ASSERT_TRUE(requests.window());
    QComboBox *groups = requests.window()->groupSelectButton();
    const int work = groups->findText(QStringLiteral("Work"));
    ASSERT_GE(work, 0);
    groups->setCurrentIndex(work);
    requests.window()->buddyAcceptAction();
    ASSERT_TRUE(waitUntil(
        [] {
            const PLGroupPtr group = PLBuddyManager::sharedManager().groupForID(QStringLiteral("2"));
            return group && group->buddyForID(QStringLiteral("bob@parley.test"));
        },
        15000))
        << "Bob is not in Alice's group Work";
    bob.command(QStringLiteral("buddy alice@parley.test"));
    ASSERT_TRUE(bob.waitForLine([](const QJsonObject &line) {
        return line.value(QStringLiteral("buddy")).toObject().value(QStringLiteral("velaID")).toString()
            == QLatin1String("alice@parley.test");
    })) << "Alice is not on Bob's list";

    // A memo to Alice opens a window (showMemoIndex 1) and is filed.
    PrefsManager::setNoti_IsShowMemoType(1);
    bob.command(QStringLiteral("memo alice@parley.test \"Lunch <today>?\""));
    ASSERT_TRUE(waitUntil([&] { return !manager->recvMessageWindows().isEmpty(); }, 15000));
    ReceiveMessageWindowController *read = manager->recvMessageWindows()[0];
    EXPECT_TRUE(read->messageText()->toPlainText().contains(QStringLiteral("Lunch <today>?")));
    ASSERT_TRUE(waitUntil([&] { return saved.size() >= 2; }));
    EXPECT_EQ(saved[0].value(QStringLiteral("msgType")), QStringLiteral("inbox"));
    EXPECT_EQ(saved[0].value(QStringLiteral("suserID")), QStringLiteral("bob@parley.test"));
    EXPECT_EQ(saved[0].value(QStringLiteral("bodyData")), QStringLiteral("Lunch <today>?"));
    EXPECT_EQ(saved[1].value(QStringLiteral("uuid")), saved[0].value(QStringLiteral("uuid"))); // opened: read

    // Alice answers from the window; Bob receives it and the box files it as sent.
    read->replyAction();
    ASSERT_EQ(manager->sendMessageWindows().size(), 1);
    MessageWindowController *compose = manager->sendMessageWindows()[0];
    EXPECT_EQ(compose->tokenizeTargetIDs(), QStringList{QStringLiteral("bob@parley.test")});
    compose->messageText()->setPlainText(QStringLiteral("Yes, at noon"));
    compose->sendAction();
    EXPECT_TRUE(alerts.shown.empty());
    ASSERT_TRUE(bob.waitFor("ParleyMessageReceived",
                            [](const QVariantMap &info) { return anyWithText(info, QStringLiteral("Yes, at noon")); },
                            15000));
    ASSERT_TRUE(waitUntil([&] { return saved.size() >= 3; }));
    EXPECT_EQ(saved[2].value(QStringLiteral("msgType")), QStringLiteral("outbox"));
    EXPECT_EQ(saved[2].value(QStringLiteral("ruserID")).toStringList(), QStringList{QStringLiteral("bob@parley.test")});
    EXPECT_EQ(saved[2].value(QStringLiteral("bodyData")), QStringLiteral("Yes, at noon"));

    // With showMemoIndex 0 the next memo only notifies (and is filed).
    PrefsManager::setNoti_IsShowMemoType(0);
    const qsizetype windows = manager->recvMessageWindows().size();
    bob.command(QStringLiteral("memo alice@parley.test \"Second one\""));
    ASSERT_TRUE(waitUntil([&] { return saved.size() >= 4; }, 15000));
    EXPECT_EQ(saved[3].value(QStringLiteral("bodyData")), QStringLiteral("Second one"));
    EXPECT_EQ(services.memoCount, 1);
    EXPECT_EQ(manager->recvMessageWindows().size(), windows);

    // The box opens a filed memo: a window, and nothing filed again.
    QVariantMap payload{{QStringLiteral("suserID"), QStringLiteral("bob@parley.test")},
                        {QStringLiteral("ruserID"), QStringList{QStringLiteral("alice@parley.test")}},
                        {QStringLiteral("subject"), QStringLiteral("Second one")},
                        {QStringLiteral("date"), QDateTime::currentDateTime()},
                        {QStringLiteral("bodyData"), QStringLiteral("Second one")},
                        {QStringLiteral("uuid"), saved[3].value(QStringLiteral("uuid")).toString()}};
    ASSERT_TRUE(parley::plugin::postReadMemoDocument(payload, *box));
    ASSERT_TRUE(waitUntil([&] { return manager->recvMessageWindows().size() == windows + 1; }));
    EXPECT_FALSE(waitUntil([&] { return saved.size() > 4; }, 300));
}

} // namespace
} // namespace memo::test
