#pragma once

// A socket delegate that writes down every call in order, keeps accepted
// sockets, and can be told how to answer the questions a socket asks.

#include "Net/AsyncSocket.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace parley::test {

class SocketRecorder : public AsyncSocketDelegate
{
public:
    bool onSocketWillConnect(AsyncSocket *) override
    {
        events << QStringLiteral("willConnect");
        if (proxy.type != AsyncSocketProxy::Type::None && proxyTarget)
            proxyTarget->setProxy(proxy);
        return allowConnect;
    }
    void onSocketDidConnectToHost(AsyncSocket *, const QString &host, quint16) override
    {
        events << QStringLiteral("didConnect");
        connectedHost = host;
    }
    void onSocketDidAcceptNewSocket(AsyncSocket *, AsyncSocket *newSocket) override
    {
        events << QStringLiteral("didAccept");
        accepted.emplace_back(newSocket);
    }
    void onSocketDidReadData(AsyncSocket *, const QByteArray &data, long tag) override
    {
        events << QStringLiteral("read:%1").arg(tag);
        reads << data;
        received += data;
        if (rearmReads)
            rearmReads();
    }
    void onSocketDidReadPartialDataOfLength(AsyncSocket *, qsizetype length, long tag) override
    {
        events << QStringLiteral("readPartial:%1:%2").arg(tag).arg(length);
    }
    void onSocketDidWriteDataWithTag(AsyncSocket *, long tag) override { events << QStringLiteral("wrote:%1").arg(tag); }
    void onSocketDidWritePartialDataOfLength(AsyncSocket *, qsizetype length, long tag) override
    {
        events << QStringLiteral("wrotePartial:%1:%2").arg(tag).arg(length);
    }
    double onSocketShouldTimeoutReadWithTag(AsyncSocket *, long tag, double, qsizetype) override
    {
        events << QStringLiteral("shouldTimeoutRead:%1").arg(tag);
        return extendRead;
    }
    void onSocketWillDisconnectWithError(AsyncSocket *socket, const std::optional<AsyncSocketError> &error) override
    {
        events << QStringLiteral("willDisconnect");
        lastError = error;
        hadError = true;
        unread = socket->unreadData();
    }
    void onSocketDidDisconnect(AsyncSocket *) override { events << QStringLiteral("didDisconnect"); }

    bool allowConnect = true;
    AsyncSocketProxy proxy;
    AsyncSocket *proxyTarget = nullptr;
    double extendRead = 0;
    std::function<void()> rearmReads;

    QStringList events;
    QList<QByteArray> reads;
    QByteArray received;
    QString connectedHost;
    std::optional<AsyncSocketError> lastError;
    bool hadError = false;
    QByteArray unread;
    std::vector<std::unique_ptr<AsyncSocket>> accepted;
};

} // namespace parley::test
