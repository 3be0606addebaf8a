#pragma once

// Owns the peer-to-peer and relayed file-transfer connections of one client:
// listens for buddies connecting to it, makes outgoing connections when the
// account session learns a peer's or a relay's address, remembers per P2P
// cookie which file a connection serves and on which side this client
// stands, and drives each transfer through ATHC, ACCEPT, INFO, START and END.
//
// One carrier per transfer: the first connection of a P2P cookie that
// completes carries the file; any later one (accepted or outgoing, direct or
// relayed) is closed, so two connections never write the same file.
//
// Peers are not trusted with anything this client can know itself. An
// accepted connection is answered only when its ATHC names a P2P cookie of
// this client's own records: one it offered that peer for a download still
// connecting (the connection then receives), or one that peer offered and
// this client answered while a file offered to that peer still waits (the
// connection then sends). The peer's connection requests (REQC NEW, RES, FR)
// are followed on the same records only. Refused attempts are counted per
// remote address: after kMaxRefusals in a minute, that address is refused
// outright for the rest of the minute; the log gets one line per address and
// minute.

#include "Net/AsyncSocket.h"
#include "PLP2PSessionDelegate.h"
#include "Sessions/PLP2PSessionManagerInterface.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace parley {

class PLFileTransferManager;
class PLP2PSession;
class PLTransferSessionLink;

