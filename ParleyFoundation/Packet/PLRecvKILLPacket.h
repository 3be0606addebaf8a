#pragma once

// The server ends the session; a break code and its parameters come only on
// a line of more than three fields.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvKILLPacket : public PLRecvPacket
{
public:
    const QString &brCode() const { return mBrCode; }
    const QString &brParams() const { return mBrParams; }

protected:
    void decodeFields() override;

private:
    QString mBrCode;
    QString mBrParams;
};

} // namespace parley
