#pragma once

// Takes a buddy off one of the lists.

#include "PLSendPacket.h"

namespace parley {

class PLSendRMVBPacket : public PLSendPacket
{
public:
    explicit PLSendRMVBPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &type, const QString &targetCMN, const QString &targetID);

    const QString &type() const { return mType; }
    void setType(const QString &type) { mType = type; }
    const QString &targetCMN() const { return mTargetCMN; }
    void setTargetCMN(const QString &targetCMN) { mTargetCMN = targetCMN; }
    const QString &targetID() const { return mTargetID; }
    void setTargetID(const QString &targetID) { mTargetID = targetID; }

protected:
    bool composeParams() override;

private:
    QString mType = QStringLiteral("%00");
    QString mTargetCMN = QStringLiteral("%00");
    QString mTargetID = QStringLiteral("%00");
};

} // namespace parley
