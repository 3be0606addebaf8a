#include "AccountSession.h"

#include "Sessions/PLDPSession.h"
#include "Sessions/PLParleySession.h"

namespace parley::shell {

// Through the facade when there is one (a test's session without one sends nothing).

bool AccountSession::requestSessionList(const QString &loginID)
{
    PLParleySession *session = facade();
    return session && session->requestSessionList(loginID);
}

int AccountSession::sendKillSession(const QString &target, const QString &killType)
{
    PLParleySession *session = facade();
    PLDPSession *line = session ? session->mDPSession() : nullptr;
    return line ? int(line->sendKILSPacket(target, killType)) : 0;
}

} // namespace parley::shell
