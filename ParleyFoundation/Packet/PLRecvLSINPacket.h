#pragma once

// The answer to the older sign-in, enciphered. Valid even when the field is
// missing, so that the sign-in is not left waiting.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvLSINPacket : public PLRecvPacket
{
public:
    QString encryptedBody() const { return value(QStringLiteral("encryptedBody")); }

protected:
    void decodeFields() override;
    bool isValidEvenWhenParsingFails() const override { return true; }
};

} // namespace parley
