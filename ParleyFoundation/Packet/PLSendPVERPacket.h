#pragma once

// Tells the login-dispatch server the client's version, protocol and language.

#include "PLSendPacket.h"

namespace parley {

class PLSendPVERPacket : public PLSendPacket
{
public:
    explicit PLSendPVERPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &clientVersion, const QString &protocolVersion, const QString &langOS);

    const QString &clientVersion() const { return mClientVersion; }
    void setClientVersion(const QString &clientVersion) { mClientVersion = clientVersion; }
    const QString &protocolVersion() const { return mProtocolVersion; }
    void setProtocolVersion(const QString &protocolVersion) { mProtocolVersion = protocolVersion; }
    const QString &langOS() const { return mLangOS; }
    void setLangOS(const QString &langOS) { mLangOS = langOS; }

protected:
    bool composeParams() override;

private:
    QString mClientVersion = QStringLiteral("%00");
    QString mProtocolVersion = QStringLiteral("%00");
    QString mLangOS = QStringLiteral("%00");
};

} // namespace parley
