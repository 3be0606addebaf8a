#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A received command whose line announces a counted text body; the session
// reads the body after the line and stores it here.
class PLRecvBodyPacket : public PLRecvPacket
{
public:
    const QString &bodyData() const { return mBodyData; }
    void setBodyData(const QString &body) { mBodyData = body; }

protected:
    QString mBodyData;
};

} // namespace parley
