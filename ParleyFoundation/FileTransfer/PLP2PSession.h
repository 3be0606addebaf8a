#pragma once

// One TCP connection that moves one file between two clients, straight to the
// peer's listening port or through a file-relay server. It speaks ATHC (who is
// connecting, for which transfer), FRIN (the announcement to a relay) and FILE
// (ACCEPT, INFO, START, DATA, END, ENDRES).
//
// The uploading side sends DATA chunks of at most 8191 bytes, numbered from 1
// in the tid field. Reading and writing are event-driven on the socket's
// thread: the next kChunksAhead chunks are read, straight behind their DATA
// lines, into one buffer that goes to the socket when the connection has
// taken the ones before, so no thread shares the transfer's state and at most
// that many chunks wait in memory. The socket's write time-out watches a
// peer that stops taking this side's DATA; a read time-out (the endpoints'
// p2p.timeout) watches every wait for the peer to speak, so a stalled peer
// fails the transfer instead of holding it open.
//
// Until the ATHC exchange is done nothing but ATHC is taken; a second ATHC
// closes the connection.

#include "Sessions/PLSession.h"

#include <QList>
#include <QTimer>
#include <QString>
#include <QVariantMap>

namespace parley {

class PLFileTransferManager;
class PLP2PSessionDelegate;
class PLRecvFILEPacket;
struct FileTransferInfo;

class PLP2PSession : public PLSession
{
    Q_OBJECT

public:
    static constexpr qint64 kChunkSize = 8191;
    // Peers send at most kChunkSize; anything above this is refused.
    static constexpr qint64 kMaxDataLength = 64 * 1024;
    // The port written into ATHC lines (the protocol's fixed value).
    static constexpr int kATHCPort = 6004;
    static constexpr double kDataWriteTimeout = 10;
    // DATA chunks handed to the socket and not yet written, at most (about
    // 256 KiB); they go as one write, one pass of the event loop for all.
    static constexpr int kChunksAhead = 32;

    // An outgoing session to a peer or relay.
    PLP2PSession(const QString &host, int portNo, QObject *parent = nullptr);
    // A session around a connection the listener accepted (listen mode).
    explicit PLP2PSession(AsyncSocket *accepted, QObject *parent = nullptr);
    ~PLP2PSession() override;

    void setDelegate(PLP2PSessionDelegate *delegate) { mDelegate = delegate; }
    PLP2PSessionDelegate *delegate() const { return mDelegate; }
    void setFileTransferManager(PLFileTransferManager *files) { mFiles = files; }

    // Connects (outgoing sessions); listen mode off.
    bool connect();

    bool isListenMode() const { return mIsListenMode; }
    void setIsListenMode(bool on) { mIsListenMode = on; }
    bool isSender() const { return mIsSender; }
    void setIsSender(bool on) { mIsSender = on; }
    bool isAbort() const { return mIsAbort; }
    // The ATHC exchange is done: the peer and the cookie are settled.
    bool isAuthenticated() const { return mAuthenticated; }
    // The peer's address, for the logs.
    QString remoteAddress() const;
    // Seconds without a byte from the peer, while it is to speak, before the
    // transfer fails (from the endpoints at creation).
    void setReadTimeout(double seconds);
    const QString &fromID() const { return mFromID; }
    void setFromID(const QString &id) { mFromID = id; }
    const QString &targetID() const { return mTargetID; }
    void setTargetID(const QString &id) { mTargetID = id; }
    const QString &cookie() const { return mCookie; }
    void setCookie(const QString &cookie) { mCookie = cookie; }
    const QString &frCookie() const { return mFRCookie; }
    void setFRCookie(const QString &cookie) { mFRCookie = cookie; }
    const QString &fileCookie() const { return mFileCookie; }
    void setFileCookie(const QString &cookie) { mFileCookie = cookie; }
    // "<targetID>-<cookie>"
    QString sessionKey() const;

    bool sendATHCInfoWithPortNo(int port);
    bool sendFRIN();
    // Answers an ATHC request ("100") and reports the completion.
    bool sendATHCOk(const QVariantMap &info);
    bool sendAcceptFileTransfer();
    bool sendFileInfo(const QVariantMap &info);
    bool sendFileStartWithPosition(qint64 position);
    bool sendFileEnd();
    bool sendFileEndres();
    // Starts sending the file of fileCookie from its beginning.
    bool sendFile();
    // Stops the transfer after the chunks in hand (one write).
    void cancelFileTransfer() { mIsAbort = true; }

    // AsyncSocketDelegate
    void onSocketDidConnectToHost(AsyncSocket *socket, const QString &host, quint16 port) override;
    void onSocketDidWriteDataWithTag(AsyncSocket *socket, long tag) override;
    void onSocketDidDisconnect(AsyncSocket *socket) override;
    void onSocketDidReadData(AsyncSocket *socket, const QByteArray &data, long tag) override;

    void bodyReceived(const QByteArray &body) override;
    void bodyBytesReceived(QByteArrayView body, const QByteArray &block) override;

private:
    static constexpr long kDataTag = 0x46494C45; // "FILE"

    void initializeVariables();
    void processATHCPackets(PLRecvPacket &packet);
    void processFILEPackets(PLRecvPacket &packet);
    void processFRINPackets(PLRecvPacket &packet);
    void processDefaultPackets(PLRecvPacket &packet);
    void processFileData(const QString &lengthField);
    void processFileEnd(const PLRecvFILEPacket &packet);
    void receiveBody(QByteArrayView body, const QByteArray &block = QByteArray());
    void sendNextChunk();
    void uploadFailed();
    void closeSource();
    void failTransfer(const QString &why);
    void readTimedOut();
    void refuse(const QString &why);
    FileTransferInfo *fileInfo() const;

    PLP2PSessionDelegate *mDelegate = nullptr;
    PLFileTransferManager *mFiles = nullptr;
    bool mIsListenMode = false;
    bool mIsSender = true;
    QString mFromID;
    QString mTargetID;
    QString mCookie;
    QString mFRCookie;
    QString mFileCookie;
    bool mIsAbort = false;
    bool mAuthenticated = false;
    // This side sent the ATHC request, so only a reply may come.
    bool mRequestSent = false;
    QTimer *mReadTimer = nullptr;

    // Upload state: chunk number of the next DATA, the sizes of the chunks
    // handed to the socket and not yet written (one write), whether the last
    // is among them.
    qint32 mChunkNumber = 1;
    // Where in the file the next chunk is read.
    qint64 mReadPosition = 0;
    QList<qint64> mChunksInFlight;
    bool mAllRead = false;
    bool mSending = false;
    // Every chunk is written; the peer's END has not come yet.
    bool mAwaitingEnd = false;
    bool mDownloadEnded = false;
};

} // namespace parley
