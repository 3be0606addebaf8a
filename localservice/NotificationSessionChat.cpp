// The notification server's chat requests: a room on the switchboard.
#include "NotificationSession.h"

#include "LineConnection.h"
#include "NotificationServer.h"
#include "ReplyCodes.h"
#include "SwitchboardServer.h"
#include "WireText.h"

namespace localservice {

void NotificationSession::handleRESS(qint64 tid, const QStringList &fields)
{
    // RESS tid: answered with the switchboard's address and a new room's key.
    if (fields.size() != 2)
        return replyError(reply::kMalformed, tid);
    if (mState != State::SignedIn && mState != State::Complete)
        return replyError(reply::kNotNow, tid);
    SwitchboardServer *switchboard = mServer.switchboard();
    if (!switchboard)
        return replyError(reply::kUnsupported, tid);
    const QString key = switchboard->createRoom();
    mConnection->write(wireLine(QStringLiteral("RESS"), tid,
                                {switchboard->host(), QString::number(switchboard->port()), key}));
}

} // namespace localservice
