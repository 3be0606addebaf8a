#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The list of the account's other logins; the session parses the body.
class PLRecvMLSTPacket : public PLRecvPacket
{
public:
    const QString &target() const { return mTarget; }
    void setTarget(const QString &target) { mTarget = target; }
    qint32 count() const { return mCount; }
    void setCount(qint32 count) { mCount = count; }
    qint32 bodyLength() const { return mBodyLength; }
    void setBodyLength(qint32 length) { mBodyLength = length; }

protected:
    void decodeFields() override;

private:
    QString mTarget = QStringLiteral("%00");
    qint32 mCount = 0;
    qint32 mBodyLength = 0;
};

} // namespace parley
