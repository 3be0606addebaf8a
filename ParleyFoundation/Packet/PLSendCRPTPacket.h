#pragma once

#include "PLSendPacket.h"

namespace parley {

// The envelope of an encrypted room: another command's enciphered line as the
// body, announced by its length.
class PLSendCRPTPacket : public PLSendPacket
{
public:
    explicit PLSendCRPTPacket(qint32 tid = 0);

    const QString &bodyData() const { return mBodyData; }
    void setBodyData(const QString &body) { mBodyData = body; }

protected:
    bool composeParams() override;

private:
    QString mBodyData = QStringLiteral("%00");
};

} // namespace parley
