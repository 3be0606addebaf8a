#pragma once

// Renames a group.

#include "PLSendPacket.h"

namespace parley {

class PLSendRENGPacket : public PLSendPacket
{
public:
    explicit PLSendRENGPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &localGroupCache, const QString &groupID, const QString &groupName);

    const QString &localGroupCache() const { return mLocalGroupCache; }
    void setLocalGroupCache(const QString &localGroupCache) { mLocalGroupCache = localGroupCache; }
    const QString &groupID() const { return mGroupID; }
    void setGroupID(const QString &groupID) { mGroupID = groupID; }
    const QString &groupName() const { return mGroupName; }
    void setGroupName(const QString &groupName) { mGroupName = groupName; }

protected:
    bool composeParams() override;

private:
    QString mLocalGroupCache = QStringLiteral("%00");
    QString mGroupID = QStringLiteral("%00");
    QString mGroupName = QStringLiteral("%00");
};

} // namespace parley
