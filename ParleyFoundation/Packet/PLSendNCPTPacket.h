#pragma once

// Asks the notification server for a user's certificate for the key exchange.

#include "PLSendPacket.h"

namespace parley {

class PLSendNCPTPacket : public PLSendPacket
{
public:
    explicit PLSendNCPTPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &userID, const QString &range);

    const QString &userID() const { return mUserID; }
    void setUserID(const QString &userID) { mUserID = userID; }
    const QString &range() const { return mRange; }
    void setRange(const QString &range) { mRange = range; }

protected:
    bool composeParams() override;

private:
    QString mUserID = QStringLiteral("%00");
    QString mRange = QStringLiteral("%00");
};

} // namespace parley
