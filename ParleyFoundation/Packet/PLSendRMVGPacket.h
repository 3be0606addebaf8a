#pragma once

// Removes a group.

#include "PLSendPacket.h"

namespace parley {

class PLSendRMVGPacket : public PLSendPacket
{
public:
    explicit PLSendRMVGPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &localGroupCache, const QString &groupID);

    const QString &localGroupCache() const { return mLocalGroupCache; }
    void setLocalGroupCache(const QString &localGroupCache) { mLocalGroupCache = localGroupCache; }
    const QString &groupID() const { return mGroupID; }
    void setGroupID(const QString &groupID) { mGroupID = groupID; }

protected:
    bool composeParams() override;

private:
    QString mLocalGroupCache = QStringLiteral("%00");
    QString mGroupID = QStringLiteral("%00");
};

} // namespace parley
