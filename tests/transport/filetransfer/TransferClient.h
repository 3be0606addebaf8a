#pragma once

// One client's file-transfer side for the tests: its own cookie, peer-to-peer
// and file-transfer managers, listening on a kernel-chosen port, with its own
// download folder and setting. TransferLink plays the account session and the
// chat rooms between two such clients, the way the servers would pass their
// messages on: offers and answers, connection offers (REQC NEW and RES), the
// relay assignment (REFR) and hand-over (REQC FR).

#include "FileTransfer/PLCookieManager.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "FileTransfer/PLP2PSessionManager.h"
#include "FileTransfer/PLSettingFileSaveQuestion.h"
#include "FileTransfer/PLTransferChatLink.h"
#include "FileTransfer/PLTransferSessionLink.h"
#include "NotificationCenter.h"
#include "UserDefaults.h"

#include <QHash>
#include <QObject>
#include <functional>
#include <QList>
#include <QPair>
#include <QTemporaryDir>
#include <memory>

namespace localservice {
class FileRelayServer;
}

namespace parley::test {

class TransferClient;

class TransferLink : public PLTransferSessionLink, public PLTransferChatLink
{
public:
    TransferLink(TransferClient &self, TransferClient &peer, localservice::FileRelayServer *relay)
        : mSelf(self), mPeer(peer), mRelay(relay)
    {
    }

    bool requestTransferFiles(const QVariantList &files, const QString &sessionKey, const QString &userID) override;
    bool acceptTransferFiles(const QVariantList &files, const QString &sessionKey, const QString &userID) override;
    bool rejectTransferFile(const QVariantMap &file, const QString &sessionKey, const QString &userID) override;
    bool cancelUploadFile(const QVariantMap &file, const QString &sessionKey, const QString &userID) override;

    bool requestP2PConnectToUser(const QString &userID, const QString &dpKey, const QString &fileCookie) override;
    void requestFRInfo(const QString &userID, const QString &fileCookie) override;
    void requestFRConnectForFRCookie(const QString &frCookie) override;

    int connectRequests = 0;
    int relayRequests = 0;
    int accepts = 0;

private:
    // What the servers would do later: at the next pass of the event loop,
    // unless this link is gone by then. Work for a client on another thread
    // (a benchmark runs each client on its own) goes to that client's loop.
    void later(std::function<void()> fn);
    void laterOn(TransferClient *target, std::function<void()> fn);
    // The relay's answers, asked on the relay's own thread when it has one.
    QString issueRelayCookie();
    int relayPort();

    QObject mContext;
    TransferClient &mSelf;
    TransferClient &mPeer;
    localservice::FileRelayServer *mRelay;
    QHash<QString, QString> mRelayP2PCookies; // relay cookie -> P2P cookie
};

class TransferClient
{
public:
    explicit TransferClient(const QString &userID);
    ~TransferClient();

    void linkTo(TransferClient &peer, localservice::FileRelayServer *relay);
    // Offers connections on a port that refuses them, so that no direct
    // connection comes up and the relay must carry the file.
    void advertiseRefusedPort();
    int advertisedPort() const;
    // "overwrite", "refuse" or empty (a numbered new name).
    void setExistingFileAnswer(const QString &answer);

    QString userID;
    // Lives on the thread that made the client: work for it is run there.
    QObject context;
    QTemporaryDir folder;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<PLSettingFileSaveQuestion> question;
    PLCookieManager cookies;
    std::unique_ptr<PLP2PSessionManager> p2p;
    std::unique_ptr<PLFileTransferManager> files;
    std::unique_ptr<TransferLink> link;
    int refusedPort = 0;
};

// Records the notifications of file transfers: (name, fileCookie), in order.
class TransferEvents
{
public:
    TransferEvents();
    ~TransferEvents();
    int count(const char *name, const QString &fileCookie = QString()) const;
    bool has(const char *name, const QString &fileCookie = QString()) const { return count(name, fileCookie) > 0; }
    QList<QPair<QString, QString>> events;
    QList<QVariantMap> userInfos;

private:
    QList<NotificationCenter::Token> mTokens;
};

// A port on 127.0.0.1 that nothing listens on (a connect is refused at once).
int refusedLoopbackPort();
QByteArray sha256OfFile(const QString &path);
// Writes `size` bytes of a fixed pseudo-random pattern.
QString makeFile(const QString &folder, const QString &name, qint64 size);
// The names in a folder (hidden ones included).
QStringList folderEntries(const QString &folder);

} // namespace parley::test
