#pragma once

// Sets the user's own nickname.

#include "PLSendPacket.h"

namespace parley {

class PLSendCNIKPacket : public PLSendPacket
{
public:
    explicit PLSendCNIKPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &nickName);

    const QString &nickName() const { return mNickName; }
    void setNickName(const QString &nickName) { mNickName = nickName; }

protected:
    bool composeParams() override;

private:
    QString mNickName = QStringLiteral("%00");
};

} // namespace parley
