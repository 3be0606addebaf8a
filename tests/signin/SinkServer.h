#pragma once

// A listener on 127.0.0.1 (kernel-chosen port) that accepts one client at a
// time, keeps every byte it sends and can write replies to it.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

namespace parley::test {

class SinkServer : public QObject
{
    Q_OBJECT

public:
    explicit SinkServer(QObject *parent = nullptr);
    quint16 port() const;
    bool hasClient() const { return !mClient.isNull(); }
    void reply(const QByteArray &bytes);
    void closeClient();
    QByteArray received() const { return mReceived; }
    // The complete lines received so far, without CR LF.
    QStringList lines() const;
    void clear() { mReceived.clear(); }

private:
    QTcpServer *mServer;
    QPointer<QTcpSocket> mClient;
    QByteArray mReceived;
};

} // namespace parley::test
