#pragma once

// The file-relay server: joins the two ends of a relayed file transfer by the
// relay cookie that the notification server handed out (REFR). The
// downloading client announces itself with "FRIN tid peerID relayCookie"; the
// uploading client opens with its ATHC request carrying the same cookie. The
// relay passes that request to the downloader and from then on passes bytes
// both ways (RelaySplice). A cookie joins one pair once; unknown cookies and any third
// connection are cut off.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace localservice {

class FileRelayServer : public QObject {
    Q_OBJECT
public:
    // The first line of a connection may not be longer.
    static constexpr qsizetype kMaxFirstLine = 1024;

    explicit FileRelayServer(QObject *parent = nullptr);
    ~FileRelayServer() override;

    // Listens on 127.0.0.1; port 0 lets the kernel choose.
    bool listen(quint16 port, QString *error);
    quint16 port() const;
    QString host() const;

    // A new, unpredictable relay cookie, valid for one pair.
    QString issueCookie();
    // Pairs joined so far.
    int joinedPairs() const { return mJoinedPairs; }

private:
    struct Waiting {
        QPointer<QTcpSocket> downloader; // sent FRIN
        QByteArray downloaderRest;
        QPointer<QTcpSocket> uploader;   // sent ATHC
        QByteArray athcLine;
        QByteArray uploaderRest;
        QString peerID;                  // the uploader FRIN names
    };

    void acceptPending();
    void readFirstLine(QTcpSocket *socket);
    void tryJoin(const QString &cookie);

    QTcpServer *mServer;
    QSet<QString> mIssued;
    QHash<QString, Waiting> mWaiting;
    QHash<QTcpSocket *, QByteArray> mFirstLines;
    int mJoinedPairs = 0;
};

} // namespace localservice
