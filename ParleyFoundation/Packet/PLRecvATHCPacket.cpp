#include "PLRecvATHCPacket.h"

namespace parley {

void PLRecvATHCPacket::decodeFields()
{
    if (fieldCount() > 5) {
        // A request without a relay cookie puts its port under the auth
        // cookie and its closing "0" under the port; readers know this.
        mType = Request;
        readField(QStringLiteral("fromID"), 2);
        readField(QStringLiteral("targetID"), 3);
        readField(QStringLiteral("p2pCookie"), 4);
        readField(QStringLiteral("p2pAuthCookie"), 5);
        readField(QStringLiteral("listenPort"), 6);
    } else {
        mType = Reply;
        readField(QStringLiteral("responseCode"), 2);
        readField(QStringLiteral("listenPort"), 3);
    }
}

} // namespace parley
