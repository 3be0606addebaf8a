#include "DBusIdleSource.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace parley::shell {

namespace {

// The count in the reply when it has the expected type.
template <typename Count>
std::optional<double> replyCount(const QDBusPendingCall &call)
{
    const QDBusPendingReply<Count> reply = call;
    return reply.isError() ? std::nullopt : std::optional<double>(double(reply.value()));
}

} // namespace

void DBusIdleSource::requestIdleTime(Answer answer)
{
    if (!mBus.isConnected()) {
        answer(std::nullopt);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(mMethod.service), QLatin1String(mMethod.path),
                                       QLatin1String(mMethod.interface), QLatin1String(mMethod.name));
    call.setAutoStartService(false);
    auto *watcher = new QDBusPendingCallWatcher(mBus.asyncCall(call, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [answer, method = mMethod](QDBusPendingCallWatcher *w) {
                const std::optional<double> count = method.replyType == ReplyType::UInt64
                                                        ? replyCount<qulonglong>(*w)
                                                        : replyCount<uint>(*w);
                w->deleteLater();
                answer(count ? std::optional<double>(*count / method.unitsPerSecond) : std::nullopt);
            });
}

} // namespace parley::shell
