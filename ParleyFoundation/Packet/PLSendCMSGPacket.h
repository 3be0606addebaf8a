#pragma once

#include "PLSendPacket.h"

namespace parley {

// A memo to a buddy, with or without a delivery confirmation.
class PLSendCMSGPacket : public PLSendPacket
{
public:
    explicit PLSendCMSGPacket(qint32 tid = 0);

    bool isConfirm() const { return mIsConfirm; }
    void setConfirm(bool confirm) { mIsConfirm = confirm; }
    const QString &bodyData() const { return mBodyData; }
    void setBodyData(const QString &body) { mBodyData = body; }

protected:
    bool composeParams() override;

private:
    bool mIsConfirm = true;
    QString mBodyData = QStringLiteral("%00");
};

} // namespace parley
