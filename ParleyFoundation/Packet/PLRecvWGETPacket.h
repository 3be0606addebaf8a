#pragma once

#include "PLRecvBodyPacket.h"

namespace parley {

// One page of the answer to a tunnelled web request.
class PLRecvWGETPacket : public PLRecvBodyPacket
{
public:
    QString subCmd() const { return value(QStringLiteral("subcomm")); }
    qint32 curPage() const { return intValue(QStringLiteral("curpage")); }
    qint32 totalPages() const { return intValue(QStringLiteral("totalpages")); }
    QString resultCode() const { return value(QStringLiteral("resultcode")); }
    bool isSuccess() const { return resultCode() == QLatin1String("100"); }
    qint32 bodyLen() const { return intValue(QStringLiteral("bodylen")); }

protected:
    void decodeFields() override;
};

} // namespace parley
