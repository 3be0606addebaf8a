// AsyncSocket: connecting (directly or through a proxy), closing, queries.
#include "AsyncSocket.h"

#include "AsyncSocketInternal.h"
#include "Log.h"
#include "PLSocks4Handshake.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>

namespace parley {

using asyncsocket::qtError;
using asyncsocket::toMilliseconds;

namespace {

// How much the connection may hold for us before TCP pushes back.
constexpr qint64 kReadBufferLimit = 1024 * 1024;

AsyncSocketError socksError(int code, const QString &text)
{
    return AsyncSocketError::other(QStringLiteral("SOCKSErrorDomain"), code, text);
}

} // namespace


AsyncSocketError AsyncSocketError::socketError(Code code)
{
    QString text;
    switch (code) {
    case CFSocketError: text = QStringLiteral("General CFSocket error"); break;
    case CanceledError: text = QStringLiteral("Connection canceled"); break;
    case ConnectTimeoutError: text = QStringLiteral("Attempt to connect to host timed out"); break;
    case ReadMaxedOutError: text = QStringLiteral("Read operation reached set maximum length"); break;
    case ReadTimeoutError: text = QStringLiteral("Read operation timed out"); break;
    case WriteTimeoutError: text = QStringLiteral("Write operation timed out"); break;
    }
    return {QString::fromLatin1(kAsyncSocketErrorDomain), int(code), text};
}

void AsyncSocketDelegate::onSocketDidAcceptNewSocket(AsyncSocket *, AsyncSocket *newSocket)
{
    newSocket->deleteLater();
}

const QByteArray &AsyncSocket::CRLFData()
{
    static const QByteArray data("\r\n", 2);
    return data;
}
const QByteArray &AsyncSocket::CRData()
{
    static const QByteArray data("\r", 1);
    return data;
}
const QByteArray &AsyncSocket::LFData()
{
    static const QByteArray data("\n", 1);
    return data;
}
const QByteArray &AsyncSocket::ZeroData()
{
    static const QByteArray data("\0", 1);
    return data;
}

AsyncSocket::AsyncSocket(AsyncSocketDelegate *delegate, long userData, QObject *parent)
    : QObject(parent), mDelegate(delegate), mUserData(userData)
{
    for (QTimer *timer : {&mReadTimer, &mWriteTimer, &mConnectTimer})
        timer->setSingleShot(true);
    connect(&mReadTimer, &QTimer::timeout, this, &AsyncSocket::doReadTimeout);
    connect(&mWriteTimer, &QTimer::timeout, this, &AsyncSocket::doWriteTimeout);
    connect(&mConnectTimer, &QTimer::timeout, this, [this] {
        closeWithError(AsyncSocketError::socketError(AsyncSocketError::ConnectTimeoutError));
    });
}

AsyncSocket::~AsyncSocket()
{
    mDelegate = nullptr;
    close();
}

bool AsyncSocket::canSafelySetDelegate() const { return mReads.isIdle() && mWrites.isIdle(); }

bool AsyncSocket::isDisconnected() const { return !mSocket && !mServer4 && !mServer6; }

bool AsyncSocket::connectToHost(const QString &host, quint16 port, double timeout, AsyncSocketError *error)
{
    if (!mDelegate)
        throw AsyncSocketException("Attempting to connect without a delegate. Set a delegate first.");
    if (!isDisconnected())
        throw AsyncSocketException("Attempting to connect while connected or accepting connections. Disconnect first.");
    emptyQueues();
    attach(new QTcpSocket(this));

    QPointer<AsyncSocket> self(this);
    const bool go = mDelegate->onSocketWillConnect(this);
    if (!self)
        return false;
    if (!go) {
        close();
        if (error)
            *error = AsyncSocketError::socketError(AsyncSocketError::CanceledError);
        return false;
    }

    mTargetHost = host;
    mTargetPort = port;
    const AsyncSocketProxy &p = mProxy;
    switch (p.type) {
    case AsyncSocketProxy::Type::None:
        mSocket->setProxy(QNetworkProxy::NoProxy);
        mSocket->connectToHost(host, port);
        break;
    case AsyncSocketProxy::Type::HttpsConnect:
        mSocket->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, p.host, p.port, p.user, p.password));
        mSocket->connectToHost(host, port);
        break;
    case AsyncSocketProxy::Type::Socks5:
        mSocket->setProxy(QNetworkProxy(QNetworkProxy::Socks5Proxy, p.host, p.port, p.user, p.password));
        mSocket->connectToHost(host, port);
        break;
    case AsyncSocketProxy::Type::Socks4:
        // Our own short handshake once the proxy has answered the TCP connect.
        mSocket->setProxy(QNetworkProxy::NoProxy);
        mSocket->connectToHost(p.host, p.port);
        break;
    }
    if (timeout >= 0)
        mConnectTimer.start(toMilliseconds(timeout));
    mStarted = true;
    return true;
}

