#include "DesktopNotifications.h"

#include "Log.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace parley {

DesktopNotifications::DesktopNotifications(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), mBus(bus)
{
    if (!mBus.isConnected())
        return;
    // Both signals are broadcast to every client of the service; only the
    // ids this object was handed are ours.
    mBus.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                 QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint,QString)));
    mBus.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                 QStringLiteral("NotificationClosed"), this, SLOT(notificationClosed(uint,uint)));
}

DesktopNotifications::~DesktopNotifications()
{
    if (!mBus.isConnected())
        return;
    mBus.disconnect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                    QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint,QString)));
    mBus.disconnect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                    QStringLiteral("NotificationClosed"), this, SLOT(notificationClosed(uint,uint)));
}

uchar DesktopNotifications::urgencyForPriority(int priority)
{
    if (priority < 0)
        return 0;
    return priority >= 2 ? 2 : 1;
}

void DesktopNotifications::notify(const DesktopNotificationRequest &notice)
{
    if (!mBus.isConnected())
        return;
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(urgencyForPriority(notice.priority)));
    if (!notice.imagePath.isEmpty())
        hints.insert(QStringLiteral("image-path"), notice.imagePath);
    if (!notice.category.isEmpty())
        hints.insert(QStringLiteral("category"), notice.category);
    const QStringList actions{QLatin1String(kDefaultAction), notice.actionLabel};

    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface), QStringLiteral("Notify"));
    call << notice.appName << uint(0) << QString() << notice.summary << notice.body.toHtmlEscaped() << actions
         << hints << int(notice.isSticky ? 0 : -1);
    // The bus answers at once with an error when no service is there.
    call.setAutoStartService(false);
    ++mWaiting;
    auto *watcher = new QDBusPendingCallWatcher(mBus.asyncCall(call), this);
    const QVariant context = notice.clickContext;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, context](QDBusPendingCallWatcher *w) {
        --mWaiting;
        const QDBusPendingReply<uint> reply = *w;
        w->deleteLater();
        if (reply.isError() || reply.value() == 0)
            return; // no notification service: no desktop notice
        mContexts.insert(reply.value(), context);
    });
}

void DesktopNotifications::actionInvoked(uint id, const QString &actionKey)
{
    const auto found = mContexts.constFind(id);
    if (found == mContexts.constEnd() || actionKey != QLatin1String(kDefaultAction))
        return;
    const QVariant context = *found;
    if (mClickHandler)
        mClickHandler(context);
}

void DesktopNotifications::notificationClosed(uint id, uint) { mContexts.remove(id); }

} // namespace parley
