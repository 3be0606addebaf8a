#pragma once

// Asks for the server configuration newer than the cached version.

#include "PLSendPacket.h"

namespace parley {

class PLSendCONFPacket : public PLSendPacket
{
public:
    explicit PLSendCONFPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &cache);

    const QString &cache() const { return mCache; }
    void setCache(const QString &cache) { mCache = cache; }

protected:
    bool composeParams() override;

private:
    QString mCache = QStringLiteral("%00");
};

} // namespace parley
