#pragma once

// Changes the user's own profile fields, sent as a body of key=value pairs
// joined by "&".

#include "PLSendPacket.h"

namespace parley {

class PLSendCPRFPacket : public PLSendPacket
{
public:
    explicit PLSendCPRFPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &body);

    const QString &body() const { return mBodyText; }
    void setBody(const QString &body) { mBodyText = body; }

protected:
    bool composeParams() override;

private:
    // Named apart from the base's mBody, which holds the body as last sent.
    QString mBodyText = QStringLiteral("%00");
};

} // namespace parley
