#include "LogindIdleSource.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace parley::shell {

LogindIdleSource::LogindIdleSource(const QDBusConnection &bus, std::function<qint64()> now)
    : mBus(bus),
      mNow(now ? std::move(now) : [] { return QDateTime::currentMSecsSinceEpoch() * 1000; })
{
}

std::optional<double> LogindIdleSource::idleSeconds(bool idleHint, quint64 idleSinceHint, qint64 nowMicroseconds)
{
    if (idleSinceHint == 0)
        return std::nullopt;
    if (!idleHint)
        return 0.0;
    const qint64 since = qint64(idleSinceHint);
    return since >= nowMicroseconds ? 0.0 : double(nowMicroseconds - since) / 1e6;
}

void LogindIdleSource::requestIdleTime(Answer answer)
{
    if (!mBus.isConnected()) {
        answer(std::nullopt);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("GetAll"));
    call << QString::fromLatin1(kInterface);
    call.setAutoStartService(false);
    auto *watcher = new QDBusPendingCallWatcher(mBus.asyncCall(call, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, answer](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<QVariantMap> reply = *w;
        w->deleteLater();
        if (reply.isError()) {
            answer(std::nullopt);
            return;
        }
        const QVariantMap properties = reply.value();
        const QVariant hint = properties.value(QStringLiteral("IdleHint"));
        const QVariant since = properties.value(QStringLiteral("IdleSinceHint"));
        if (!hint.isValid() || !since.isValid()) {
            answer(std::nullopt);
            return;
        }
        answer(idleSeconds(hint.toBool(), since.toULongLong(), mNow()));
    });
}

} // namespace parley::shell
