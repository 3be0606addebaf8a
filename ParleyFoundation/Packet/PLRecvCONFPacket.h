#pragma once

// The server configuration version; a key=value body of msgLen bytes follows,
// kept in bodyData once the session has read it.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvCONFPacket : public PLRecvPacket
{
public:
    QString cache() const { return value(QStringLiteral("cache")); }
    qint32 msgLen() const { return intValue(QStringLiteral("msgLen"), -1); }
    const QString &bodyData() const { return mBodyData; }
    void setBodyData(const QString &bodyData) { mBodyData = bodyData; }

protected:
    void decodeFields() override;

private:
    QString mBodyData;
};

} // namespace parley
