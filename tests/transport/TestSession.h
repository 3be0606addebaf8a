#pragma once

// A session with a small dispatch table that writes down what it handles:
// PING ordinary, PONG quick; a PING whose tid is in `bodyLengths` announces
// a body of that length. Losses are written down too.

#include "Packet/PLRecvPacket.h"
#include "Sessions/PLSession.h"

#include <QHash>
#include <QStringList>
#include <functional>

namespace parley::test {

class TestSession : public PLSession
{
public:
    explicit TestSession(bool withDefault = true)
    {
        registerProcessMethod(QStringLiteral("PING"), [this](PLRecvPacket &p) { handle(QStringLiteral("PING"), p); });
        registerThreadProcessMethod(QStringLiteral("PONG"), [this](PLRecvPacket &p) { handle(QStringLiteral("PONG-quick"), p); });
        registerProcessMethod(QStringLiteral("PONG"), [this](PLRecvPacket &p) { handle(QStringLiteral("PONG-ordinary"), p); });
        if (withDefault)
            registerProcessMethod(QStringLiteral("default"), [this](PLRecvPacket &p) { handle(QStringLiteral("default"), p); });
    }

    void bodyReceived(const QByteArray &body) override { handled << QStringLiteral("body:") + QString::fromLatin1(body); }
    void onSocketDidConnectToHost(AsyncSocket *, const QString &, quint16) override { handled << QStringLiteral("connected"); }
    void onSocketWillDisconnectWithError(AsyncSocket *socket, const std::optional<AsyncSocketError> &error) override
    {
        lossError = error;
        handled << QStringLiteral("lost");
        PLSession::onSocketWillDisconnectWithError(socket, error);
    }
    void onSocketDidDisconnect(AsyncSocket *socket) override
    {
        handled << QStringLiteral("disconnected");
        PLSession::onSocketDidDisconnect(socket);
    }

    QHash<int, qint64> bodyLengths;
    std::function<void(PLRecvPacket &)> onHandle;
    QStringList handled;
    std::optional<AsyncSocketError> lossError;

private:
    void handle(const QString &what, PLRecvPacket &packet)
    {
        handled << QStringLiteral("%1 %2").arg(what).arg(packet.tID());
        if (bodyLengths.contains(packet.tID()))
            notifyWhenBodyReceivedWithLength(bodyLengths.value(packet.tID()));
        if (onHandle)
            onHandle(packet);
    }
};

} // namespace parley::test
