#include "PLHTTPProxySession.h"

#include "Log.h"
#include "Utils/PLEndpoints.h"

#include <QNetworkProxy>
#include <QPointer>
#include <QTcpSocket>

namespace parley {

PLHTTPProxySession::PLHTTPProxySession(const QString &host, int portNo, const QString &ticket, QObject *parent)
    : QObject(parent), mHostName(host), mPortNo(portNo), mTicket(ticket)
{
    mTimer.setSingleShot(true);
    connect(&mTimer, &QTimer::timeout, this, [this] {
        if (mSent)
            finish(QStringLiteral("no complete reply in time"));
        else
            attemptFailed();
    });
}

PLHTTPProxySession::~PLHTTPProxySession()
{
    if (mSocket)
        mSocket->disconnect(this);
}

bool PLHTTPProxySession::setPacketString(const QString &packet, const QString &target)
{
    PL_GUARD_OBJECT(!packet.isNull(), false);
    PL_GUARD_OBJECT(!target.isNull(), false);
    mPacket = packet;
    mTarget = target;
    return true;
}

QByteArray PLHTTPProxySession::requestBytes(const QString &tunnelHost, quint16 tunnelPort, const QString &target,
                                            const QString &ticket, const QString &packet)
{
    const QByteArray body = packet.toUtf8();
    QByteArray request;
    request += "POST http://" + tunnelHost.toUtf8() + ':' + QByteArray::number(tunnelPort) + "/ HTTP/1.1\r\n";
    request += "Target: " + target.toUtf8() + "\r\n";
    request += "Proxy-Connection: Keep-Alive\r\n";
    request += "Connection: Keep-Alive\r\n";
    request += "Pragma: no-cache\r\n";
    request += "Ticket: " + ticket.toUtf8() + "\r\n";
    request += "Host: " + tunnelHost.toUtf8() + "\r\n";
    request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "\r\n";
    request += body;
    return request;
}

void PLHTTPProxySession::postPacketAndNotifyBackground()
{
    if (mHostName.isEmpty()) {
        plLogNil(__FILE__, __LINE__);
        finish(QStringLiteral("no proxy host"));
        return;
    }
    if (mTarget.isNull() || mTicket.isNull() || mPacket.isNull()) {
        plLogNil(__FILE__, __LINE__);
        finish(QStringLiteral("nothing to send"));
        return;
    }
    const PLEndpoints endpoints = PLEndpoints::current();
    mRequest = requestBytes(endpoints.tunnelHost, endpoints.tunnelPort, mTarget, mTicket, mPacket);
    mMaxAttempts = endpoints.tunnelAttempts;
    mAttempts = 0;
    attempt();
}

void PLHTTPProxySession::attempt()
{
    ++mAttempts;
    if (mSocket) {
        mSocket->disconnect(this);
        mSocket->abort();
        mSocket->deleteLater();
    }
    mSocket = new QTcpSocket(this);
    mSocket->setProxy(QNetworkProxy::NoProxy);
    connect(mSocket, &QTcpSocket::connected, this, &PLHTTPProxySession::onConnected);
    connect(mSocket, &QTcpSocket::readyRead, this, &PLHTTPProxySession::onReadyRead);
    connect(mSocket, &QTcpSocket::errorOccurred, this, &PLHTTPProxySession::onSocketEnded);
    mTimer.start(int(PLEndpoints::current().connectTimeout * 1000));
    mSocket->connectToHost(mHostName, quint16(mPortNo));
}

void PLHTTPProxySession::attemptFailed()
{
    if (mSocket && mSocket->error() == QAbstractSocket::HostNotFoundError) {
        plLog(QStringLiteral("aHost = %1").arg(mHostName));
        plLog(QStringLiteral("invalid host"));
    }
    plLog(QStringLiteral("mHost = %1").arg(mHostName));
    plLog(QStringLiteral("portNo = %1").arg(mPortNo));
    if (mAttempts < mMaxAttempts) {
        attempt();
        return;
    }
    finish(QStringLiteral("proxy %1:%2 unreachable after %3 attempts").arg(mHostName).arg(mPortNo).arg(mAttempts));
}

void PLHTTPProxySession::onConnected()
{
    mSent = true;
    mSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    mSocket->write(mRequest);
    mTimer.start(int(PLEndpoints::current().tunnelTimeout * 1000));
}

void PLHTTPProxySession::onReadyRead()
{
    const bool hadHeader = mReply.hasHeader();
    const PLHTTPTunnelReply::Status status = mReply.feed(mSocket->readAll());
    if (!hadHeader && mReply.hasHeader()) {
        // The first reply that carries a ticket gives it to the session.
        const QString ticket = mReply.headerValue(QStringLiteral("Ticket"));
        if (mTicket == QLatin1String("0") && !ticket.isEmpty()) {
            mTicket = ticket;
            QPointer<PLHTTPProxySession> self(this);
            if (mDelegate)
                mDelegate->setHTTPProxyTicket(ticket);
            if (!self)
                return;
        }
    }
    if (status == PLHTTPTunnelReply::Status::Complete)
        finish({});
    else if (status == PLHTTPTunnelReply::Status::Error)
        finish(mReply.error());
}

void PLHTTPProxySession::onSocketEnded()
{
    if (!mSent) {
        attemptFailed();
        return;
    }
    if (mSocket->bytesAvailable() > 0)
        onReadyRead();
    if (mFinished)
        return;
    const PLHTTPTunnelReply::Status status = mReply.finish();
    finish(status == PLHTTPTunnelReply::Status::Complete ? QString() : mReply.error());
}

void PLHTTPProxySession::finish(const QString &failure)
{
    if (mFinished)
        return;
    mFinished = true;
    mTimer.stop();
    if (mSocket) {
        mSocket->disconnect(this);
        mSocket->abort();
        mSocket->deleteLater();
        mSocket = nullptr;
    }
    if (!failure.isEmpty())
        plLog(QStringLiteral("tunnel exchange failed: %1").arg(failure));
    QPointer<PLHTTPProxySession> self(this);
    if (failure.isEmpty() && mDelegate && !mReply.body().isEmpty())
        mDelegate->dataReceived(mReply.body());
    if (self && mDelegate)
        mDelegate->httpProxySessionDidFinish(this, failure);
}

} // namespace parley
