// NotificationSession: the file-relay assignment.
#include "NotificationSession.h"

#include "FileRelayServer.h"
#include "LineConnection.h"
#include "NotificationServer.h"
#include "ReplyCodes.h"
#include "WireText.h"

namespace localservice {

// REFR tid text -> REFR tid relayHost relayPort relayCookie
void NotificationSession::handleREFR(qint64 tid, const QStringList &fields, bool signedIn)
{
    if (fields.size() != 3)
        return replyError(reply::kMalformed, tid);
    if (!signedIn)
        return replyError(reply::kNotNow, tid);
    FileRelayServer *relay = mServer.fileRelay();
    if (!relay)
        return replyError(reply::kUnsupported, tid);
    mConnection->write(wireLine(QStringLiteral("REFR"), tid,
                                {relay->host(), QString::number(relay->port()), relay->issueCookie()}));
}

} // namespace localservice
