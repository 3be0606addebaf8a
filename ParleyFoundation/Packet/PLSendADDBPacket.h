#pragma once

// Puts a buddy on one of the lists ("FL", "AL", "BL" or "RL"); only the
// forward list names the group the buddy goes into.

#include "PLSendPacket.h"

namespace parley {

class PLSendADDBPacket : public PLSendPacket
{
public:
    explicit PLSendADDBPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &type, const QString &targetCMN, const QString &targetID,
                const QString &groupID);

    const QString &type() const { return mType; }
    void setType(const QString &type) { mType = type; }
    const QString &targetCMN() const { return mTargetCMN; }
    void setTargetCMN(const QString &targetCMN) { mTargetCMN = targetCMN; }
    const QString &targetID() const { return mTargetID; }
    void setTargetID(const QString &targetID) { mTargetID = targetID; }
    const QString &groupID() const { return mGroupID; }
    void setGroupID(const QString &groupID) { mGroupID = groupID; }

protected:
    bool composeParams() override;

private:
    QString mType = QStringLiteral("%00");
    QString mTargetCMN = QStringLiteral("%00");
    QString mTargetID = QStringLiteral("%00");
    QString mGroupID = QStringLiteral("%00");
};

} // namespace parley
