// End to end: the local service, this client signed in through the real
// account-session facade with the memo windows' manager installed, and
// parley-headless as the other user. A buddy request accepted into a chosen
// group shows on both sides; memos go each way through the windows, shown as
// "showMemoIndex" says; the message box's side of a private bus sees every
// memo filed, and nothing for one opened from the box.

#include "BuddyList/BuddyRequestController.h"
#include "BuddyList/FacadeBuddySession.h"
#include "Chat/ChatLogBody.h"
#include "Conversation/KCWebView.h"
#include "HeadlessPeer.h"
#include "LocalService.h"
#include "PlugInNotifications.h"
#include "MemoWindowFixture.h"
#include "Preferences/PrefsEmoticonTextEdit.h"
#include "Sessions/PLEncrypUtil.h"
#include "Sessions/PLRecordingShell.h"
#include "SqliteTool.h"
#include "TestPki.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"

#include <QComboBox>
#include <QTextBrowser>
#include <QDirIterator>
#include <QProcess>
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
    const std::optional<QVariantMap> answer = bob.waitFor(
        "ParleyMessageReceived", [](const QVariantMap &info) { return anyWithText(info, QStringLiteral("Yes, at noon")); },
        15000);
    ASSERT_TRUE(answer);
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

    // Bob answers in the thread: Alice's window asks for the thread through the
    // session and the answer comes back to it by its transaction number.
    PrefsManager::setNoti_IsShowMemoType(1);
    bob.command(QStringLiteral("memo-reply %1 alice@parley.test \"Noon it is\"")
                    .arg(answer->value(QStringLiteral("cookie")).toString()));
    ASSERT_TRUE(waitUntil([&] { return manager->recvMessageWindows().size() == windows + 1; }, 15000));
    ReceiveMessageWindowController *threaded = manager->recvMessageWindows().last();
    ASSERT_EQ(threaded->info().value(QStringLiteral("related")), QStringLiteral("Y"));
    threaded->showRefMessagesAction();
    ASSERT_TRUE(waitUntil([&] { return !threaded->refMessagesText()->toPlainText().isEmpty(); }, 15000));
    const QString thread = threaded->refMessagesText()->toPlainText();
    EXPECT_TRUE(thread.contains(QStringLiteral("Lunch <today>?"))) << thread.toStdString();
    EXPECT_TRUE(thread.contains(QStringLiteral("Yes, at noon"))) << thread.toStdString();
    ASSERT_TRUE(waitUntil([&] { return saved.size() >= 6; })); // filed, then opened
    const qsizetype filed = saved.size();

    // The box opens a filed memo: a window, and nothing filed again.
    QVariantMap payload{{QStringLiteral("suserID"), QStringLiteral("bob@parley.test")},
                        {QStringLiteral("ruserID"), QStringList{QStringLiteral("alice@parley.test")}},
                        {QStringLiteral("subject"), QStringLiteral("Second one")},
                        {QStringLiteral("date"), QDateTime::currentDateTime()},
                        {QStringLiteral("bodyData"), QStringLiteral("Second one")},
                        {QStringLiteral("uuid"), saved[3].value(QStringLiteral("uuid")).toString()}};
    ASSERT_TRUE(parley::plugin::postReadMemoDocument(payload, *box));
    ASSERT_TRUE(waitUntil([&] { return manager->recvMessageWindows().size() == windows + 2; }));
    EXPECT_FALSE(waitUntil([&] { return saved.size() > filed; }, 300));
}

// Copies a folder tree, keeping the executable bits.
bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QDir().mkpath(to);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(source, target) || !QFile::setPermissions(target, QFile::permissions(source))) {
            return false;
        }
    }
    return true;
}

