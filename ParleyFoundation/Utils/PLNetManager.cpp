#include "PLNetManager.h"

#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLEndpoints.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

namespace parley {

PLNetManager &PLNetManager::sharedManager()
{
    static PLNetManager instance;
    return instance;
}

void PLNetManager::checkNetworkStatus()
{
    for (QTcpSocket *socket : std::as_const(mAttempts)) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    mAttempts.clear();
    mMyIPAddress.clear();
    mDPL5004Access = mPRS80Access = mPRS1863Access = false;
    // A relay chosen by an earlier run may no longer work.
    mPRSServer.clear();
    mPRSPortNo = 0;

    const PLEndpoints endpoints = PLEndpoints::current();
    startRoute(QString::fromLatin1(kDPL5004), endpoints.dispatchHost, endpoints.dispatchPort, endpoints.connectivityTimeout);
    startRoute(QString::fromLatin1(kPRS80), endpoints.relayHost, endpoints.relayPort1, endpoints.connectivityTimeout);
    startRoute(QString::fromLatin1(kPRS1863), endpoints.relayHost, endpoints.relayPort2, endpoints.connectivityTimeout);
}

void PLNetManager::startRoute(const QString &key, const QString &host, int port, double timeout)
{
    auto *socket = new QTcpSocket(this);
    mAttempts.append(socket);
    if (host.isEmpty()) {
        plLog(QStringLiteral("aHost = %1").arg(host));
        plLog(QStringLiteral("invalid host"));
        // Still one status per route, after this call has returned.
        QTimer::singleShot(0, socket, [this, socket, key] { routeFinished(socket, key, false); });
        return;
    }
    socket->setProxy(QNetworkProxy::NoProxy);
    auto *timer = new QTimer(socket);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, socket, [this, socket, key] { routeFinished(socket, key, false); });
    connect(socket, &QTcpSocket::connected, this, [this, socket, key] { routeFinished(socket, key, true); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket, key, host] {
        if (socket->error() == QAbstractSocket::HostNotFoundError) {
            plLog(QStringLiteral("aHost = %1").arg(host));
            plLog(QStringLiteral("invalid host"));
        } else {
            plLog(QStringLiteral("connect failed"));
        }
        routeFinished(socket, key, false);
    });
    timer->start(int(timeout * 1000));
    socket->connectToHost(host, quint16(port));
}

void PLNetManager::routeFinished(QTcpSocket *socket, const QString &key, bool reached)
{
    if (!mAttempts.removeOne(socket))
        return;
    if (reached) {
        if (key == QLatin1String(kDPL5004))
            mDPL5004Access = true;
        else if (key == QLatin1String(kPRS80))
            mPRS80Access = true;
        else
            mPRS1863Access = true;
        bool isIPv4 = false;
        const QHostAddress local(socket->localAddress().toIPv4Address(&isIPv4));
        if (mMyIPAddress.isEmpty() && isIPv4)
            mMyIPAddress = local.toString();
    }
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    postStatus();
}

void PLNetManager::postStatus()
{
    bool connectable = true;
    QString server;
    QString address = mMyIPAddress;
    if (mDPL5004Access) {
        server = QString::fromLatin1(kDPL5004);
        mPRSServer.clear();
        mPRSPortNo = 0;
    } else if (!mPRSServer.isEmpty()) {
        // A relay already chosen in this run still works: say so again.
        server = QString::fromLatin1(mPRSPortNo == PLEndpoints::current().relayPort1 ? kPRS80 : kPRS1863);
    } else if (mPRS80Access) {
        server = QString::fromLatin1(kPRS80);
        mPRSServer = PLEndpoints::current().relayHost;
        mPRSPortNo = PLEndpoints::current().relayPort1;
    } else if (mPRS1863Access) {
        server = QString::fromLatin1(kPRS1863);
        mPRSServer = PLEndpoints::current().relayHost;
        mPRSPortNo = PLEndpoints::current().relayPort2;
    } else {
        connectable = false;
        address = QString(QLatin1String(""));
        server = QString(QLatin1String(""));
    }
    NotificationCenter::defaultCenter().post(QString::fromLatin1(notifications::kNetworkStatus), this,
                                             {{QString::fromLatin1(notifications::kIsConnectable), connectable},
                                              {QString::fromLatin1(notifications::kDplServer), server},
                                              {QString::fromLatin1(notifications::kMyIPAddress),
                                               address.isNull() ? QString(QLatin1String("")) : address}});
}

QVariantMap PLNetManager::prsServerInfo() const
{
    if (!mPRS80Access && !mPRS1863Access)
        return {};
    PL_GUARD_FLAG(!mDPL5004Access, {});
    PL_GUARD_OBJECT(!mPRSServer.isEmpty(), {});
    return {{QStringLiteral("host"), mPRSServer}, {QStringLiteral("portNo"), mPRSPortNo}};
}

void PLNetManager::setHost(const QString &host, const QString &key)
{
    PL_GUARD_OBJECT(!host.isNull());
    PL_GUARD_OBJECT(!key.isNull());
    mHostCacheDict.insert(key, host);
}

} // namespace parley
