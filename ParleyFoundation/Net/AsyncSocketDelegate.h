#pragma once

// What an AsyncSocket tells its owner. Every method is optional (the default
// does nothing); the socket never owns its delegate.

#include "AsyncSocketError.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace parley {

class AsyncSocket;

class AsyncSocketDelegate
{
public:
    virtual ~AsyncSocketDelegate() = default;

    // Before the connection is opened; set a proxy here. false cancels.
    virtual bool onSocketWillConnect(AsyncSocket *) { return true; }
    virtual void onSocketDidConnectToHost(AsyncSocket *, const QString & /*host*/, quint16 /*port*/) {}
    // A listening socket accepted a connection. The new socket is the
    // delegate's from here on (keep it, or it is deleted at the next event
    // loop pass: the default lets it go).
    virtual void onSocketDidAcceptNewSocket(AsyncSocket *listener, AsyncSocket *newSocket);
    virtual void onSocketDidReadData(AsyncSocket *, const QByteArray & /*data*/, long /*tag*/) {}
    virtual void onSocketDidReadPartialDataOfLength(AsyncSocket *, qsizetype /*length*/, long /*tag*/) {}
    virtual void onSocketDidWriteDataWithTag(AsyncSocket *, long /*tag*/) {}
    virtual void onSocketDidWritePartialDataOfLength(AsyncSocket *, qsizetype /*length*/, long /*tag*/) {}
    // Seconds to extend the time-out by; 0 or less lets it expire.
    virtual double onSocketShouldTimeoutReadWithTag(AsyncSocket *, long /*tag*/, double /*elapsed*/,
                                                    qsizetype /*bytesDone*/)
    {
        return 0;
    }
    virtual double onSocketShouldTimeoutWriteWithTag(AsyncSocket *, long /*tag*/, double /*elapsed*/,
                                                     qsizetype /*bytesDone*/)
    {
        return 0;
    }
    // Closing because of an error; no error for an orderly end of stream.
    // unreadData() is valid only inside this call.
    virtual void onSocketWillDisconnectWithError(AsyncSocket *, const std::optional<AsyncSocketError> &) {}
    virtual void onSocketDidDisconnect(AsyncSocket *) {}
};

} // namespace parley
