#pragma once

#include "PLSendPacket.h"

namespace parley {

// A paged web request tunnelled over the notification-server connection.
class PLSendWGETPacket : public PLSendPacket
{
public:
    explicit PLSendWGETPacket(qint32 tid = 0);

    const QString &subCmd() const { return mSubCmd; }
    void setSubCmd(const QString &subCmd) { mSubCmd = subCmd; }
    // Null for a request without a body.
    const QString &body() const { return mBodyData; }
    void setBody(const QString &body) { mBodyData = body; }

protected:
    bool composeParams() override;

private:
    QString mSubCmd;
    QString mBodyData;
};

} // namespace parley
