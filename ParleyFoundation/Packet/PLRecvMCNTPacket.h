#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A status word and a count pushed by the server.
class PLRecvMCNTPacket : public PLRecvPacket
{
public:
    const QString &status() const { return mStatus; }
    void setStatus(const QString &status) { mStatus = status; }
    qint32 count() const { return mCount; }
    void setCount(qint32 count) { mCount = count; }

protected:
    void decodeFields() override;

private:
    QString mStatus = QStringLiteral("O");
    qint32 mCount = 1;
};

} // namespace parley
