#pragma once

#include "PLSendPacket.h"

namespace parley {

// A client-to-client message relayed by the notification server. With a
// target it goes to that user; without one it names the sender.
class PLSendCTOCPacket : public PLSendPacket
{
public:
    explicit PLSendCTOCPacket(qint32 tid = 0);

    const QString &targetID() const { return mTargetID; }
    void setTargetID(const QString &id) { mTargetID = id; }
    const QString &fromID() const { return mFromID; }
    void setFromID(const QString &id) { mFromID = id; }
    const QString &ackType() const { return mAckType; }
    void setAckType(const QString &ackType) { mAckType = ackType; }
    // Sent only when set (not null).
    const QString &targetKey() const { return mTargetKey; }
    void setTargetKey(const QString &key) { mTargetKey = key; }
    const QString &body() const { return mBodyData; }
    void setBody(const QString &body) { mBodyData = body; }

protected:
    bool composeParams() override;

private:
    QString mTargetID = QStringLiteral("%00");
    QString mFromID = QStringLiteral("%00");
    QString mAckType = QStringLiteral("%00");
    QString mTargetKey;
    QString mBodyData = QStringLiteral("%00");
};

} // namespace parley
