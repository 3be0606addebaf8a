#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The answer to KILS; "100" means the logout was done.
class PLRecvKILSPacket : public PLRecvPacket
{
public:
    const QString &is100() const { return mIs100; }
    void setIs100(const QString &code) { mIs100 = code; }

protected:
    void decodeFields() override;

private:
    QString mIs100 = QStringLiteral("100");
};

} // namespace parley