TEST_F(MemoEndToEnd, AMemoReceivedReachesTheRealMessageBoxsStoreAndItsReadMarkAndAnswerFollow)
{
    if (!pigeonhole::test::sqliteToolAvailable())
        GTEST_SKIP() << "the sqlite3 tool is not installed";
    // The real message box, from a copy of its bundle, on the same private bus.
    QTemporaryDir boxHome;
    const QString bundle = boxHome.filePath(QStringLiteral("data/Parley/PlugIn/Pigeonhole.app"));
    ASSERT_TRUE(copyTree(QStringLiteral(PIGEONHOLE_BUNDLE_DIR), bundle));
    QList<DistributedNotification> heard;
    QObject listening; // ends the registrations before `heard` goes
    for (const char *name : {notifications::kPlugUserInfo, notifications::kUnreadMemoCount})
        messenger->addObserver(&listening, QLatin1String(name),
                               [&heard](const DistributedNotification &n) { heard.append(n); });
    const auto lastCount = [&heard] {
        for (qsizetype i = heard.size() - 1; i >= 0; --i)
            if (heard[i].name == QLatin1String(notifications::kUnreadMemoCount))
                return heard[i].object;
        return QString();
    };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), boxHome.path());
    for (const char *xdg : {"DATA", "CONFIG", "CACHE"})
        environment.insert(QStringLiteral("XDG_%1_HOME").arg(QLatin1String(xdg)),
                           boxHome.filePath(QString::fromLatin1(xdg).toLower()));
    environment.remove(QStringLiteral("PARLEY_RESOURCE_DIR"));
    QProcess box;
    box.setProcessEnvironment(environment);
    box.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    box.start(bundle + QStringLiteral("/Contents/MacOS/Pigeonhole"), {});
    ASSERT_TRUE(box.waitForStarted(10000));
    const auto stop = qScopeGuard([&box] {
        box.kill();
        box.waitForFinished(10000);
    });
    ASSERT_TRUE(waitUntil([&] { return !heard.isEmpty(); }, 20000)) << "the box did not announce itself";
    ASSERT_TRUE(parley::plugin::postLoginUserInfo(QStringLiteral("alice@parley.test"), *messenger));
    ASSERT_TRUE(waitUntil([&] { return lastCount() == QLatin1String("0"); }, 20000));
    const QString store = boxHome.filePath(QStringLiteral("data/Parley/Message/alice@parley.test.sqlite"));
    const auto rows = [&store] {
        return pigeonhole::test::sqliteTool(store, QStringLiteral("SELECT f.folderName, m.suserID, m.subject, m.unread "
                                                                  "FROM MemoContext m JOIN MemoFolder f ON "
                                                                  "f.id = m.memoFolder ORDER BY m.id"));
    };

    facade->loginWithUserID(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"), {});
    ASSERT_TRUE(waitForPosted(notifications::kLoginCompleted)) << "alice did not sign in";
    HeadlessPeer bob(service.dispatchPort(), QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"));
    ASSERT_TRUE(bob.waitFor("ParleyLoginCompleted", {}, 15000));

    // Only a notice: the memo is filed unread.
    PrefsManager::setNoti_IsShowMemoType(0);
    bob.command(QStringLiteral("memo alice@parley.test \"Hello box\""));
    ASSERT_TRUE(waitUntil([&] { return lastCount() == QLatin1String("1"); }, 20000));
    EXPECT_EQ(rows(), QStringLiteral("inbox|bob@parley.test|Hello box|1"));

    // Opened from its notice: read in the box.
    const std::optional<QVariantMap> memoInfo = waitForPosted(notifications::kMessageReceived);
    ASSERT_TRUE(memoInfo);
    manager->createReceiveMessageWindowWithInfo(*memoInfo);
    ASSERT_TRUE(waitUntil([&] { return lastCount() == QLatin1String("0"); }, 20000));
    EXPECT_EQ(rows(), QStringLiteral("inbox|bob@parley.test|Hello box|0"));

    // Answered: the answer is in the outbox.
    ASSERT_EQ(manager->recvMessageWindows().size(), 1);
    manager->recvMessageWindows()[0]->replyAction();
    ASSERT_EQ(manager->sendMessageWindows().size(), 1);
    manager->sendMessageWindows()[0]->messageText()->setPlainText(QStringLiteral("Hello you"));
    manager->sendMessageWindows()[0]->sendAction();
    ASSERT_TRUE(waitUntil([&] { return rows().contains(QStringLiteral("outbox")); }, 20000));
    EXPECT_EQ(rows(), QStringLiteral("inbox|bob@parley.test|Hello box|0\noutbox|alice@parley.test|Hello you|0"));

    // A chat log saved as a chat window saves it lands in the chat box.
    const QVariantMap chatLog = parley::ChatLogBody::messageBoxRecord(
        QStringLiteral("Bobby"), QString(), QStringLiteral("Bobby says:\nSee you at six\n"),
        {QStringLiteral("bob@parley.test")}, {QStringLiteral("Bobby")}, QDateTime::currentDateTime());
    ASSERT_TRUE(parley::plugin::postSaveChatDocument(chatLog, *messenger));
    const auto chats = [&store] {
        return pigeonhole::test::sqliteTool(store, QStringLiteral("SELECT f.folderName, c.chatUserID, "
                                                                  "instr(c.bodyData, 'See you at six') > 0 "
                                                                  "FROM ChatContext c JOIN ChatFolder f ON "
                                                                  "f.id = c.chatFolder ORDER BY c.id"));
    };
    ASSERT_TRUE(waitUntil([&] { return !chats().isEmpty(); }, 20000));
    EXPECT_EQ(chats(), QStringLiteral("chatbox|bob@parley.test|1"));
}

} // namespace
} // namespace memo::test
