#pragma once

// The base of every server connection: one AsyncSocket, transaction ids,
// command writing, framing of every incoming line and counted body, and the
// two dispatch tables that name a handler per command word. It also carries
// the connection's transport: a user proxy (HTTPS CONNECT, SOCKS4, SOCKS5),
// the HTTP tunnel that carries every command as a POST, and the relay mode.
//
// Lifetime: an owner drops a session with PLSessionPtr (or disposeLater()),
// never with a plain delete, because a handler running inside the receive
// loop may be what makes the owner drop it.

#include "HTTPInterface/PLHTTPProxySession.h"
#include "Net/AsyncSocket.h"
#include "Packet/PLFrameReader.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>

class QTimer;

namespace parley {

class PLRecvPacket;
class PLSendPacket;

class PLSession : public QObject, public AsyncSocketDelegate, public PLHTTPProxySessionDelegate
{
    Q_OBJECT

public:
    using Handler = std::function<void(PLRecvPacket &)>;
    enum ProxyMode { NoProxy = 0, HTTPTunnel = 1, Socks4 = 2, Socks5 = 3 };

    explicit PLSession(QObject *parent = nullptr);
    ~PLSession() override;

    // Closes quietly and deletes the session at the next event loop pass; a
    // receive loop that is running stops after the current handler.
    void disposeLater();
    // Lets what is already queued (a sign-out) reach the server before the
    // session goes: nothing more is read or reported, the line closes once
    // every write is done (through the tunnel: once every exchange has
    // ended), and the session deletes itself then, or after `maxWaitMs` at
    // the latest. It leaves its owner, which may go first, for the
    // application; `drained` is emitted just before it goes.
    void disposeAfterWriting(int maxWaitMs);
    bool isDraining() const { return mDraining; }
    // How many sessions of the process are draining right now (a program,
    // or a test, that ends lets them finish first).
    static int drainingCount();

Q_SIGNALS:
    void drained();

public:

    // The next transaction id; never 0xFFFFFFFF (after 0xFFFFFFFE comes 5).
    quint32 tid();
    quint32 recentTid() const { return mTid - 1; }
    quint32 mTidValue() const { return mTid; }
    void setMTid(quint32 next) { mTid = next; }
    QString recentTidKey() const { return QString::number(qint32(recentTid())); }

    void setHostAddress(const QString &host, int portNo);
    const QString &myHostAddress() const { return mMyHostAddress; }
    int myPortNo() const { return mMyPortNo; }
    AsyncSocket *mySocket() const { return mSocket; }

    // Connects to the host (or, in relay mode, to the relay) with the
    // configured time-out; false, with "ParleySessionConnectionFailed"
    // posted, when the attempt could not start.
    bool connect();
    // Closes the socket and resets the session; always true.
    bool disconnect();
    bool isConnected() const;

    // Writes the packet (or, in tunnel mode, posts it) and keeps a read
    // pending. False when nothing could be sent.
    bool sendPacket(PLSendPacket &packet);
    // The same for a complete command line (CR LF included).
    bool sendPacketString(const QString &line);
    // Writes file data with the blocking write (any thread); no read armed.
    bool sendPacketBin(PLSendPacket &packet);
    const QString &lastSentPacket() const { return mLastSentPacket; }

    void setProxyMode(int mode, const QString &serverIP, int portNo, const QString &userID, const QString &password);
    int mProxyMode() const { return mProxyModeValue; }
    const QString &mProxyServerIP() const { return mProxyServerIPValue; }
    int mProxyServerPortNo() const { return mProxyServerPortNoValue; }
    bool isHTTPProxyPacketProcess() const { return mHTTPProxyInFlight > 0; }
    // The tunnel's 4-second poll: an empty POST unless one is in flight.
    void pollHTTPProxy();
    // Ends the tunnel's polls; exchanges under way run to their end.
    void stopTunnelPoll();

    // {"host": string, "portNo": string or number}
    void setPRSModeWithInfo(const QVariantMap &info);
    bool isPRSMode() const { return mPRSMode; }
    const QString &mPRSHost() const { return mPRSHostValue; }
    int mPRSPortNo() const { return mPRSPortNoValue; }
    // In relay mode, tells the relay where to connect on ("RCON").
    bool remoteConnect();

    const QString &httpProxyTicket() const { return mHTTPProxyTicket; }
    void setHTTPProxyTicket(const QString &ticket) override { mHTTPProxyTicket = ticket; }

    // Called by a handler whose line announced a body of `length` bytes; a
    // negative length or one above the limit is a protocol error.
    void notifyWhenBodyReceivedWithLength(qint64 length);
    bool mIsBodyWait() const { return mReader.isAwaitingBody(); }
    qint32 mReceivedTid() const { return mReceivedTidValue; }
    void setMReceivedTid(qint32 tid) { mReceivedTidValue = tid; }