class PLP2PSessionManager : public QObject, public AsyncSocketDelegate, public PLP2PSessionDelegate,
                            public PLP2PSessionManagerInterface
{
    Q_OBJECT

public:
    static constexpr quint16 kDefaultP2PPort = 5004;
    // Refused attempts from one address in a minute before it is refused outright.
    static constexpr int kMaxRefusals = 5;
    static constexpr qint64 kRefusalWindowMs = 60 * 1000;
    // Ports after a taken one tried before the system picks one.
    static constexpr int kNextPortsTried = 10;

    // The process's instance, listening on the port set before its first use
    // (5004 unless set).
    static PLP2PSessionManager &sharedManager();
    // With `exact`, only that port is tried and it is announced even when
    // another program holds it, as a client behind a closed firewall port
    // would announce it (the test client's way to force the relay).
    static void setDefaultListenPort(quint16 port, bool exact = false);
    // Listens on `listenPort` (0: the kernel chooses); a failure is logged and
    // the manager works without a listener.
    explicit PLP2PSessionManager(quint16 listenPort = kDefaultP2PPort, QObject *parent = nullptr);
    ~PLP2PSessionManager() override;

    void setFileTransferManager(PLFileTransferManager *files) { mFiles = files; }
    PLFileTransferManager *fileTransferManager() const { return mFiles; }
    void setSessionLink(PLTransferSessionLink *link) { mLink = link; }

    // Forgets every table (connections stay open); at sign-out.
    void reset() override;
    // {p2pCookie, myID, buddyID, portNo, ip, isSender, frCookie, fileCookie}:
    // makes and connects an outgoing session; false when refused.
    bool createConnectSession(const QVariantMap &info) override;

    void setFileCookie(const QString &fileCookie, const QString &p2pCookie) override;
    QString fileCookieForP2PCookie(const QString &p2pCookie) const;
    void setSender(bool isSender, const QString &p2pCookie) override;
    void connectOfferSent(const QString &p2pCookie, const QString &fileCookie, const QString &myID,
                          const QString &peerID) override;
    // A bool, or invalid when the cookie is unknown.
    QVariant isSender(const QString &p2pCookie) const;
    void setConnected(bool connected, const QString &p2pCookie);
    bool isConnected(const QString &p2pCookie) const;
    void setIP(const QString &ip, const QString &userID);
    QString ipForUser(const QString &userID) const;

    // The address set by the session layer; until it is known, this
    // machine's first IPv4 address that is not loopback (loopback when none).
    QString myIP() override;
    void setMyIP(const QString &ip) override { mMyIP = ip; }
    // The port advertised in connection offers: the one listened on.
    int p2pPortNo() override { return mP2PPortNo; }
    // Listens on another port from now on (0: the kernel chooses); false when
    // that failed (then nothing listens).
    bool setP2pPortNo(int port);

    PLP2PSession *sessionForKey(const QString &key) const;
    // Disconnects the session registered under the key.
    void closeSessionForKey(const QString &key);
    // Stops the session carrying the file; true when there was one.
    bool cancelFileDownloadForCookie(const QString &fileCookie);
    // Counts of the pending lists and the table (tests and the dump).
    int listenSessionCount() const { return int(mListenSessions.size()); }
    int connectSessionCount() const { return int(mConnectSessions.size()); }
    int registeredSessionCount() const { return int(mSessionDict.size()); }
    int liveSessionCount() const;

    // AsyncSocketDelegate (the listener)
    void onSocketDidAcceptNewSocket(AsyncSocket *listener, AsyncSocket *newSocket) override;

    // PLP2PSessionDelegate
    void p2pSessionConnected(PLP2PSession *session) override;
    void p2pSessionRelayAnnounced(PLP2PSession *session, const QString &frCookie) override;
    void p2pSessionP2PInfoReceived(PLP2PSession *session, const QVariantMap &info) override;
    void p2pSessionConnectCompleted(PLP2PSession *session, const QVariantMap &info) override;
    void p2pSessionFileAcceptReceived(PLP2PSession *session, const QVariantMap &info) override;
    void p2pSessionFileInfoReceived(PLP2PSession *session, const QVariantMap &info) override;
    void p2pSessionFileEndReceived(PLP2PSession *session, const QVariantMap &info) override;
    void p2pSessionFileReceiveCompleted(PLP2PSession *session, const QString &fileCookie) override;
    void p2pSessionTransferFailed(PLP2PSession *session, const QString &fileCookie) override;
    void p2pSessionRefused(PLP2PSession *session, const QString &why) override;
    void p2pSessionDisconnected(PLP2PSession *session) override;

private:
    // The side an accepted connection takes, from this client's records.
    enum class Side { None, Receiving, Sending };
    struct SentOffer
    {
        QString peerID;
        QString myID;
        QString fileCookie;
        bool followed = false; // connected out on the peer's REQC RES
    };
    struct AnsweredOffer
    {
        QString peerID;
        QString myID;
        // The file offered to the peer that this request is counted against.
        QString reservedFile;
    };
    struct Refusals
    {
        qint64 since = 0;
        int count = 0;
        qint64 loggedAt = -1;
    };

    bool listen(quint16 port);
    bool mayConnectOnRequest(const QString &subCmd, const QString &peerID, const QString &myID,
                             const QString &p2pCookie);
    Side sideForRequest(const QString &peerID, const QString &myID, const QString &p2pCookie, bool *known) const;
    bool isConnectingDownload(const SentOffer &offer) const;
    // Files offered to the peer, neither done, cancelled, refused nor carried.
    QStringList openUploadsTo(const QString &peerID) const;
    bool isBlocked(const QString &address) const;
    void noteRefusal(const QString &address, const QString &why);
    void refuseSession(PLP2PSession *session, const QString &why);
    PLP2PSession *adopt(PLP2PSession *session);
    void completeReceivingSession(PLP2PSession *session);
    // Forgets the session everywhere and deletes it (quietly).
    void dropSession(PLP2PSession *session);
    void forget(PLP2PSession *session);

    PLFileTransferManager *mFiles = nullptr;
    PLTransferSessionLink *mLink = nullptr;
    AsyncSocket mListenSocket;
    QString mMyIP;
    int mP2PPortNo = 0;
    QHash<QString, QString> mUserIPDict;
    QHash<QString, QString> mP2PCookieToFileCookieDict;
    QHash<QString, bool> mP2PCookieToIsSenderDict;
    QHash<QString, bool> mP2PCookieToIsConnected;
    QHash<QString, QPointer<PLP2PSession>> mSessionDict;
    QList<QPointer<PLP2PSession>> mListenSessions;
    QList<QPointer<PLP2PSession>> mConnectSessions;
    // The session carrying each file, by file cookie.
    QHash<QString, QPointer<PLP2PSession>> mCarriers;
    // Every session this manager made or accepted and has not dropped.
    QList<QPointer<PLP2PSession>> mAllSessions;
    // Connection offers this client sent, by P2P cookie; those it answered,
    // by "<peer>-<P2P cookie>"; relay hand-overs followed, the same way.
    QHash<QString, SentOffer> mSentOffers;
    QHash<QString, AnsweredOffer> mAnsweredOffers;
    QSet<QString> mFollowedRelays;
    QHash<QString, Refusals> mRefusals;
    QElapsedTimer mClock;
};

} // namespace parley
