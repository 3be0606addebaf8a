#pragma once

// Decides how the client reaches the service: directly (the login-dispatch
// server) or through the relay on one of its two ports. A test tries the
// three routes at once, each with a time-out; after each route has answered
// or failed the choice is made again and "ParleyNetworkStatus" is posted.

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QTcpSocket;

namespace parley {

class PLNetManager : public QObject
{
    Q_OBJECT

public:
    // The test keys, also the "dplServer" values.
    static constexpr char kDPL5004[] = "DPL5004";
    static constexpr char kPRS80[] = "PRS80";
    static constexpr char kPRS1863[] = "PRS1863";

    static PLNetManager &sharedManager();
    PLNetManager(const PLNetManager &) = delete;
    PLNetManager &operator=(const PLNetManager &) = delete;

    // Starts a test run with the hosts and ports of the endpoints
    // configuration; a run still going is abandoned.
    void checkNetworkStatus();

    bool isDPLMode() const { return mDPL5004Access; }
    bool isPRSMode() const { return !mDPL5004Access && (mPRS80Access || mPRS1863Access); }
    // {"host", "portNo"} of the chosen relay, or an empty map.
    QVariantMap prsServerInfo() const;

    const QString &prsServerAddress() const { return mPRSServer; }
    int prsPortNo() const { return mPRSPortNo; }
    const QString &myIPAddress() const { return mMyIPAddress; }
    bool dpl5004Access() const { return mDPL5004Access; }
    bool prs80Access() const { return mPRS80Access; }
    bool prs1863Access() const { return mPRS1863Access; }

    QString hasHost(const QString &key) const { return mHostCacheDict.value(key); }
    void setHost(const QString &host, const QString &key);

private:
    PLNetManager() = default;
    void startRoute(const QString &key, const QString &host, int port, double timeout);
    void routeFinished(QTcpSocket *socket, const QString &key, bool reached);
    void postStatus();

    QString mMyIPAddress;
    bool mDPL5004Access = false;
    bool mPRS80Access = false;
    bool mPRS1863Access = false;
    QString mPRSServer;
    int mPRSPortNo = 0;
    QHash<QString, QString> mHostCacheDict;
    QList<QTcpSocket *> mAttempts;
};

} // namespace parley
