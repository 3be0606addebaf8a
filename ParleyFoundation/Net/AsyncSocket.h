#pragma once

// The client's asynchronous TCP endpoint for its server sessions and peer
// connections: connecting (directly or through a proxy), listening on IPv4 and
// IPv6, and queued reads and writes with time-outs and tags. Everything runs
// on the thread the socket lives on and nothing blocks; results reach the
// delegate on that thread. Only writeFile() may be called from another thread.

#include "AsyncReadQueue.h"
#include "AsyncSocketDelegate.h"
#include "AsyncSocketError.h"
#include "AsyncWriteQueue.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class QHostInfo;
class QTcpServer;
class QTcpSocket;

namespace parley {

// The user's proxy for the next connect.
struct AsyncSocketProxy
{
    enum class Type { None, HttpsConnect, Socks4, Socks5 };
    Type type = Type::None;
    QString host;
    quint16 port = 0;
    QString user;     // SOCKS5 user, SOCKS4 user ID
    QString password; // SOCKS5
};

class AsyncSocket : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype kWriteChunk = AsyncWriteQueue::kChunk;

    explicit AsyncSocket(AsyncSocketDelegate *delegate = nullptr, long userData = 0, QObject *parent = nullptr);
    // Closes without calling the delegate (its owner may be going away too).
    ~AsyncSocket() override;

    AsyncSocketDelegate *delegate() const { return mDelegate; }
    void setDelegate(AsyncSocketDelegate *delegate) { mDelegate = delegate; }
    // True when no request is queued or being served.
    bool canSafelySetDelegate() const;
    long userData() const { return mUserData; }
    void setUserData(long userData) { mUserData = userData; }

    // Starts connecting to a host name or address; `timeout` in seconds,
    // negative for none. Answers false (with `error`) when the attempt could
    // not start; the outcome otherwise reaches the delegate. Throws
    // AsyncSocketException without a delegate or when not disconnected.
    bool connectToHost(const QString &host, quint16 port, double timeout = -1, AsyncSocketError *error = nullptr);
    // Applies to the next connect; the place to call it is onSocketWillConnect().
    void setProxy(const AsyncSocketProxy &proxy) { mProxy = proxy; }
    const AsyncSocketProxy &proxy() const { return mProxy; }

    // Listens on an interface (empty: every interface; "localhost" or
    // "loopback": the loopback addresses; else an address or name) on IPv4 and
    // IPv6 at once; port 0 lets the system choose one port for both.
    bool acceptOnPort(quint16 port, AsyncSocketError *error = nullptr) { return acceptOnInterface({}, port, error); }
    bool acceptOnInterface(const QString &interface, quint16 port, AsyncSocketError *error = nullptr);

    // Closes at once.
    void disconnect() { close(); }
    // Refuse new requests and close once the named queues have run empty.
    void disconnectAfterReading();
    void disconnectAfterWriting();
    void disconnectAfterReadingAndWriting();
    // Closes as a failure: the delegate hears onSocketWillDisconnectWithError()
    // first. No error means an orderly end of stream.
    void closeWithError(const std::optional<AsyncSocketError> &error);

    // Reads. A request that fails its checks is ignored, as is every request
    // after one of the disconnect-after calls.
    void readDataWithTimeout(double timeout, long tag, qsizetype maxLength = 0);
    void readDataToLength(qsizetype length, double timeout, long tag);
    void readDataToData(const QByteArray &term, double timeout, long tag, qsizetype maxLength = 0);
    // Writes. Empty data is ignored.
    void writeData(const QByteArray &data, double timeout, long tag);
    // The blocking write for a worker thread: hands the data to the socket's
    // thread chunk by chunk and returns once every chunk is in the connection
    // (true), or when the socket closed or a chunk was not taken in time
    // (false). On the socket's own thread it queues the data and starts
    // sending at once.
    bool writeFile(const QByteArray &data, double timeout, long tag);

    // A read is queued or being served.
    bool hasPendingRead() const { return !mReads.isIdle(); }
    bool hasPendingWrite() const { return !mWrites.isIdle(); }
    qsizetype pendingReadCount() const { return mReads.queuedCount() + (mReads.hasCurrent() ? 1 : 0); }
    // Everything received and not delivered; only inside
    // onSocketWillDisconnectWithError(), null otherwise.
    QByteArray unreadData() const;

    bool isConnected() const;
    bool isDisconnected() const;
    QString connectedHost() const;
    quint16 connectedPort() const;
    QString localHost() const;
    quint16 localPort() const;
    quint16 localPort4() const;
    quint16 localPort6() const;
    bool isIPv4() const;
    bool isIPv6() const;

    // The byte count of the read most recently ended on this socket.
    qsizetype lastBytesDone() const { return mLastBytesDone; }

    static const QByteArray &CRLFData();
    static const QByteArray &CRData();
    static const QByteArray &LFData();
    static const QByteArray &ZeroData();

private:
    enum class Handshake { None, Socks4Resolving, Socks4Reply };

    void attach(QTcpSocket *socket);
    void onConnected();
    void onReadyRead();
    void onBytesWritten();
    void onSocketError();
    void didOpen();
    void startSocks4(quint32 ipv4);
    void onSocks4Lookup(const QHostInfo &info);
    void readSocks4Reply();
    void acceptPending(QTcpServer *server);
    void finishAccept();

    void scheduleDequeueRead();
    void scheduleDequeueWrite();
    void maybeDequeueRead();
    void maybeDequeueWrite();
    void maybeScheduleDisconnect();
    void processRead();
    // The next bytes the connection holds, in a block of mReadBlocks when
    // one is free; empty when there are none.
    QByteArray readBlock();
    void sendChunk();
    void finishWrite();
    void doReadTimeout();
    void doWriteTimeout();
    void emptyQueues();
    void close();
    bool isOpen() const { return mSocket && mOpen; }

    AsyncSocketDelegate *mDelegate = nullptr;
    long mUserData = 0;
    AsyncSocketProxy mProxy;
    QTcpSocket *mSocket = nullptr;
    QTcpServer *mServer4 = nullptr;
    QTcpServer *mServer6 = nullptr;
    Handshake mHandshake = Handshake::None;
    QString mTargetHost;
    quint16 mTargetPort = 0;
    int mLookupID = -1;

    bool mStarted = false;
    bool mOpen = false;
    bool mNoNewIO = false;
    bool mDisconnectAfterReads = false;
    bool mDisconnectAfterWrites = false;
    bool mDisconnectPending = false;
    bool mClosingWithError = false;
    bool mReadDequeuePending = false;
    bool mWriteDequeuePending = false;
    // Inside finishWrite's callbacks, which dequeue the next write themselves.
    bool mInWriteCallback = false;

    AsyncReadQueue mReads;
    QTimer mReadTimer;
    qsizetype mLastBytesDone = 0;
    QByteArray mUnread;
    QByteArray mReadBlocks[3];
    int mSmallReadRun = 0;

    AsyncWriteQueue mWrites;
    qsizetype mChunkInFlight = 0;
    QTimer mWriteTimer;
    QTimer mConnectTimer;
};

} // namespace parley
