#include "FakeNotifications.h"

#include <QDBusConnectionInterface>

namespace parley::test {

FakeNotifications::FakeNotifications(QObject *parent)
    : QObject(parent)
    , mConnection(QStringLiteral("parley-fake-notifications-unset"))
{
}

FakeNotifications::~FakeNotifications()
{
    if (mRegistered) {
        mConnection.unregisterObject(QLatin1String(kPath));
        mConnection.unregisterService(QLatin1String(kService));
    }
}

bool FakeNotifications::registerOn(const QDBusConnection &connection)
{
    mConnection = connection;
    if (!mConnection.registerObject(QLatin1String(kPath), this, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals))
        return false;
    if (!mConnection.registerService(QLatin1String(kService))) {
        mConnection.unregisterObject(QLatin1String(kPath));
        return false;
    }
    mRegistered = true;
    return true;
}

QStringList FakeNotifications::GetCapabilities()
{
    return {QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("icon-static")};
}

uint FakeNotifications::Notify(const QString &app_name, uint replaces_id, const QString &app_icon,
                               const QString &summary, const QString &body, const QStringList &actions,
                               const QVariantMap &hints, int expire_timeout)
{
    // A notice that replaces a known one keeps its id.
    const bool replaces = replaces_id != 0 && std::any_of(mNotifications.begin(), mNotifications.end(),
                                                          [replaces_id](const RecordedNotification &n) {
                                                              return n.id == replaces_id;
                                                          });
    const uint id = replaces ? replaces_id : ++mLastId;
    mNotifications.push_back({id, app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout});
    return id;
}

void FakeNotifications::CloseNotification(uint id)
{
    mCloseRequests.push_back(id);
    emit NotificationClosed(id, 3);
}

QString FakeNotifications::GetServerInformation(QString &vendor, QString &version, QString &spec_version)
{
    vendor = QStringLiteral("Parley tests");
    version = QStringLiteral("1.0");
    spec_version = QStringLiteral("1.2");
    return QStringLiteral("fake-notifications");
}

void FakeNotifications::invokeAction(uint id, const QString &actionKey) { emit ActionInvoked(id, actionKey); }

void FakeNotifications::closeNotification(uint id, uint reason) { emit NotificationClosed(id, reason); }

} // namespace parley::test
