#pragma once

#include "PLRecvPacket.h"

namespace parley {

// An alarm notice of the portal: own alarms and buddy alarms.
class PLRecvALRMPacket : public PLRecvPacket
{
public:
    QString svcGB() const { return value(QStringLiteral("SVC_GB")); }
    QString from() const { return value(QStringLiteral("from")); }
    QString text() const { return value(QStringLiteral("text")); }
    QString urlGB() const { return value(QStringLiteral("URL_GB")); }
    QString url() const { return value(QStringLiteral("URL")); }
    // The service-defined items as received, each followed by one space.
    QString svcDefined() const { return value(QStringLiteral("SVC_Defined")); }

protected:
    void decodeFields() override;
};

} // namespace parley
