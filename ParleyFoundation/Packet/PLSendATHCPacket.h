#pragma once

#include "PLSendPacket.h"

namespace parley {

// The reply that authenticates a peer-to-peer or relay connection. (Requests
// go out as raw lines, see PLRawLines.)
class PLSendATHCPacket : public PLSendPacket
{
public:
    explicit PLSendATHCPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &responseCode, qint32 listenPort);

    const QString &responseCode() const { return mResponseCode; }
    void setResponseCode(const QString &code) { mResponseCode = code; }
    qint32 p2pNegoListenPort() const { return mP2PNegoListenPort; }
    void setP2PFRListenPort(qint32 port) { mP2PNegoListenPort = port; }

protected:
    bool composeParams() override;

private:
    QString mResponseCode = QStringLiteral("%00");
    qint32 mP2PNegoListenPort = 0;
};

} // namespace parley
