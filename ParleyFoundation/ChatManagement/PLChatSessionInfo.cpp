#include "PLChatSessionInfo.h"

#include "Log.h"

namespace parley {

bool PLChatSessionInfo::isConnected() const { return mSession && mSession->isConnected(); }

bool PLChatSessionInfo::addUserInfo(const QVariantMap &record)
{
    const QString velaID = record.value(QStringLiteral("velaID")).toString();
    PL_GUARD_OBJECT(!velaID.isEmpty(), false);
    PL_GUARD_OBJECT(record.contains(QStringLiteral("name")), false);
    if (mEnteredUserDict.contains(velaID))
        return false;
    mEnteredUserDict.insert(velaID, record);
    return true;
}

bool PLChatSessionInfo::removeUserInfoByUserID(const QString &velaID)
{
    PL_GUARD_OBJECT(!velaID.isNull(), false);
    return mEnteredUserDict.remove(velaID) > 0;
}

QString PLChatSessionInfo::userNameForID(const QString &velaID) const
{
    PL_GUARD_OBJECT(!velaID.isNull(), {});
    const auto it = mEnteredUserDict.constFind(velaID);
    return it == mEnteredUserDict.cend() ? QString() : it->value(QStringLiteral("name")).toString();
}

QVariantList PLChatSessionInfo::userInfos() const
{
    QVariantList records;
    for (const QVariantMap &record : mEnteredUserDict)
        records.append(record);
    return records;
}

} // namespace parley