    // The receive path (PLSessionThreads.cpp): bytes from the socket or the
    // tunnel are framed and each line dispatched.
    void dataReceived(const QByteArray &bytes) override;
    virtual void headerReceived(const QString &line);
    virtual void bodyReceived(const QByteArray &body);
    // A body still inside the framer (valid only during the call; `block`,
    // the received bytes that hold it, keeps it longer when shared); by
    // default copied and handed to bodyReceived(). A session that stores
    // bodies anyway (file data) takes the bytes from here without the copy.
    virtual void bodyBytesReceived(QByteArrayView body, const QByteArray &block);
    // The handler for a packet's command: the quick table first (quick =
    // true), then the ordinary table, then its "default" entry.
    Handler findProcessMethod(const PLRecvPacket &packet, bool *quickResponse) const;

    // AsyncSocketDelegate: subclasses report connects and losses.
    bool onSocketWillConnect(AsyncSocket *socket) override;
    void onSocketDidReadData(AsyncSocket *socket, const QByteArray &data, long tag) override;
    // Sends the lines gathered while the last write was on its way (see
    // setGathersLines()); a subclass that overrides it and gathers calls it.
    void onSocketDidWriteDataWithTag(AsyncSocket *socket, long tag) override;
    void onSocketWillDisconnectWithError(AsyncSocket *socket, const std::optional<AsyncSocketError> &error) override;
    void onSocketDidDisconnect(AsyncSocket *socket) override;

    // PLHTTPProxySessionDelegate
    void httpProxySessionDidFinish(PLHTTPProxySession *exchange, const QString &failure) override;

protected:
    // Takes over a connected socket (one a listener accepted) in place of the
    // session's own; the session becomes its delegate and parent.
    void adoptSocket(AsyncSocket *socket);
    void registerProcessMethod(const QString &command, Handler handler);
    // Lines sent while a write is on its way gather and leave together once
    // it is done, as one write: a burst of lines (a chat) then costs a write
    // and a pass of the event loop for all of them rather than for each. A
    // line on an idle connection still leaves at once. For sessions that
    // write only lines (no file data).
    void setGathersLines(bool on) { mGathersLines = on; }
    void registerThreadProcessMethod(const QString &command, Handler handler);

private:
    bool postThroughTunnel(const QString &line);
    void writeLine(const QString &line);
    void flushGatheredLines();
    void armRead(double timeout);
    void packetProcess();
    void protocolError(const QString &why);
    void resetReceiveState();
    void unknownLineReceived();

    quint32 mTid = 1;
    QString mMyHostAddress;
    int mMyPortNo = 0;
    AsyncSocket *mSocket = nullptr;
    PLFrameReader mReader;
    qint64 mBodyLength = 0;
    qint32 mReceivedTidValue = 0;
    // Lines in a row that no handler took; the connection closes at the limit.
    static constexpr int kMaxUnknownLineRun = 1000;
    int mUnknownLineRun = 0;
    bool mInPacketProcess = false;
    bool mDisposed = false;
    bool mDraining = false;
    // While draining, the socket reports to this instead of the session.
    std::unique_ptr<AsyncSocketDelegate> mDrainDelegate;

    int mProxyModeValue = NoProxy;
    QString mProxyServerIPValue;
    int mProxyServerPortNoValue = 0;
    QString mProxyServerUserID;
    QString mProxyServerPassword;
    QTimer *mHTTPProxyTimer = nullptr;
    QString mHTTPProxyTicket = QStringLiteral("0");
    int mHTTPProxyInFlight = 0;

    bool mPRSMode = false;
    QString mPRSHostValue;
    int mPRSPortNoValue = 0;

    // Shared, so that a line holds its handler for the call without copying
    // it, even should the table change or the session go meanwhile.
    using SharedHandler = std::shared_ptr<const Handler>;
    SharedHandler sharedHandlerFor(const QString &command, bool *quickResponse) const;
    void keepSparePacket(std::unique_ptr<PLRecvPacket> packet);
    QHash<QString, SharedHandler> mProcessMethodsDict;
    QHash<QString, SharedHandler> mThreadProcessMethodsDict;
    // The last command dispatched and its handler: a sign-in brings thousands
    // of lines of one command in a row, each with the builder's one copy of
    // the word, so that a pointer comparison spares both table lookups.
    // Cleared whenever a table changes.
    struct LastDispatch {
        QString command;
        SharedHandler handler;
        bool quick = false;
    };
    LastDispatch mLastDispatch;
    // The last line's packet, handed back after its handler when its kind
    // may be reused: the next line of the same word is decoded into it.
    std::unique_ptr<PLRecvPacket> mSparePacket;
    QString mLastSentPacket;
    bool mGathersLines = false;
    QByteArray mGatheredLines;
};

// Drops a session safely (see PLSession's lifetime rule).
struct PLSessionDisposer
{
    void operator()(PLSession *session) const
    {
        if (session)
            session->disposeLater();
    }
};
using PLSessionPtr = std::unique_ptr<PLSession, PLSessionDisposer>;

} // namespace parley

Q_DECLARE_METATYPE(parley::AsyncSocketError)