void AsyncSocket::attach(QTcpSocket *socket)
{
    mSocket = socket;
    mSocket->setParent(this);
    mSocket->setReadBufferSize(kReadBufferLimit);
    connect(mSocket, &QTcpSocket::connected, this, &AsyncSocket::onConnected);
    connect(mSocket, &QTcpSocket::readyRead, this, &AsyncSocket::onReadyRead);
    connect(mSocket, &QTcpSocket::bytesWritten, this, &AsyncSocket::onBytesWritten);
    connect(mSocket, &QTcpSocket::errorOccurred, this, &AsyncSocket::onSocketError);
    connect(mSocket, &QTcpSocket::disconnected, this, &AsyncSocket::onSocketError);
}

void AsyncSocket::onConnected()
{
    if (mProxy.type != AsyncSocketProxy::Type::Socks4) {
        didOpen();
        return;
    }
    QHostAddress literal;
    if (literal.setAddress(mTargetHost) && literal.protocol() == QAbstractSocket::IPv4Protocol) {
        startSocks4(literal.toIPv4Address());
        return;
    }
    // SOCKS4 carries only an IPv4 address: resolve the target ourselves.
    mHandshake = Handshake::Socks4Resolving;
    mLookupID = QHostInfo::lookupHost(mTargetHost, this, &AsyncSocket::onSocks4Lookup);
}

void AsyncSocket::onSocks4Lookup(const QHostInfo &info)
{
    if (mHandshake != Handshake::Socks4Resolving || info.lookupId() != mLookupID)
        return;
    mLookupID = -1;
    for (const QHostAddress &address : info.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            startSocks4(address.toIPv4Address());
            return;
        }
    }
    closeWithError(AsyncSocketError::other(QStringLiteral("NetDBErrorDomain"), int(info.error()),
                                           info.error() == QHostInfo::NoError ? QStringLiteral("no IPv4 address")
                                                                              : info.errorString()));
}

void AsyncSocket::startSocks4(quint32 ipv4)
{
    mHandshake = Handshake::Socks4Reply;
    mSocket->write(PLSocks4Handshake::request(ipv4, mTargetPort, mProxy.user.toUtf8()));
    readSocks4Reply();
}

void AsyncSocket::readSocks4Reply()
{
    if (mSocket->bytesAvailable() < PLSocks4Handshake::kReplyLength)
        return;
    const QByteArray head = mSocket->read(PLSocks4Handshake::kReplyLength);
    const PLSocks4Handshake::Reply reply = PLSocks4Handshake::parseReply(head);
    switch (reply.status) {
    case PLSocks4Handshake::Reply::Granted:
        mHandshake = Handshake::None;
        didOpen();
        return;
    case PLSocks4Handshake::Reply::Refused:
        closeWithError(socksError(reply.code, QStringLiteral("SOCKS4 request rejected (%1)").arg(reply.code)));
        return;
    case PLSocks4Handshake::Reply::Malformed:
    case PLSocks4Handshake::Reply::NeedMore:
        closeWithError(socksError(0, QStringLiteral("malformed SOCKS4 reply")));
        return;
    }
}

void AsyncSocket::didOpen()
{
    mOpen = true;
    mConnectTimer.stop();
    QPointer<AsyncSocket> self(this);
    if (mDelegate)
        mDelegate->onSocketDidConnectToHost(this, connectedHost(), connectedPort());
    if (!self || !isOpen())
        return;
    maybeDequeueRead();
    if (!self || !isOpen())
        return;
    maybeDequeueWrite();
}

void AsyncSocket::onReadyRead()
{
    if (mHandshake == Handshake::Socks4Reply) {
        readSocks4Reply();
        if (mHandshake != Handshake::None || !isOpen())
            return;
    }
    if (isOpen())
        processRead();
}

void AsyncSocket::onSocketError()
{
    if (!mSocket)
        return;
    if (mHandshake != Handshake::None) {
        closeWithError(socksError(0, QStringLiteral("SOCKS4 proxy closed or failed before its reply: %1")
                                         .arg(mSocket->errorString())));
        return;
    }
    // The peer ending an open connection is an orderly end, not an error.
    const QAbstractSocket::SocketError error = mSocket->error();
    const bool peerEnded = error == QAbstractSocket::RemoteHostClosedError || error == QAbstractSocket::UnknownSocketError;
    if (mOpen && peerEnded)
        closeWithError(std::nullopt);
    else
        closeWithError(qtError(mSocket));
}

