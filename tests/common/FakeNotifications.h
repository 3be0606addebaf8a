#pragma once

// A stand-in for the desktop's notification service (org.freedesktop.Notifications)
// on a test's private bus: it records every Notify call, answers with ids from
// 1 up, and lets the test emit ActionInvoked and NotificationClosed as the
// desktop would when the user clicks or dismisses a notice.

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <vector>

namespace parley::test {

struct RecordedNotification {
    uint id = 0;
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions; // key, label, key, label, ...
    QVariantMap hints;
    int expireTimeout = -1;
};

class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    static constexpr char kService[] = "org.freedesktop.Notifications";
    static constexpr char kPath[] = "/org/freedesktop/Notifications";
    static constexpr char kInterface[] = "org.freedesktop.Notifications";

    explicit FakeNotifications(QObject *parent = nullptr);
    ~FakeNotifications() override;

    // Takes the service's name and object on that connection; false when
    // either is taken already.
    bool registerOn(const QDBusConnection &connection);

    // Every Notify call so far, in order.
    const std::vector<RecordedNotification> &notifications() const { return mNotifications; }
    // The ids of the notices closed through CloseNotification, in order.
    const std::vector<uint> &closeRequests() const { return mCloseRequests; }

    // What the desktop sends when the user picks an action or a notice goes.
    void invokeAction(uint id, const QString &actionKey);
    // Reasons: 1 expired, 2 dismissed by the user, 3 closed by CloseNotification, 4 other.
    void closeNotification(uint id, uint reason);

public Q_SLOTS:
    QStringList GetCapabilities();
    uint Notify(const QString &app_name, uint replaces_id, const QString &app_icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int expire_timeout);
    void CloseNotification(uint id);
    QString GetServerInformation(QString &vendor, QString &version, QString &spec_version);

Q_SIGNALS:
    void ActionInvoked(uint id, const QString &action_key);
    void NotificationClosed(uint id, uint reason);

private:
    QDBusConnection mConnection;
    bool mRegistered = false;
    std::vector<RecordedNotification> mNotifications;
    std::vector<uint> mCloseRequests;
    uint mLastId = 0;
};

} // namespace parley::test
