#include "LauncherEntry.h"

#include <QDBusMessage>

namespace parley {

QVariantMap LauncherEntry::properties(qint64 count, bool countVisible, bool urgent)
{
    return {{QStringLiteral("count"), QVariant::fromValue(count)},
            {QStringLiteral("count-visible"), countVisible},
            {QStringLiteral("urgent"), urgent}};
}

bool LauncherEntry::update(qint64 count, bool countVisible, bool urgent)
{
    if (!mBus.isConnected())
        return false;
    QDBusMessage signal =
        QDBusMessage::createSignal(QLatin1String(kPath), QLatin1String(kInterface), QStringLiteral("Update"));
    signal << QString::fromLatin1(kAppUri) << properties(count, countVisible, urgent);
    return mBus.send(signal);
}

} // namespace parley
