// The stand-in notification service on a private bus: what a client sends is
// recorded, and the signals the test emits reach the client.
#include "FakeNotifications.h"
#include "PrivateBus.h"
#include "TestSupport.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <gtest/gtest.h>

using namespace parley::test;

namespace {

class SignalRecorder : public QObject
{
    Q_OBJECT
public:
    std::vector<std::pair<uint, QString>> actions;
    std::vector<std::pair<uint, uint>> closed;

public Q_SLOTS:
    void onAction(uint id, const QString &key) { actions.emplace_back(id, key); }
    void onClosed(uint id, uint reason) { closed.emplace_back(id, reason); }
};

class FakeNotificationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateBus::available())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(bus.isRunning());
        ASSERT_TRUE(service.registerOn(bus.connect(QStringLiteral("desktop"))));
        client = std::make_unique<QDBusConnection>(bus.connect(QStringLiteral("client")));
        ASSERT_TRUE(client->isConnected());
    }

    // Calls the service as a client would. It answers on this thread, so the
    // call waits with the event loop running (a QDBusInterface would first
    // introspect it without one).
    QDBusMessage call(const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QLatin1String(FakeNotifications::kService), QLatin1String(FakeNotifications::kPath),
            QLatin1String(FakeNotifications::kInterface), method);
        message.setArguments(arguments);
        return client->call(message, QDBus::BlockWithGui);
    }

    QDBusReply<uint> notify(uint replaces, const QString &summary, const QStringList &actions,
                            const QVariantMap &hints = {})
    {
        return call(QStringLiteral("Notify"), {QStringLiteral("Parley"), replaces, QStringLiteral("parley"), summary,
                                               QStringLiteral("본문 <b>굵게</b>"), actions, hints, 5000});
    }

    PrivateBus bus;
    FakeNotifications service;
    std::unique_ptr<QDBusConnection> client;
};

TEST_F(FakeNotificationsTest, RecordsEachNotifyAndAnswersNewIds)
{
    const QDBusReply<uint> first = notify(0, QStringLiteral("홍길동님이 로그인했습니다"),
                                          {QStringLiteral("default"), QStringLiteral("열기")},
                                          {{QStringLiteral("urgency"), QVariant::fromValue(uchar(1))}});
    ASSERT_TRUE(first.isValid()) << first.error().message().toStdString();
    const QDBusReply<uint> second = notify(0, QStringLiteral("둘째"), {});
    ASSERT_TRUE(second.isValid());
    EXPECT_EQ(first.value(), 1u);
    EXPECT_EQ(second.value(), 2u);

    ASSERT_EQ(service.notifications().size(), 2u);
    const RecordedNotification &n = service.notifications().front();
    EXPECT_EQ(n.id, 1u);
    EXPECT_EQ(n.appName, QStringLiteral("Parley"));
    EXPECT_EQ(n.appIcon, QStringLiteral("parley"));
    EXPECT_EQ(n.summary, QStringLiteral("홍길동님이 로그인했습니다"));
    EXPECT_EQ(n.body, QStringLiteral("본문 <b>굵게</b>"));
    EXPECT_EQ(n.actions, (QStringList{QStringLiteral("default"), QStringLiteral("열기")}));
    EXPECT_EQ(n.hints.value(QStringLiteral("urgency")).toInt(), 1);
    EXPECT_EQ(n.expireTimeout, 5000);
}

TEST_F(FakeNotificationsTest, AReplacementKeepsTheIdOfTheNoticeItReplaces)
{
    const uint id = notify(0, QStringLiteral("첫"), {}).value();
    EXPECT_EQ(notify(id, QStringLiteral("바뀜"), {}).value(), id);
    // An unknown id to replace gets a new one.
    EXPECT_EQ(notify(77, QStringLiteral("새것"), {}).value(), id + 1);
    ASSERT_EQ(service.notifications().size(), 3u);
    EXPECT_EQ(service.notifications()[1].replacesId, id);
}

TEST_F(FakeNotificationsTest, SignalsTheTestEmitsReachTheClient)
{
    SignalRecorder recorder;
    const QString service_ = QLatin1String(FakeNotifications::kService);
    const QString path = QLatin1String(FakeNotifications::kPath);
    const QString interface = QLatin1String(FakeNotifications::kInterface);
    ASSERT_TRUE(client->connect(service_, path, interface, QStringLiteral("ActionInvoked"), &recorder,
                                SLOT(onAction(uint, QString))));
    ASSERT_TRUE(client->connect(service_, path, interface, QStringLiteral("NotificationClosed"), &recorder,
                                SLOT(onClosed(uint, uint))));
    const uint id = notify(0, QStringLiteral("메모"), {QStringLiteral("default"), QStringLiteral("보기")}).value();

    service.invokeAction(id, QStringLiteral("default"));
    service.closeNotification(id, 2);
    ASSERT_TRUE(waitUntil([&] { return !recorder.actions.empty() && !recorder.closed.empty(); }));
    EXPECT_EQ(recorder.actions.front(), std::make_pair(id, QStringLiteral("default")));
    EXPECT_EQ(recorder.closed.front(), std::make_pair(id, 2u));

    // CloseNotification from the client is recorded and answered with reason 3.
    call(QStringLiteral("CloseNotification"), {id});
    ASSERT_TRUE(waitUntil([&] { return recorder.closed.size() == 2; }));
    EXPECT_EQ(recorder.closed.back(), std::make_pair(id, 3u));
    EXPECT_EQ(service.closeRequests(), std::vector<uint>{id});
}

TEST_F(FakeNotificationsTest, AnswersCapabilitiesAndServerInformation)
{
    const QDBusReply<QStringList> capabilities = call(QStringLiteral("GetCapabilities"));
    ASSERT_TRUE(capabilities.isValid());
    EXPECT_TRUE(capabilities.value().contains(QStringLiteral("actions")));
    const QDBusMessage info = call(QStringLiteral("GetServerInformation"));
    ASSERT_EQ(info.arguments().size(), 4);
    EXPECT_EQ(info.arguments().at(3).toString(), QStringLiteral("1.2"));
}

TEST_F(FakeNotificationsTest, ASecondServiceCannotTakeTheName)
{
    FakeNotifications second;
    EXPECT_FALSE(second.registerOn(bus.connect(QStringLiteral("other-desktop"))));
}

} // namespace

#include "test_fake_notifications.moc"
