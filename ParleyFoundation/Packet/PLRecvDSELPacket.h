#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The server closes the chat room.
class PLRecvDSELPacket : public PLRecvPacket
{
public:
    const QString &brCode() const { return mBrCode; }
    void setBrCode(const QString &code) { mBrCode = code; }

protected:
    void decodeFields() override;

private:
    QString mBrCode;
};

} // namespace parley
