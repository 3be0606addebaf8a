#pragma once

// Adds a group.

#include "PLSendPacket.h"

namespace parley {

class PLSendADDGPacket : public PLSendPacket
{
public:
    explicit PLSendADDGPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &localGroupCache, const QString &groupName);

    const QString &localGroupCache() const { return mLocalGroupCache; }
    void setLocalGroupCache(const QString &localGroupCache) { mLocalGroupCache = localGroupCache; }
    const QString &groupName() const { return mGroupName; }
    void setGroupName(const QString &groupName) { mGroupName = groupName; }

protected:
    bool composeParams() override;

private:
    QString mLocalGroupCache = QStringLiteral("%00");
    QString mGroupName = QStringLiteral("%00");
};

} // namespace parley
