#include "PLDPSession.h"

#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Note/PLNote.h"
#include "PLEncrypUtil.h"
#include "Packet/PLRecvPacket.h"
#include "Utils/PLEndpoints.h"
#include "Utils/PLNetManager.h"
#include "Utils/ParleyStringAdditions.h"

#include <QPointer>
#include <QTimer>

namespace parley {

namespace {
// Ticks of silence before the first PONG, and unanswered PONGs before the
// server counts as gone.
constexpr qint32 kSilentTicksBeforePONG = 2;
constexpr qint32 kUnansweredPONGLimit = 5;
} // namespace

PLDPSession::PLDPSession(QObject *parent) : PLSession(parent) { initializeVariables(); }

PLDPSession::PLDPSession(const QString &hostAddress, int portNo, QObject *parent) : PLSession(parent)
{
    initializeVariables();
    setHostAddress(hostAddress, portNo);
    (void)PLNetManager::sharedManager().hasHost(hostAddress);
}

PLDPSession::~PLDPSession() { stopKeepalive(); }

void PLDPSession::initializeVariables()
{
    mDpState = Idle;
    mBodyType = 0;
    mPasswordEncrypted = false;
    mGroupCacheNoValue = 0;
    mConfCacheNoValue = 0;
    mPONGCountValue = 0;
    mTimerCountValue = 0;
    mIsFileTransfer = false;
    mIsHiddenRetry = false;
    mLastPacketReceivedMonotonic = std::chrono::steady_clock::now();
    mBytesReceivedMonotonic = mLastPacketReceivedMonotonic;

    const auto bind = [this](void (PLDPSession::*method)(PLRecvPacket &)) {
        return [this, method](PLRecvPacket &packet) { (this->*method)(packet); };
    };
    // Commands whose handlers are not built yet reach "default", which logs them.
    registerProcessMethod(QStringLiteral("RCON"), bind(&PLDPSession::processRCONPackets));
    registerProcessMethod(QStringLiteral("NCPT"), bind(&PLDPSession::processNCPTPackets));
    registerProcessMethod(QStringLiteral("PRVK"), bind(&PLDPSession::processPRVKPackets));
    registerProcessMethod(QStringLiteral("LSIN"), bind(&PLDPSession::processLSINPackets));
    registerProcessMethod(QStringLiteral("LIN4"), bind(&PLDPSession::processLIN4Packets));
    registerProcessMethod(QStringLiteral("CONF"), bind(&PLDPSession::processCONFPackets));
    registerProcessMethod(QStringLiteral("LOPT"), bind(&PLDPSession::processLOPTPackets));
    registerProcessMethod(QStringLiteral("GLST"), bind(&PLDPSession::processGLSTPackets));
    registerProcessMethod(QStringLiteral("LIST"), bind(&PLDPSession::processLISTPackets));
    registerProcessMethod(QStringLiteral("PONG"), bind(&PLDPSession::processPONGPackets));
    registerProcessMethod(QStringLiteral("TOKN"), bind(&PLDPSession::processTOKNPackets));
    registerProcessMethod(QStringLiteral("ERR"), bind(&PLDPSession::processERRPackets));
    registerProcessMethod(QStringLiteral("default"), bind(&PLDPSession::processDefaultPackets));
    registerThreadProcessMethod(QStringLiteral("PING"), bind(&PLDPSession::processPINGPackets));
    registerBuddyHandlers();
    registerMessageHandlers();
}

void PLDPSession::setUserID(const QString &userID, const QString &password, bool encrypted)
{
    mUserID = userID;
    setPassword(password, encrypted);
}

void PLDPSession::setPassword(const QString &password, bool encrypted)
{
    mPassword = password;
    mPasswordEncrypted = encrypted;
}

bool PLDPSession::loginWithUserID(const QString &userID, const QString &password, bool encrypted)
{
    if (mDpState != Idle)
        return false;
    setUserID(userID, password, encrypted);
    return login();
}

bool PLDPSession::login()
{
    PL_GUARD_OBJECT(!mUserID.isEmpty(), false);
    PL_GUARD_OBJECT(!mPassword.isNull(), false);
    if (mProxyMode() != HTTPTunnel && !isConnected())
        return false;
    if (!sendNCPTPacket(mUserID))
        return false;
    mDpState = KeyExchangeStarted;
    return true;
}

void PLDPSession::loginCompleted()
{
    stopKeepalive();
    mTimer = new QTimer(this);
    mTimer->setInterval(int(PLEndpoints::current().keepaliveInterval * 1000));
    QObject::connect(mTimer, &QTimer::timeout, this, &PLDPSession::receiveCheckTimer);
    mTimer->start();
}

bool PLDPSession::disconnect()
{
    stopKeepalive();
    return PLSession::disconnect();
}

bool PLDPSession::isKeepaliveRunning() const { return mTimer && mTimer->isActive(); }

void PLDPSession::stopKeepalive()
{
    if (mTimer) {
        mTimer->stop();
        mTimer->deleteLater();
        mTimer = nullptr;
    }
    mTimerCountValue = 0;
    mPONGCountValue = 0;
}

void PLDPSession::receiveCheckTimer()
{
    // Switched off, or the line is gone: the keepalive ends with the session.
    if (!mIsAvailablePONG || (mProxyMode() != HTTPTunnel && !isConnected())) {
        stopKeepalive();
        return;
    }
    ++mTimerCountValue;
    if (mTimerCountValue <= kSilentTicksBeforePONG)
        return;
    // The tunnel's poll keeps that line open; no PONG goes through it.
    if (mProxyMode() == HTTPTunnel)
        return;
    if (!sendPONG()) {
        mPONGCountValue = 0;
        return;
    }
    ++mPONGCountValue;
    if (mPONGCountValue > kUnansweredPONGLimit && !mIsFileTransfer) {
        mPONGCountValue = 0;
        if (mDelegate)
            mDelegate->dpSessionServerTimeout(this, {});
    }
}

bool PLDPSession::logout()
{
    const qint32 previous = mDpState;
    mDpState = Idle;
    mBodyType = 0;
    mUserID.clear();
    mPassword.clear();
    mGroupCacheNoValue = 0;
    mConfCacheNoValue = 0;
    mConfCacheValue.clear();
    // The keepalive ends with the session whatever follows: a PONG on a line
    // that is being given up would only report a time-out later.
    stopKeepalive();
    if (previous == Killed) {
        disconnect();
        return false;
    }
    if (!sendLOUTPacket())
        return false;
    mLoggedOut = true;
    // LOUT leaves before the line closes: through the tunnel its exchange
    // runs on while the polls stop, else the socket closes once written.
    if (mProxyMode() == HTTPTunnel)
        stopTunnelPoll();
    else
        mySocket()->disconnectAfterWriting();
    return true;
}

bool PLDPSession::canSignOut() const
{
    if (mDpState == Killed || mLoggedOut)
        return false;
    return mProxyMode() == HTTPTunnel ? !myHostAddress().isEmpty() : mySocket()->isConnected();
}

QString PLDPSession::encryptPassword(const QString &text) const
{
    return PLEncipherer::encipher(text, mEncryptKey);
}

QString PLDPSession::encryptedPassword() const
{
    if (mPasswordEncrypted)
        return mPassword;
    return md5String(mPassword + loginId());
}

QString PLDPSession::loginId() const
{
    const QString suffix = QLatin1Char('@') + PLEndpoints::current().portalDomain;
    if (mUserID.endsWith(suffix, Qt::CaseInsensitive))
        return mUserID.left(mUserID.size() - suffix.size());
    return mUserID;
}

void PLDPSession::requestLOPTData()
{
    mDpState = SignedIn;
    sendLOPTPacket();
}

bool PLDPSession::requestCONFData(qint32 cacheNo)
{
    PL_GUARD_FLAG(cacheNo >= 0, false);
    if (!sendCONFPacket(cacheNo))
        return false;
    mDpState = SignedIn;
    return true;
}

bool PLDPSession::requestGLSTData(qint32 cacheNo)
{
    PL_GUARD_FLAG(cacheNo >= 0, false);
    if (!sendGLSTPacket(cacheNo))
        return false;
    mDpState = GroupListRequested;
    return true;
}

void PLDPSession::requestBuddyList()
{
    sendLISTPacket();
    mDpState = BuddyListRequested;
}

void PLDPSession::dataReceived(const QByteArray &bytes)
{
    mBytesReceivedMonotonic = std::chrono::steady_clock::now();
    PLSession::dataReceived(bytes);
}

void PLDPSession::headerReceived(const QString &line)
{
    mLastPacketReceivedMonotonic = mBytesReceivedMonotonic;
    mTimerCountValue = 0;
    mPONGCountValue = 0;
    PLSession::headerReceived(line);
}

QDateTime PLDPSession::mLastPacketReceivedTime() const
{
    // In UTC: a local time would make the C library check the time-zone file.
    const auto since = std::chrono::steady_clock::now() - mLastPacketReceivedMonotonic;
    return QDateTime::currentDateTimeUtc().addMSecs(
        -std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void PLDPSession::announceBody(qint32 bodyType, const QVariantMap &headerInfo, qint64 length)
{
    mBodyType = bodyType;
    mHeaderInfoForBody = headerInfo;
    notifyWhenBodyReceivedWithLength(length);
}

void PLDPSession::bodyReceived(const QByteArray &body)
{
    PL_GUARD_OBJECT(!body.isNull());
    PL_LOG_EXCEPTIONS({
        switch (mBodyType) {
        case 1: processNCPTBody(body); break;
        case 2: processCONFBody(body); break;
        case 12: processLIN4Body(body); break;
        case 13: processTOKNBody(body); break;
        default:
            if (!processEventBody(mBodyType, body))
                plLog(QStringLiteral("unknown body type"));
            break;
        }
    });
}

void PLDPSession::onSocketDidConnectToHost(AsyncSocket *, const QString &, quint16)
{
    mLoggedOut = false;
    NotificationCenter::defaultCenter().post(QString::fromLatin1(notifications::kSessionConnected), this);
    // Through the relay the owner sends RCON first; its answer starts the login.
    if (!isPRSMode())
        login();
}

void PLDPSession::onSocketWillDisconnectWithError(AsyncSocket *socket, const std::optional<AsyncSocketError> &error)
{
    PLSession::onSocketWillDisconnectWithError(socket, error);
    stopKeepalive();
    // Neither a line the server ended (KILL) nor our own logout is a loss.
    if (mDpState == Killed || mLoggedOut)
        return;
    NotificationCenter::defaultCenter().post(QString::fromLatin1(notifications::kSessionClosed), this,
                                             {{QString::fromLatin1(notifications::kSessionClosedKey),
                                               QStringLiteral("DPSessionRetry")}});
}

// Thin operations for the owner.

bool PLDPSession::addGroup(const QString &groupName)
{
    PL_GUARD_OBJECT(!groupName.isNull(), false);
    return sendADDGPacket(groupName);
}

bool PLDPSession::removeGroup(const QString &groupID)
{
    PL_GUARD_OBJECT(!groupID.isNull(), false);
    return sendRMVGPacket(groupID);
}

bool PLDPSession::renameGroup(const QString &groupID, const QString &name)
{
    PL_GUARD_OBJECT(!groupID.isNull() && !name.isNull(), false);
    return sendRENGPacket({{QStringLiteral("groupID"), groupID}, {QStringLiteral("groupName"), name}});
}

bool PLDPSession::acceptAddBuddy(const QString &velaID, const QString &buddyCMN, const QString &groupID)
{
    PL_GUARD_OBJECT(!velaID.isNull() && !buddyCMN.isNull() && !groupID.isNull(), false);
    return sendADSBPacket({{QStringLiteral("event"), QStringLiteral("ACCPT")},
                           {QStringLiteral("velaID"), velaID},
                           {QStringLiteral("buddyCMN"), buddyCMN},
                           {QStringLiteral("groupID"), groupID}});
}

bool PLDPSession::requestAddBuddy(const QString &velaID, const QString &groupID, const QString &message)
{
    PL_GUARD_OBJECT(!velaID.isNull() && !groupID.isNull() && !message.isNull(), false);
    return sendADSBPacket({{QStringLiteral("event"), QStringLiteral("REQST")},
                           {QStringLiteral("velaID"), velaID},
                           {QStringLiteral("groupID"), groupID},
                           {QStringLiteral("message"), message}});
}

bool PLDPSession::rejectAddBuddy(const QString &velaID, const QString &buddyCMN)
{
    PL_GUARD_OBJECT(!velaID.isNull() && !buddyCMN.isNull(), false);
    return sendADSBPacket({{QStringLiteral("event"), QStringLiteral("REJCT")},
                           {QStringLiteral("velaID"), velaID},
                           {QStringLiteral("buddyCMN"), buddyCMN}});
}

bool PLDPSession::addBuddy(const QString &buddyID)
{
    PL_GUARD_OBJECT(!buddyID.isNull(), false);
    return sendADDBPacket({{QStringLiteral("flag"), QStringLiteral("FL")},
                           {QStringLiteral("targetCMN"), QStringLiteral("%00")},
                           {QStringLiteral("targetID"), buddyID}});
}

bool PLDPSession::blockBuddy(const QString &buddyID, const QString &buddyCMN)
{
    PL_GUARD_OBJECT(!buddyID.isNull() && !buddyCMN.isNull(), false);
    return sendADDBPacket({{QStringLiteral("flag"), QStringLiteral("BL")},
                           {QStringLiteral("targetCMN"), buddyCMN},
                           {QStringLiteral("targetID"), buddyID}});
}

bool PLDPSession::unblockBuddy(const QString &buddyID, const QString &buddyCMN)
{
    PL_GUARD_OBJECT(!buddyID.isNull() && !buddyCMN.isNull(), false);
    return sendADDBPacket({{QStringLiteral("flag"), QStringLiteral("AL")},
                           {QStringLiteral("targetCMN"), buddyCMN},
                           {QStringLiteral("targetID"), buddyID}});
}

bool PLDPSession::removeBuddy(const QString &buddyID, const QString &buddyCMN, const QString &flag)
{
    PL_GUARD_OBJECT(!buddyID.isNull() && !buddyCMN.isNull() && !flag.isNull(), false);
    return sendRMVBPacket({{QStringLiteral("flag"), flag},
                           {QStringLiteral("targetCMN"), buddyCMN},
                           {QStringLiteral("targetID"), buddyID}});
}

bool PLDPSession::moveBuddies(const QVariantList &items, const QString &localGroupCache)
{
    return sendMVBGPacket({{QStringLiteral("localGroupCache"), localGroupCache}, {QStringLiteral("bodyItems"), items}});
}

bool PLDPSession::copyBuddies(const QVariantList &items, const QString &localGroupCache)
{
    return sendCPBGPacket({{QStringLiteral("localGroupCache"), localGroupCache}, {QStringLiteral("bodyItems"), items}});
}

bool PLDPSession::removeBuddies(const QVariantList &items, const QString &localGroupCache)
{
    return sendRMBGPacket({{QStringLiteral("localGroupCache"), localGroupCache}, {QStringLiteral("bodyItems"), items}});
}

bool PLDPSession::setMyNickName(const QString &nickName)
{
    PL_GUARD_OBJECT(!nickName.isNull(), false);
    return sendCNIKPacket(nickName);
}

bool PLDPSession::setMyStatus(qint32 status) { return sendONSTPacket(status); }

bool PLDPSession::requestSSInfo() { return sendRESSPacket(); }

bool PLDPSession::sendNote(PLNote *note)
{
    PL_GUARD_OBJECT(note, false);
    return sendCMSGPacket({{QStringLiteral("confirm"), note->confirm()}, {QStringLiteral("body"), note->stringRepresentation()}});
}

bool PLDPSession::requestFRInfo(const QString &buddyID)
{
    PL_GUARD_OBJECT(!buddyID.isNull(), false);
    return sendREFRPacket(buddyID);
}

} // namespace parley
