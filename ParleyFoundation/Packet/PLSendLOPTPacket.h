#pragma once

// Sends the login options as a body of the given type.

#include "PLSendPacket.h"

namespace parley {

class PLSendLOPTPacket : public PLSendPacket
{
public:
    explicit PLSendLOPTPacket(qint32 tid = 0);

    const QString &bodyType() const { return mBodyType; }
    void setBodyType(const QString &bodyType) { mBodyType = bodyType; }
    const QString &body() const { return mBodyText; }
    void setBody(const QString &body) { mBodyText = body; }

protected:
    bool composeParams() override;

private:
    QString mBodyType = QStringLiteral("%00");
    // Named apart from the base's mBody, which holds the body as last sent.
    QString mBodyText = QStringLiteral("%00");
};

} // namespace parley
