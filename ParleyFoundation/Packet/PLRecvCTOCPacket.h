#pragma once

#include "PLRecvBodyPacket.h"

namespace parley {

// A client-to-client message relayed by the server; the body that follows
// starts with its sub-command.
class PLRecvCTOCPacket : public PLRecvBodyPacket
{
public:
    QString fromID() const { return value(QStringLiteral("fromID")); }
    qint32 bodyLen() const { return intValue(QStringLiteral("bodyLen")); }
    const QString &fromKey() const { return mFromKey; }
    void setFromKey(const QString &key) { mFromKey = key; }

protected:
    void decodeFields() override;

private:
    QString mFromKey = QLatin1String("");
};

} // namespace parley
