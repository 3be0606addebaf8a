#include "PLSSSession.h"

#include "Log.h"
#include "PLChatCrypto.h"
#include "Packet/PLSendCRPTPacket.h"
#include "Packet/PLSendESSKPacket.h"
#include "Packet/PLSendNCPTPacket.h"
#include "Packet/PLSendPRVKPacket.h"

#include <QPointer>

namespace parley {

PLSSSession::PLSSSession(const QString &hostAddress, int portNo, QObject *parent) : PLSession(parent)
{
    // A room sends a line per message and never file data.
    setGathersLines(true);
    setHostAddress(hostAddress, portNo);
    registerHandlers();
}

PLSSSession::~PLSSSession()
{
    if (mCrypto && !mEncryptKey.isNull())
        mCrypto->clearSessionDicForSSK(mEncryptKey);
}

void PLSSSession::setEncryptKey(const QString &encryptKey)
{
    PL_GUARD_OBJECT(!encryptKey.isNull());
    if (mCrypto && !mEncryptKey.isNull() && mEncryptKey != encryptKey)
        mCrypto->clearSessionDicForSSK(mEncryptKey);
    mEncryptKey = encryptKey;
}

QList<PLSSSession::QueuedMessage> PLSSSession::takeMessageQueue()
{
    QList<QueuedMessage> taken;
    taken.swap(mMessageQueue);
    return taken;
}

bool PLSSSession::enter()
{
    return mIsEncrypted ? sendNCPTPacket() : sendENTRPacket();
}

void PLSSSession::setActive(bool active, const QVariantMap &option)
{
    mIsActivated = active;
    if (active && mDelegate)
        mDelegate->ssSessionActivated(this, option);
}

bool PLSSSession::disconnect()
{
    QPointer<PLSSSession> self(this);
    if (mDelegate)
        mDelegate->ssSessionWillDisconnect(this);
    if (!self)
        return false;
    const bool result = PLSession::disconnect();
    if (mDelegate)
        mDelegate->ssSessionDidDisconnect(this);
    if (!self)
        return result;
    setActive(false, {});
    return result;
}

void PLSSSession::goDSEL()
{
    if (mDelegate)
        mDelegate->ssSessionWillCloseReceived(this);
}

bool PLSSSession::sendPacket(PLSendPacket &packet)
{
    if (!mIsEncrypted)
        return PLSession::sendPacket(packet);
    const bool keyExchange = dynamic_cast<PLSendESSKPacket *>(&packet) || dynamic_cast<PLSendNCPTPacket *>(&packet)
        || dynamic_cast<PLSendPRVKPacket *>(&packet);
    if (keyExchange)
        return PLSession::sendPacket(packet);

    // Nothing of an encrypted room leaves in clear: without a key, or when the
    // line does not encipher, the packet is not sent at all.
    PL_GUARD_OBJECT(mCrypto, false);
    PL_GUARD_OBJECT(!mEncryptKey.isEmpty(), false);
    const QString line = packet.packetString();
    PL_GUARD_OBJECT(!line.isNull(), false);
    const QString cipherText = mCrypto->enCryptMessage(line, mEncryptKey);
    PL_GUARD_OBJECT(!cipherText.isEmpty(), false);
    PL_GUARD_FLAG(cipherText != line, false);
    PLSendCRPTPacket envelope(packet.tID());
    envelope.setBodyData(cipherText);
    return PLSession::sendPacket(envelope);
}

bool PLSSSession::remoteConnectWhenConnected()
{
    PL_GUARD_FLAG(isPRSMode(), false);
    if (isConnected())
        return remoteConnect();
    // The relay can only be asked once the socket is open.
    mRemoteConnectPending = true;
    return true;
}

void PLSSSession::onSocketDidConnectToHost(AsyncSocket *, const QString &, quint16)
{
    mLostConnection = false;
    if (mRemoteConnectPending) {
        mRemoteConnectPending = false;
        remoteConnect();
    }
    if (!mIsEntered || isPRSMode())
        return;
    mIsEntered = false;
    enter();
}

void PLSSSession::onSocketWillDisconnectWithError(AsyncSocket *socket, const std::optional<AsyncSocketError> &error)
{
    mLostConnection = true;
    PLSession::onSocketWillDisconnectWithError(socket, error);
}

void PLSSSession::onSocketDidDisconnect(AsyncSocket *socket)
{
    PLSession::onSocketDidDisconnect(socket);
    if (!mLostConnection)
        return;
    mLostConnection = false;
    // The server (or the network) ended the room: the owner closes it as it
    // would on DSEL, so that nothing waiting in the room is lost unseen.
    plLog(QStringLiteral("switchboard connection lost (%1)").arg(mKey));
    if (mDelegate)
        mDelegate->ssSessionWillCloseReceived(this);
}

quint64 PLFileSizeFromString(const QString &text)
{
    bool ok = false;
    const quint64 size = text.toULongLong(&ok, 10);
    return ok ? size : ~quint64(0);
}

} // namespace parley
