#pragma once

// An error reply: a numeric word in place of the command.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvERRPacket : public PLRecvPacket
{
public:
    // Keeps the raw line, sets the command to "ERR" and leaves the tid at 0;
    // the failed request's tid is the text field "errTID".
    PLRecvPacket *setParams(const QString &line) override;

    qint32 errCode() const { return intValue(QStringLiteral("errCode")); }
    QString errTID() const { return value(QStringLiteral("errTID")); }
    QString errSubCode() const { return value(QStringLiteral("errSubCode")); }
    QString errMessage() const { return value(QStringLiteral("errMsg")); }

protected:
    void decodeFields() override;
};

} // namespace parley
