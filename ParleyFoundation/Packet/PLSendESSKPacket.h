#pragma once

#include "PLSendPacket.h"

namespace parley {

// The room's session key, enciphered with the switchboard's public key.
class PLSendESSKPacket : public PLSendPacket
{
public:
    explicit PLSendESSKPacket(qint32 tid = 0);

    const QString &encSSKey() const { return mEncSSKey; }
    void setEncSSKey(const QString &key) { mEncSSKey = key; }
    const QString &encType() const { return mEncType; }
    void setEncType(const QString &type) { mEncType = type; }

protected:
    bool composeParams() override;

private:
    QString mEncSSKey = QStringLiteral("%00");
    QString mEncType = QStringLiteral("%00");
};

} // namespace parley
