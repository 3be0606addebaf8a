#include "AsyncSocket.h"

#include "Log.h"
#include "PLSocks4Handshake.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QMutex>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QWaitCondition>
#include <algorithm>
#include <memory>

namespace parley {

namespace {

// How much a read pulls from the connection at a time, and how much the
// connection may hold for us before TCP pushes back.
constexpr qint64 kReadPull = 64 * 1024;
constexpr qint64 kReadBufferLimit = 1024 * 1024;

int toMilliseconds(double seconds)
{
    return int(std::clamp(seconds * 1000.0, 0.0, 24.0 * 3600 * 1000));
}

AsyncSocketError qtError(const QAbstractSocket *socket)
{
    return AsyncSocketError::other(QStringLiteral("QAbstractSocketErrorDomain"), int(socket->error()),
                                   socket->errorString());
}

AsyncSocketError socksError(int code, const QString &text)
{
    return AsyncSocketError::other(QStringLiteral("SOCKSErrorDomain"), code, text);
}

// Carries one writeFile() chunk's outcome from the socket's thread back to
// the waiting worker.
struct HandOff
{
    QMutex mutex;
    QWaitCondition condition;
    int state = 0; // 0 pending, 1 written, -1 failed

    void finish(bool ok)
    {
        QMutexLocker lock(&mutex);
        if (state == 0)
            state = ok ? 1 : -1;
        condition.wakeAll();
    }
    bool wait(int milliseconds)
    {
        QMutexLocker lock(&mutex);
        QDeadlineTimer deadline(milliseconds);
        while (state == 0) {
            if (!condition.wait(&mutex, deadline))
                break;
        }
        return state == 1;
    }
};

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

bool AsyncSocket::canSafelySetDelegate() const { return mReads.isIdle() && mWriteQueue.isEmpty() && !mCurrentWrite; }

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

// ---- listening ----

bool AsyncSocket::acceptOnInterface(const QString &interface, quint16 port, AsyncSocketError *error)
{
    if (!mDelegate)
        throw AsyncSocketException("Attempting to accept without a delegate. Set a delegate first.");
    if (!isDisconnected())
        throw AsyncSocketException("Attempting to accept while connected or accepting connections. Disconnect first.");
    emptyQueues();

    std::optional<QHostAddress> address4, address6;
    if (interface.isEmpty()) {
        address4 = QHostAddress(QHostAddress::AnyIPv4);
        address6 = QHostAddress(QHostAddress::AnyIPv6);
    } else if (interface == QLatin1String("localhost") || interface == QLatin1String("loopback")) {
        address4 = QHostAddress(QHostAddress::LocalHost);
        address6 = QHostAddress(QHostAddress::LocalHostIPv6);
    } else {
        QList<QHostAddress> found;
        QHostAddress literal;
        if (literal.setAddress(interface)) {
            found.append(literal);
        } else {
            const QHostInfo info = QHostInfo::fromName(interface);
            if (info.error() != QHostInfo::NoError) {
                if (error)
                    *error = AsyncSocketError::other(QStringLiteral("kCFStreamErrorDomainNetDB"), int(info.error()),
                                                     info.errorString());
                return false;
            }
            found = info.addresses();
        }
        for (const QHostAddress &a : found) {
            if (!address4 && a.protocol() == QAbstractSocket::IPv4Protocol)
                address4 = a;
            if (!address6 && a.protocol() == QAbstractSocket::IPv6Protocol)
                address6 = a;
        }
        if (!address4 && !address6)
            return false;
    }

    const auto fail = [&] {
        delete mServer4;
        delete mServer6;
        mServer4 = mServer6 = nullptr;
        if (error)
            *error = AsyncSocketError::socketError(AsyncSocketError::CFSocketError);
        return false;
    };
    const auto listenOn = [this](const QHostAddress &address, quint16 onPort) {
        auto *server = new QTcpServer(this);
        connect(server, &QTcpServer::newConnection, this, [this, server] { acceptPending(server); });
        if (!server->listen(address, onPort)) {
            plLog(QStringLiteral("AsyncSocket %1 cannot listen on %2 port %3: %4")
                      .arg(quintptr(this), 0, 16)
                      .arg(address.toString())
                      .arg(onPort)
                      .arg(server->errorString()));
            delete server;
            return static_cast<QTcpServer *>(nullptr);
        }
        return server;
    };
    quint16 port6 = port;
    if (address4) {
        mServer4 = listenOn(*address4, port);
        if (!mServer4)
            return fail();
        // Both families listen on the one port the system chose.
        port6 = mServer4->serverPort();
    }
    if (address6) {
        mServer6 = listenOn(*address6, port6);
        if (!mServer6)
            return fail();
    }
    mStarted = true;
    return true;
}

void AsyncSocket::acceptPending(QTcpServer *server)
{
    while (QTcpSocket *connection = server->nextPendingConnection()) {
        auto *child = new AsyncSocket(mDelegate);
        child->attach(connection);
        child->mStarted = true;
        QPointer<AsyncSocket> guard(child);
        QPointer<AsyncSocket> self(this);
        if (mDelegate)
            mDelegate->onSocketDidAcceptNewSocket(this, child);
        if (guard)
            QMetaObject::invokeMethod(child, &AsyncSocket::finishAccept, Qt::QueuedConnection);
        if (!self)
            return;
    }
}

void AsyncSocket::finishAccept()
{
    if (!mSocket || mOpen)
        return;
    QPointer<AsyncSocket> self(this);
    const bool go = !mDelegate || mDelegate->onSocketWillConnect(this);
    if (!self)
        return;
    if (!go) {
        close();
        return;
    }
    didOpen();
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
    const bool writesIdle = mWriteQueue.isEmpty() && !mCurrentWrite;
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

// ---- queues ----

void AsyncSocket::readDataWithTimeout(double timeout, long tag, qsizetype maxLength)
{
    if (!mNoNewIO && mReads.enqueueReadAny(timeout, tag, maxLength))
        scheduleDequeueRead();
}

void AsyncSocket::readDataToLength(qsizetype length, double timeout, long tag)
{
    if (!mNoNewIO && mReads.enqueueToLength(length, timeout, tag))
        scheduleDequeueRead();
}

void AsyncSocket::readDataToData(const QByteArray &term, double timeout, long tag, qsizetype maxLength)
{
    if (!mNoNewIO && mReads.enqueueToData(term, timeout, tag, maxLength))
        scheduleDequeueRead();
}

void AsyncSocket::writeData(const QByteArray &data, double timeout, long tag)
{
    if (data.isEmpty() || mNoNewIO)
        return;
    mWriteQueue.append(WritePacket{data, 0, tag, timeout, false, {}});
    scheduleDequeueWrite();
}

bool AsyncSocket::writeFile(const QByteArray &data, double timeout, long tag)
{
    if (data.isEmpty())
        return false;
    if (QThread::currentThread() == thread()) {
        if (mNoNewIO)
            return false;
        mWriteQueue.append(WritePacket{data, 0, tag, timeout, false, {}});
        maybeDequeueWrite();
        return true;
    }
    // Another thread: the socket is touched only on its own thread. Each chunk
    // goes over and this thread waits until it is in the connection.
    const int bound = timeout >= 0 ? toMilliseconds(timeout) + 1000 : 60 * 1000;
    for (qsizetype offset = 0; offset < data.size(); offset += kWriteChunk) {
        const QByteArray chunk = data.mid(offset, kWriteChunk);
        const bool last = offset + kWriteChunk >= data.size();
        auto handOff = std::make_shared<HandOff>();
        const bool posted = QMetaObject::invokeMethod(
            this,
            [this, chunk, timeout, tag, last, handOff] {
                if (mNoNewIO || !isOpen()) {
                    handOff->finish(false);
                    return;
                }
                mWriteQueue.append(WritePacket{chunk, 0, tag, timeout, !last,
                                               [handOff](bool ok) { handOff->finish(ok); }});
                maybeDequeueWrite();
            },
            Qt::QueuedConnection);
        if (!posted || !handOff->wait(bound))
            return false;
    }
    return true;
}

void AsyncSocket::scheduleDequeueRead()
{
    if (mReadDequeuePending)
        return;
    mReadDequeuePending = true;
    QMetaObject::invokeMethod(this, &AsyncSocket::maybeDequeueRead, Qt::QueuedConnection);
}

void AsyncSocket::scheduleDequeueWrite()
{
    if (mWriteDequeuePending)
        return;
    mWriteDequeuePending = true;
    QMetaObject::invokeMethod(this, &AsyncSocket::maybeDequeueWrite, Qt::QueuedConnection);
}

void AsyncSocket::maybeDequeueRead()
{
    mReadDequeuePending = false;
    if (mReads.hasCurrent() || !isOpen())
        return;
    if (mReads.startNext()) {
        const double timeout = mReads.current()->timeout;
        if (timeout >= 0)
            mReadTimer.start(toMilliseconds(timeout));
        processRead();
    } else if (mDisconnectAfterReads) {
        maybeScheduleDisconnect();
    }
}

void AsyncSocket::maybeDequeueWrite()
{
    mWriteDequeuePending = false;
    if (mCurrentWrite || !isOpen())
        return;
    if (!mWriteQueue.isEmpty()) {
        mCurrentWrite = mWriteQueue.takeFirst();
        if (mCurrentWrite->timeout >= 0)
            mWriteTimer.start(toMilliseconds(mCurrentWrite->timeout));
        sendChunk();
    } else if (mDisconnectAfterWrites) {
        maybeScheduleDisconnect();
    }
}

void AsyncSocket::processRead()
{
    if (!mReads.hasCurrent() || !isOpen())
        return;
    QPointer<AsyncSocket> self(this);
    qsizetype passTotal = 0;
    long tag = mReads.current()->tag;
    for (;;) {
        if (mReads.preBuffer().isEmpty()) {
            const QByteArray more = mSocket->read(kReadPull);
            if (more.isEmpty())
                break;
            mReads.append(more);
        }
        const AsyncReadQueue::Step step = mReads.serve();
        if (step.kind == AsyncReadQueue::Step::Partial) {
            passTotal += step.count;
            continue;
        }
        if (step.kind == AsyncReadQueue::Step::MaxedOut) {
            closeWithError(AsyncSocketError::socketError(AsyncSocketError::ReadMaxedOutError));
            return;
        }
        if (step.kind == AsyncReadQueue::Step::Completed) {
            mReadTimer.stop();
            mLastBytesDone = step.data.size();
            if (mDelegate)
                mDelegate->onSocketDidReadData(this, step.data, step.tag);
            if (self && isOpen())
                scheduleDequeueRead();
            return;
        }
        break;
    }
    if (passTotal > 0 && mDelegate)
        mDelegate->onSocketDidReadPartialDataOfLength(this, passTotal, tag);
}

void AsyncSocket::sendChunk()
{
    if (!mCurrentWrite || !isOpen() || mChunkInFlight > 0)
        return;
    const qsizetype length = std::min(kWriteChunk, mCurrentWrite->buffer.size() - mCurrentWrite->bytesDone);
    const qint64 written = mSocket->write(mCurrentWrite->buffer.constData() + mCurrentWrite->bytesDone, length);
    if (written < 0) {
        closeWithError(qtError(mSocket));
        return;
    }
    mChunkInFlight = written;
}

void AsyncSocket::onBytesWritten()
{
    // A chunk counts as written once the connection has taken all of it.
    if (!mCurrentWrite || !mSocket || mChunkInFlight == 0 || mSocket->bytesToWrite() > 0)
        return;
    const qsizetype chunk = mChunkInFlight;
    mCurrentWrite->bytesDone += chunk;
    mChunkInFlight = 0;
    if (mCurrentWrite->bytesDone >= mCurrentWrite->buffer.size()) {
        finishWrite();
        return;
    }
    QPointer<AsyncSocket> self(this);
    if (mDelegate && !mCurrentWrite->silent)
        mDelegate->onSocketDidWritePartialDataOfLength(this, chunk, mCurrentWrite->tag);
    if (self)
        sendChunk();
}

void AsyncSocket::finishWrite()
{
    mWriteTimer.stop();
    WritePacket packet = std::move(*mCurrentWrite);
    mCurrentWrite.reset();
    QPointer<AsyncSocket> self(this);
    if (packet.finished)
        packet.finished(true);
    if (mDelegate && !packet.silent)
        mDelegate->onSocketDidWriteDataWithTag(this, packet.tag);
    if (self && isOpen())
        scheduleDequeueWrite();
}

void AsyncSocket::doReadTimeout()
{
    if (!mReads.hasCurrent())
        return;
    // A read that follows one which delivered data gets one grace period:
    // the first expiry only clears the mark and the read waits on.
    if (mLastBytesDone > 0) {
        mLastBytesDone = 0;
        return;
    }
    AsyncReadPacket *read = mReads.current();
    QPointer<AsyncSocket> self(this);
    const double extend = mDelegate ? mDelegate->onSocketShouldTimeoutReadWithTag(this, read->tag, read->timeout,
                                                                                   read->bytesDone())
                                    : 0;
    if (!self || !mReads.hasCurrent())
        return;
    if (extend > 0) {
        mReads.current()->timeout += extend;
        mReadTimer.start(toMilliseconds(extend));
        return;
    }
    mLastBytesDone = 0;
    closeWithError(AsyncSocketError::socketError(AsyncSocketError::ReadTimeoutError));
}

void AsyncSocket::doWriteTimeout()
{
    if (!mCurrentWrite)
        return;
    QPointer<AsyncSocket> self(this);
    const double extend = mDelegate ? mDelegate->onSocketShouldTimeoutWriteWithTag(
                                          this, mCurrentWrite->tag, mCurrentWrite->timeout, mCurrentWrite->bytesDone)
                                    : 0;
    if (!self || !mCurrentWrite)
        return;
    if (extend > 0) {
        mCurrentWrite->timeout += extend;
        mWriteTimer.start(toMilliseconds(extend));
        return;
    }
    closeWithError(AsyncSocketError::socketError(AsyncSocketError::WriteTimeoutError));
}

void AsyncSocket::emptyQueues()
{
    if (mReads.hasCurrent())
        mLastBytesDone = mReads.current()->bytesDone();
    mReads.emptyQueue();
    mReadTimer.stop();
    mWriteTimer.stop();
    QList<WritePacket> dropped = std::move(mWriteQueue);
    mWriteQueue.clear();
    if (mCurrentWrite)
        dropped.prepend(std::move(*mCurrentWrite));
    mCurrentWrite.reset();
    mChunkInFlight = 0;
    mReadDequeuePending = mWriteDequeuePending = false;
    for (WritePacket &packet : dropped) {
        if (packet.finished)
            packet.finished(false);
    }
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