// ---- disconnecting ----

void AsyncSocket::disconnectAfterReading()
{
    mNoNewIO = true;
    mDisconnectAfterReads = true;
    maybeScheduleDisconnect();
}

void AsyncSocket::disconnectAfterWriting()
{
    mNoNewIO = true;
    mDisconnectAfterWrites = true;
    maybeScheduleDisconnect();
}

void AsyncSocket::disconnectAfterReadingAndWriting()
{
    mNoNewIO = true;
    mDisconnectAfterReads = true;
    mDisconnectAfterWrites = true;
    maybeScheduleDisconnect();
}

void AsyncSocket::maybeScheduleDisconnect()
{
    const bool readsIdle = mReads.isIdle();
    const bool writesIdle = mWrites.isIdle();
    bool now = false;
    if (mDisconnectAfterReads && mDisconnectAfterWrites)
        now = readsIdle && writesIdle;
    else if (mDisconnectAfterReads)
        now = readsIdle;
    else if (mDisconnectAfterWrites)
        now = writesIdle;
    if (!now || mDisconnectPending)
        return;
    mDisconnectPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (mDisconnectPending)
                close();
        },
        Qt::QueuedConnection);
}

void AsyncSocket::closeWithError(const std::optional<AsyncSocketError> &error)
{
    mClosingWithError = true;
    if (mStarted) {
        mUnread = mReads.takeUnread();
        if (mSocket && mHandshake == Handshake::None)
            mUnread.append(mSocket->readAll());
        emptyQueues();
        QPointer<AsyncSocket> self(this);
        if (mDelegate)
            mDelegate->onSocketWillDisconnectWithError(this, error);
        if (!self)
            return;
    }
    close();
}

QByteArray AsyncSocket::unreadData() const { return mClosingWithError ? mUnread : QByteArray(); }

void AsyncSocket::close()
{
    emptyQueues();
    mReads.clear();
    mUnread.clear();
    for (QByteArray &block : mReadBlocks)
        block = QByteArray();
    mSmallReadRun = 0;
    mDisconnectPending = false;
    mConnectTimer.stop();
    if (mLookupID >= 0) {
        QHostInfo::abortHostLookup(mLookupID);
        mLookupID = -1;
    }
    if (mSocket) {
        QTcpSocket *socket = mSocket;
        mSocket = nullptr;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    for (QTcpServer **server : {&mServer4, &mServer6}) {
        if (*server) {
            (*server)->disconnect(this);
            (*server)->close();
            (*server)->deleteLater();
            *server = nullptr;
        }
    }
    mHandshake = Handshake::None;
    const bool wasStarted = mStarted;
    mStarted = mOpen = mNoNewIO = mDisconnectAfterReads = mDisconnectAfterWrites = false;
    mClosingWithError = false;
    if (wasStarted && mDelegate)
        mDelegate->onSocketDidDisconnect(this);
}

// ---- queries ----

bool AsyncSocket::isConnected() const
{
    return isOpen() && mSocket->state() == QAbstractSocket::ConnectedState;
}

QString AsyncSocket::connectedHost() const
{
    if (!mSocket)
        return {};
    const QHostAddress peer = mSocket->peerAddress();
    bool mapped = false;
    const QHostAddress v4(peer.toIPv4Address(&mapped));
    return mapped ? v4.toString() : peer.toString();
}

quint16 AsyncSocket::connectedPort() const { return mSocket ? mSocket->peerPort() : 0; }

QString AsyncSocket::localHost() const
{
    if (mSocket)
        return mSocket->localAddress().toString();
    if (mServer4)
        return mServer4->serverAddress().toString();
    if (mServer6)
        return mServer6->serverAddress().toString();
    return {};
}

quint16 AsyncSocket::localPort() const
{
    if (mSocket)
        return mSocket->localPort();
    if (mServer4)
        return mServer4->serverPort();
    if (mServer6)
        return mServer6->serverPort();
    return 0;
}

quint16 AsyncSocket::localPort4() const
{
    if (mServer4)
        return mServer4->serverPort();
    return mSocket && isIPv4() ? mSocket->localPort() : 0;
}

quint16 AsyncSocket::localPort6() const
{
    if (mServer6)
        return mServer6->serverPort();
    return mSocket && isIPv6() ? mSocket->localPort() : 0;
}

bool AsyncSocket::isIPv4() const
{
    if (mServer4)
        return true;
    return mSocket && mSocket->localAddress().protocol() == QAbstractSocket::IPv4Protocol;
}

bool AsyncSocket::isIPv6() const
{
    if (mServer6)
        return true;
    return mSocket && mSocket->localAddress().protocol() == QAbstractSocket::IPv6Protocol;
}

} // namespace parley
