#pragma once

// Hands the notification server the session key of the key exchange, as a body.

#include "PLSendPacket.h"

namespace parley {

class PLSendPRVKPacket : public PLSendPacket
{
public:
    explicit PLSendPRVKPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &encodeType, const QString &sessionKey);

    const QString &encodeType() const { return mEncodeType; }
    void setEncodeType(const QString &encodeType) { mEncodeType = encodeType; }
    const QString &sessionKey() const { return mSessionKey; }
    void setSessionKey(const QString &sessionKey) { mSessionKey = sessionKey; }

protected:
    bool composeParams() override;

private:
    QString mEncodeType = QStringLiteral("%00");
    QString mSessionKey = QStringLiteral("%00");
};

} // namespace parley
