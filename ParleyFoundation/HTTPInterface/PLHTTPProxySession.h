#pragma once

// One exchange of the HTTP tunnel: a command line goes as one POST through
// the user's HTTP proxy to the tunnel server, which hands it to the real
// server named in "Target" and answers with whatever that server has for us.
// Everything runs asynchronously on the calling thread.

#include "PLHTTPTunnelReply.h"

#include <QObject>
#include <QString>
#include <QTimer>

class QTcpSocket;

namespace parley {

class PLHTTPProxySession;

class PLHTTPProxySessionDelegate
{
public:
    virtual ~PLHTTPProxySessionDelegate() = default;
    // The reply's body, to be framed like bytes from a socket.
    virtual void dataReceived(const QByteArray &bytes) = 0;
    // The tunnel server assigned a ticket (only while ours is "0").
    virtual void setHTTPProxyTicket(const QString &ticket) = 0;
    // The exchange is over; `failure` is empty when the reply came.
    virtual void httpProxySessionDidFinish(PLHTTPProxySession *, const QString &failure) = 0;
};

class PLHTTPProxySession : public QObject
{
    Q_OBJECT

public:
    // Host and port of the user's HTTP proxy; the ticket the session holds.
    PLHTTPProxySession(const QString &host, int portNo, const QString &ticket, QObject *parent = nullptr);
    ~PLHTTPProxySession() override;

    void setDelegate(PLHTTPProxySessionDelegate *delegate) { mDelegate = delegate; }
    void setTicket(const QString &ticket) { mTicket = ticket; }
    void setMPortNo(int portNo) { mPortNo = portNo; }
    // The command line (may be empty: the poll) and "host:port" of the real
    // server; refuses a null one of them.
    bool setPacketString(const QString &packet, const QString &target);

    const QString &host() const { return mHostName; }
    int portNo() const { return mPortNo; }
    const QString &ticket() const { return mTicket; }
    const QString &packet() const { return mPacket; }
    const QString &target() const { return mTarget; }

    // Connects to the proxy (a bounded number of attempts), sends the
    // request and delivers the reply; the delegate hears the end either way.
    void postPacketAndNotifyBackground();

    // The request exactly as it goes on the wire.
    static QByteArray requestBytes(const QString &tunnelHost, quint16 tunnelPort, const QString &target,
                                   const QString &ticket, const QString &packet);

private:
    void attempt();
    void onConnected();
    void onReadyRead();
    void onSocketEnded();
    void attemptFailed();
    void finish(const QString &failure);

    PLHTTPProxySessionDelegate *mDelegate = nullptr;
    QString mHostName;
    int mPortNo = 0;
    QString mTicket;
    QString mPacket;
    QString mTarget;
    QByteArray mRequest;
    QTcpSocket *mSocket = nullptr;
    int mAttempts = 0;
    int mMaxAttempts = 1;
    bool mSent = false;
    bool mFinished = false;
    QTimer mTimer;
    PLHTTPTunnelReply mReply;
};

} // namespace parley
