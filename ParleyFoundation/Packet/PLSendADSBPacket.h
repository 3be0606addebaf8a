#pragma once

// One step of the add-buddy handshake: a request with a message, an acceptance or a rejection.

#include "PLSendPacket.h"

namespace parley {

class PLSendADSBPacket : public PLSendPacket
{
public:
    explicit PLSendADSBPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &event, const QString &targetCMN, const QString &targetID,
                const QString &groupID, const QString &msg);

    const QString &event() const { return mEvent; }
    void setEvent(const QString &event) { mEvent = event; }
    const QString &targetCMN() const { return mTargetCMN; }
    void setTargetCMN(const QString &targetCMN) { mTargetCMN = targetCMN; }
    const QString &targetID() const { return mTargetID; }
    void setTargetID(const QString &targetID) { mTargetID = targetID; }
    const QString &groupID() const { return mGroupID; }
    void setGroupID(const QString &groupID) { mGroupID = groupID; }
    const QString &msg() const { return mMsg; }
    void setMsg(const QString &msg) { mMsg = msg; }

protected:
    bool composeParams() override;

private:
    QString mEvent = QStringLiteral("%00");
    QString mTargetCMN = QStringLiteral("%00");
    QString mTargetID = QStringLiteral("%00");
    QString mGroupID = QStringLiteral("%00");
    QString mMsg = QStringLiteral("%00");
};

} // namespace parley
