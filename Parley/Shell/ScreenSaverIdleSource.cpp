#include "ScreenSaverIdleSource.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace parley::shell {

void ScreenSaverIdleSource::requestIdleTime(Answer answer)
{
    if (!mBus.isConnected()) {
        answer(std::nullopt);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface), QStringLiteral("GetSessionIdleTime"));
    call.setAutoStartService(false);
    auto *watcher = new QDBusPendingCallWatcher(mBus.asyncCall(call, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [answer](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<uint> reply = *w;
        w->deleteLater();
        answer(reply.isError() ? std::nullopt : std::optional<double>(reply.value()));
    });
}

} // namespace parley::shell
