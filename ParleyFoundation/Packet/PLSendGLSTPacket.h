#pragma once

// Asks for the group list newer than the cached group version.

#include "PLSendPacket.h"

namespace parley {

class PLSendGLSTPacket : public PLSendPacket
{
public:
    explicit PLSendGLSTPacket(qint32 tid = 0);

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
