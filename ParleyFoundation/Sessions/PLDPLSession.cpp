#include "PLDPLSession.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLManagerRegistry.h"
#include "Packet/PLRecvPacket.h"
#include "Packet/PLRecvPacketBuilder.h"
#include "Packet/PLRecvREQSPacket.h"
#include "Packet/PLSendAUTHPacket.h"
#include "Packet/PLSendPVERPacket.h"
#include "Packet/PLSendREQSPacket.h"
#include "Utils/PLEndpoints.h"
#include "Utils/PLNetManager.h"

#include <QPointer>

namespace parley {

PLDPLSession::PLDPLSession(QObject *parent) : PLSession(parent)
{
    const PLEndpoints endpoints = PLEndpoints::current();
    setHostAddress(endpoints.dispatchHost, endpoints.dispatchPort);
}

bool PLDPLSession::sendRequestForDPServerInfo()
{
    PLSendPVERPacket packet{qint32(tid())};
    packet.setClientVersion(mClientVersion);
    packet.setProtocolVersion(mProtocolVersion);
    packet.setLangOS(mLangOS);
    sendPacket(packet);
    return true;
}

void PLDPLSession::onSocketDidConnectToHost(AsyncSocket *, const QString &, quint16)
{
    const QString myIP = PLNetManager::sharedManager().myIPAddress();
    PLMyInfoManager::sharedManager().setIPAddress(myIP);
    PLManagerRegistry::p2pSessionManager().setMyIP(myIP);
    // In relay mode the owner sends RCON; the relay's answer leads to PVER.
    if (PLNetManager::sharedManager().isPRSMode() || isPRSMode())
        return;
    sendRequestForDPServerInfo();
}

void PLDPLSession::headerReceived(const QString &line)
{
    PL_GUARD_OBJECT(!line.isNull());
    std::unique_ptr<PLRecvPacket> packet = PLRecvPacketBuilder::setPacketString(line);
    if (!packet || !packet->isValid())
        return;
    const QString &command = packet->command();
    if (command == QLatin1String("PVER")) {
        PLSendAUTHPacket auth{qint32(tid())};
        auth.setAuthType(mAuthType);
        sendPacket(auth);
    } else if (command == QLatin1String("AUTH")) {
        PLSendREQSPacket reqs{qint32(tid())};
        reqs.setAuthType(mAuthType);
        reqs.setUserID(mUserID);
        sendPacket(reqs);
    } else if (command == QLatin1String("REQS")) {
        const auto *replyPacket = dynamic_cast<const PLRecvREQSPacket *>(packet.get());
        PL_GUARD_OBJECT(replyPacket);
        const PLRecvREQSPacket &reply = *replyPacket;
        PLMyInfoManager &myInfo = PLMyInfoManager::sharedManager();
        myInfo.setDpName(reply.serverName());
        myInfo.setDpIP(reply.serverIP());
        myInfo.setDpPort(reply.serverPort());
        mDPServerInfo = {{QStringLiteral("tid"), QString::number(reply.tID())},
                         {QStringLiteral("servername"), reply.serverName()},
                         {QStringLiteral("ip"), reply.serverIP()},
                         {QStringLiteral("port"), QString::number(reply.serverPort())}};
        if (mDelegate)
            mDelegate->dplSessionDpServerInfoReceived(this, mDPServerInfo);
    } else if (command == QLatin1String("RCON")) {
        if (mDelegate)
            mDelegate->dplSessionRemoteConnected(this, {});
    }
}

void PLDPLSession::bodyReceived(const QByteArray &)
{
    plLog(QStringLiteral("Unknown Packet!!"));
}

void PLDPLSession::onSocketWillDisconnectWithError(AsyncSocket *socket, const std::optional<AsyncSocketError> &error)
{
    PLSession::onSocketWillDisconnectWithError(socket, error);
    NotificationCenter::defaultCenter().post(QString::fromLatin1(notifications::kSessionClosed), this,
                                             {{QString::fromLatin1(notifications::kSessionClosedKey),
                                               QStringLiteral("DPLSessionRetry")}});
}

} // namespace parley
