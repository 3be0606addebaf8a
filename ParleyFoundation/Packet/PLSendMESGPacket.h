#pragma once

#include "PLSendPacket.h"

namespace parley {

// A chat message, typing flag or away reply into the room.
class PLSendMESGPacket : public PLSendPacket
{
public:
    explicit PLSendMESGPacket(qint32 tid = 0);

    const QString &type() const { return mType; }
    void setType(const QString &type) { mType = type; }
    const QString &msg() const { return mMsg; }
    void setMsg(const QString &msg) { mMsg = msg; }

protected:
    bool composeParams() override;

private:
    QString mType = QStringLiteral("%00");
    QString mMsg = QStringLiteral("%00");
};

} // namespace parley
