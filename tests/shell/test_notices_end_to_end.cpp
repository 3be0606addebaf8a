// Notices and alerts end to end: the messenger signed in to the local
// service, buddies played by parley-headless, and a stand-in for the
// desktop's notification service on the private bus.
#include "EndToEndSupport.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "DesktopNotifications.h"
#include "FakeNotifications.h"
#include "KCEmoticonView.h"
#include "KCToasterWindow.h"
#include "ToasterWindowManager.h"
#include "Utils/KCUtilities.h"

#include "../facade/HeadlessPeer.h"

#include <QTemporaryDir>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

// Alice lists Bob and Carol, Carol blocked; Otto has a one-time password.
const char kAccounts[] = R"({"accounts": [
  {"id": "alice@parley.test", "password": "alice-pw", "cmn": "100001", "name": "Alice Kim", "nickName": "Ally",
   "token": "token-alice", "groups": [{"id": "1", "name": "Friends", "parent": "0"}],
   "buddies": [{"id": "bob@parley.test", "flags": "1100", "groups": ["1"]},
               {"id": "carol@parley.test", "flags": "1110", "groups": ["1"]}]},
  {"id": "bob@parley.test", "password": "bob-pw", "cmn": "100002", "name": "Bob Lee", "nickName": "Bobby",
   "buddies": [{"id": "alice@parley.test", "flags": "1100"}]},
  {"id": "carol@parley.test", "password": "carol-pw", "cmn": "100003", "name": "Carol Park",
   "buddies": [{"id": "alice@parley.test", "flags": "1100"}]},
  {"id": "otto@parley.test", "password": "otto-pw", "cmn": "100010", "name": "Otto", "otp": "424242"}]})";

class NoticesEndToEnd : public ShellEndToEnd
{
public:
    void SetUp() override
    {
        ShellEndToEnd::SetUp();
        ASSERT_TRUE(mData.isValid());
        QFile file(mData.filePath(QStringLiteral("accounts.json")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kAccounts);
    }
    QString dataFile() const { return mData.filePath(QStringLiteral("accounts.json")); }
    static int buddyStatus(const char *id)
    {
        const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(QLatin1String(id));
        return buddy ? buddy->status() : -1;
    }

    QTemporaryDir mData;
};

} // namespace

TEST_F(NoticesEndToEnd, ABuddySigningInRaisesANoticeADesktopNoticeAndASoundButABlockedOneNothing)
{
    parley::test::FakeNotifications desktop;
    ASSERT_TRUE(desktop.registerOn(privateConnection(QStringLiteral("e2e-notification-service"))));
    startService(parley::test::TestPki::shared().goodChain, dataFile());
    signedIn();
    QList<QVariantList> clicks;
    QObject::connect(mController.get(), &AppController::desktopNoticeClicked,
                     [&clicks](const QVariantList &context) { clicks.append(context); });
    ToasterWindowManager *notices = mController->toasterWindowManager();
    ASSERT_NE(notices, nullptr);
    mSounds.sounds.clear();

    // Carol, blocked, signs in first: her presence arrives, nothing else does.
    facade::test::HeadlessPeer carol(mService->dispatchPort(), QStringLiteral("carol@parley.test"),
                                     QStringLiteral("carol-pw"));
    ASSERT_TRUE(carol.waitFor("ParleyLoginCompleted"));
    ASSERT_TRUE(parley::test::waitUntil([] { return buddyStatus("carol@parley.test") > 0; }, 10000));

    facade::test::HeadlessPeer bob(mService->dispatchPort(), QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"));
    ASSERT_TRUE(bob.waitFor("ParleyLoginCompleted"));
    ASSERT_TRUE(parley::test::waitUntil([&desktop] { return !desktop.notifications().empty(); }, 10000));

    ASSERT_EQ(desktop.notifications().size(), 1u);
    const parley::test::RecordedNotification &sent = desktop.notifications().front();
    EXPECT_EQ(sent.appName, QStringLiteral("Parley"));
    EXPECT_EQ(sent.summary, QStringLiteral("Bobby"));
    EXPECT_EQ(sent.body, text("LoginInfomation"));
    EXPECT_EQ(sent.hints.value(QStringLiteral("category")).toString(), QStringLiteral("Parley Login"));
    EXPECT_TRUE(QFileInfo(sent.hints.value(QStringLiteral("image-path")).toString()).isFile());
    EXPECT_EQ(sent.actions.value(0), QStringLiteral("default"));

    ASSERT_EQ(notices->toasterCount(), 1);
    EXPECT_EQ(notices->toasters().front()->toasterType(), QStringLiteral("LGIN"));
    EXPECT_EQ(notices->toasters().front()->bodyText(), text("LoginFromBuddy").arg(QStringLiteral("Bobby")));
    EXPECT_EQ(mSounds.sounds, QStringList{QStringLiteral("buddy_login")});

    // The user clicks the desktop notice: the click context comes back.
    desktop.invokeAction(sent.id, QStringLiteral("default"));
    ASSERT_TRUE(parley::test::waitUntil([&clicks] { return !clicks.isEmpty(); }));
    EXPECT_EQ(clicks.front(), (QVariantList{QStringLiteral("LGIN"), QStringLiteral("bob@parley.test")}));
}

TEST_F(NoticesEndToEnd, AWrongPasswordIsTheInvalidPasswordAlert)
{
    startService();
    controller();
    typeAndSignIn(QStringLiteral("alice"), QStringLiteral("not-her-password"));
    ASSERT_TRUE(parley::test::waitUntil([this] { return !mAlerts.shown.empty(); }, 20000));
    EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("AlertInvalidPassword")});
    EXPECT_EQ(login().idField->text(), QStringLiteral("alice"));
    EXPECT_TRUE(login().passwordField->text().isEmpty());
    EXPECT_EQ(login().selectedTab(), LoginView::FormTab);
    EXPECT_FALSE(showsBuddyView());

    // The right one then signs in.
    typeAndSignIn();
    EXPECT_TRUE(waitForBuddyView());
}

TEST_F(NoticesEndToEnd, AOneTimePasswordIsAskedForAgainWhenWrongAndThenSignsIn)
{
    startService(parley::test::TestPki::shared().goodChain, dataFile());
    controller();
    mAlerts.answerText(0, QStringLiteral("000000")); // wrong
    mAlerts.answer(0);                                // the error
    mAlerts.answerText(0, QStringLiteral("424242"));
    typeAndSignIn(QStringLiteral("otto"), QStringLiteral("otto-pw"));
    ASSERT_TRUE(waitForBuddyView());
    EXPECT_EQ(mAlerts.keys(), (QStringList{QStringLiteral("OTPInputTop"), QStringLiteral("OTPInputError"),
                                           QStringLiteral("OTPInputTop")}));
    EXPECT_EQ(mSession.callsStartingWith(QStringLiteral("otp")),
              (QStringList{QStringLiteral("otp 000000"), QStringLiteral("otp 424242")}));
}
