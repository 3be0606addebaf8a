#pragma once

// What the login-dispatch session reports to its owner (the account-session
// facade). Every callback is optional; the session never owns its delegate,
// and the owner clears it (setDelegate(nullptr)) before it goes away.

#include <QVariantMap>

namespace parley {

class PLDPLSession;

class PLDPLSessionDelegate
{
public:
    virtual ~PLDPLSessionDelegate() = default;

    // The REQS reply: {"tid", "servername", "ip", "port"}, all strings.
    virtual void dplSessionDpServerInfoReceived(PLDPLSession *, const QVariantMap & /*info*/) {}
    // The relay answered RCON: it now carries the line to the dispatch
    // server. The argument is always empty.
    virtual void dplSessionRemoteConnected(PLDPLSession *, const QVariantMap & /*info*/) {}
};

} // namespace parley
