#include "GnomeIdleMonitorSource.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace parley::shell {

void GnomeIdleMonitorSource::requestIdleTime(Answer answer)
{
    if (!mBus.isConnected()) {
        answer(std::nullopt);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface), QStringLiteral("GetIdletime"));
    call.setAutoStartService(false);
    auto *watcher = new QDBusPendingCallWatcher(mBus.asyncCall(call, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [answer](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<qulonglong> reply = *w;
        w->deleteLater();
        answer(reply.isError() ? std::nullopt : std::optional<double>(double(reply.value()) / 1000.0));
    });
}

} // namespace parley::shell
