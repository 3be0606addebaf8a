// The plug-in protocol seen from the messenger, on a private session bus: a
// message box (played by the test, then by gdbus) asks for the user and
// hears the user's ID and then the buddies' statuses; opened by the user, it
// is also told to show its window.
#include "AppController.h"
#include "ControllerDoubles.h"
#include "DistributedNotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"
#include "PlugInTestSupport.h"
#include "ScriptedAlerts.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::shell;
using namespace parley::plugins::test;

namespace {

const QString kBoxID = QLatin1String(notifications::kMessageBoxPlugInID);

class ProtocolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!shell::test::privateCenter())
            GTEST_SKIP() << "no private session bus";
        mSettings = std::make_unique<shell::test::FreshSettings>();
        shell::test::makeMessageBoxBundle(mSettings->resourceFolder(), QStringLiteral("1.0"));
        AppController::Options o;
        o.session = &mSession;
        o.connectivity = &mNet;
        o.scheduler = &mScheduler;
        o.plugInCenter = shell::test::privateCenter();
        o.startPowerNotifications = false;
        o.installCoreServices = false;
        o.resourceDirectory = mSettings->resourceFolder();
        o.quitApplication = [] {};
        mController = std::make_unique<AppController>(o);
        mController->setCurrentUserID(QStringLiteral("alice@parley.test"));
        mBuddies.statuses = {{"bob@parley.test", 1}, {"carol@parley.test", 0}};

        // The message box's own connection to the bus.
        static int connections = 0;
        mBox = std::make_unique<DistributedNotificationCenter>(QDBusConnection::connectToBus(
            shell::test::privateBusAddress(), QStringLiteral("fake-box-%1").arg(++connections)));
        for (const char *name : {notifications::kLoginUserInfo, notifications::kBuddyStatusList,
                                 notifications::kShowPlugInWindow})
            mBox->addObserver(QLatin1String(name), [this](const DistributedNotification &n) { heard.append(n); });
    }
    void TearDown() override
    {
        mBox.reset();
        mController.reset();
    }

    std::unique_ptr<shell::test::FreshSettings> mSettings;
    parley::test::ScriptedAlerts mAlerts;
    Recorder mRecorder;
    BuddyModel mBuddies;
    PlugInSession mSession;
    shell::test::ManualScheduler mScheduler;
    shell::test::FakeConnectivity mNet;
    std::unique_ptr<AppController> mController;
    std::unique_ptr<DistributedNotificationCenter> mBox;
    QList<DistributedNotification> heard;
};

} // namespace

TEST_F(ProtocolTest, AskingForTheUserBringsTheIDAndThenTheStatuses)
{
    plugin::postPlugUserInfo(kBoxID, *mBox);
    ASSERT_TRUE(parley::test::waitUntil([this] { return heard.size() >= 2; }, 10000));
    EXPECT_EQ(heard[0].name, QLatin1String(notifications::kLoginUserInfo));
    EXPECT_EQ(heard[0].object, QStringLiteral("alice@parley.test"));
    EXPECT_EQ(heard[1].name, QLatin1String(notifications::kBuddyStatusList));
    EXPECT_EQ(heard[1].userInfo.value("bob@parley.test").toInt(), 1);
    EXPECT_EQ(heard[1].userInfo.value("carol@parley.test").toInt(), 0);
    EXPECT_EQ(heard[1].userInfo.size(), 2);

    // Opened by the user, the box is also told to come forward, once.
    heard.clear();
    mController->setShowMessageBox(true);
    plugin::postPlugUserInfo(kBoxID, *mBox);
    ASSERT_TRUE(parley::test::waitUntil([this] { return heard.size() >= 3; }, 10000));
    EXPECT_EQ(heard[2].name, QLatin1String(notifications::kShowPlugInWindow));
    EXPECT_EQ(heard[2].object, kBoxID);
    EXPECT_FALSE(mController->isShowMessageBox());
}

TEST_F(ProtocolTest, AGdbusSignalIsAnsweredToo)
{
    const QString gdbus = QStandardPaths::findExecutable(QStringLiteral("gdbus"));
    if (gdbus.isEmpty())
        GTEST_SKIP() << "no gdbus";
    QProcess emitter;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The daemon routes signals of a bus client, not of a peer connection.
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), shell::test::privateBusAddress());
    emitter.setProcessEnvironment(environment);
    emitter.start(gdbus, {QStringLiteral("emit"), QStringLiteral("--session"), QStringLiteral("--object-path"),
                          QLatin1String(DistributedNotificationCenter::kPath), QStringLiteral("--signal"),
                          QLatin1String(DistributedNotificationCenter::kInterface) + QStringLiteral(".PLPlugUserInfo"),
                          QStringLiteral("'%1'").arg(kBoxID), QStringLiteral("@a{sv} {}")});
    ASSERT_TRUE(emitter.waitForFinished(20000));
    ASSERT_EQ(emitter.exitCode(), 0) << emitter.readAllStandardError().toStdString();
    ASSERT_TRUE(parley::test::waitUntil([this] { return heard.size() >= 2; }, 10000));
    EXPECT_EQ(heard[0].name, QLatin1String(notifications::kLoginUserInfo));
    EXPECT_EQ(heard[0].object, QStringLiteral("alice@parley.test"));
    EXPECT_EQ(heard[1].name, QLatin1String(notifications::kBuddyStatusList));
}
