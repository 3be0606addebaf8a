#include "PLSession.h"

#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Packet/PLRawLines.h"
#include "Packet/PLRecvPacket.h"
#include "Packet/PLSendPacket.h"
#include "Utils/PLEndpoints.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <utility>

namespace parley {

namespace {
// After a command, wait this long for the answer's first bytes.
constexpr double kReplyTimeout = 60;
constexpr double kFileWriteTimeout = 10;
constexpr int kHTTPProxyPollMs = 4000;
// Sessions draining now; main thread only, as every session.
int gDraining = 0;
} // namespace

PLSession::PLSession(QObject *parent) : QObject(parent), mSocket(new AsyncSocket(this, 0, this))
{
    // Bodies are copied only where a subclass keeps them (bodyBytesReceived).
    mReader.setCopiesBodies(false);
    mProcessMethodsDict.reserve(30);
    mThreadProcessMethodsDict.reserve(10);
}

PLSession::~PLSession()
{
    // No callbacks into a half-destroyed subclass.
    mSocket->setDelegate(nullptr);
    if (mDraining)
        --gDraining;
}

void PLSession::disposeLater()
{
    if (mDisposed)
        return;
    mDisposed = true;
    mSocket->setDelegate(nullptr);
    mSocket->disconnect();
    for (PLHTTPProxySession *exchange : findChildren<PLHTTPProxySession *>())
        exchange->setDelegate(nullptr);
    if (mHTTPProxyTimer)
        mHTTPProxyTimer->stop();
    deleteLater();
}

namespace {

// Hears only the end of a draining session's line.
class DrainDelegate : public AsyncSocketDelegate
{
public:
    explicit DrainDelegate(std::function<void()> ended) : mEnded(std::move(ended)) {}
    void onSocketDidDisconnect(AsyncSocket *) override { mEnded(); }

private:
    std::function<void()> mEnded;
};

} // namespace

int PLSession::drainingCount() { return gDraining; }

void PLSession::disposeAfterWriting(int maxWaitMs)
{
    if (mDisposed || mDraining)
        return;
    const bool tunnel = mProxyModeValue == HTTPTunnel;
    if (tunnel ? mHTTPProxyInFlight == 0 : !mSocket->isConnected()) {
        disposeLater();
        return;
    }
    mDraining = true;
    ++gDraining;
    // Owned by the application meanwhile: gone with it should it end first.
    setParent(QCoreApplication::instance());
    const auto finish = [this] {
        if (mDisposed)
            return;
        emit drained();
        disposeLater();
    };
    QTimer::singleShot(maxWaitMs, this, finish);
    stopTunnelPoll(); // no more polls: only the exchanges under way may end
    if (tunnel)
        return; // httpProxySessionDidFinish() ends it with the last exchange
    flushGatheredLines(); // the drain delegate hears no write end
    mDrainDelegate = std::make_unique<DrainDelegate>(finish);
    mSocket->setDelegate(mDrainDelegate.get());
    mSocket->disconnectAfterWriting();
}

quint32 PLSession::tid()
{
    if (mTid == 0xFFFFFFFFu) {
        mTid = 6;
        return 5;
    }
    return mTid++;
}

void PLSession::setHostAddress(const QString &host, int portNo)
{
    mMyHostAddress = host;
    mMyPortNo = portNo;
}

bool PLSession::isConnected() const { return mSocket->isConnected(); }

bool PLSession::connect()
{
    PL_GUARD_FLAG(!mDisposed, false);
    PL_GUARD_FLAG(mSocket->isDisconnected(), false);
    const QString host = mPRSMode ? mPRSHostValue : mMyHostAddress;
    const int port = mPRSMode ? mPRSPortNoValue : mMyPortNo;
    AsyncSocketError error = AsyncSocketError::socketError(AsyncSocketError::CFSocketError);
    bool started = false;
    if (port > 0 && port <= 0xFFFF && !host.isEmpty())
        started = mSocket->connectToHost(host, quint16(port), PLEndpoints::current().connectTimeout, &error);
    else
        error.description = QStringLiteral("no host or port to connect to");
    if (!started) {
        NotificationCenter::defaultCenter().post(QString::fromLatin1(notifications::kSessionConnectionFailed), this,
                                                 {{QString::fromLatin1(notifications::kErrorClass),
                                                   QVariant::fromValue(error)}});
        return false;
    }
    return true;
}

bool PLSession::disconnect()
{
    mTid = 1;
    mSocket->disconnect();
    mGatheredLines.clear();
    mLastSentPacket.clear();
    if (mHTTPProxyTimer) {
        mHTTPProxyTimer->stop();
        mHTTPProxyTimer->deleteLater();
        mHTTPProxyTimer = nullptr;
    }
    for (PLHTTPProxySession *exchange : findChildren<PLHTTPProxySession *>()) {
        exchange->setDelegate(nullptr);
        exchange->deleteLater();
    }
    mHTTPProxyInFlight = 0;
    mMyHostAddress.clear();
    mMyPortNo = 0;
    resetReceiveState();
    return true;
}

void PLSession::resetReceiveState()
{
    mReader.clear();
    mBodyLength = 0;
    mUnknownLineRun = 0;
}

void PLSession::armRead(double timeout)
{
    // One read at a time: the loop re-arms after every chunk.
    if (!mSocket->hasPendingRead())
        mSocket->readDataWithTimeout(timeout, 0);
}

bool PLSession::sendPacket(PLSendPacket &packet)
{
    const QString line = packet.packetString();
    PL_GUARD_OBJECT(!line.isNull(), false);
    if (mProxyModeValue == HTTPTunnel)
        return postThroughTunnel(line);
    PL_GUARD_FLAG(isConnected(), false);
    writeLine(line);
    armRead(kReplyTimeout);
    mLastSentPacket = line;
    return true;
}

bool PLSession::sendPacketString(const QString &line)
{
    PL_GUARD_OBJECT(!line.isNull(), false);
    if (mProxyModeValue == HTTPTunnel)
        return postThroughTunnel(line);
    PL_GUARD_FLAG(isConnected(), false);
    writeLine(line);
    armRead(kReplyTimeout);
    mLastSentPacket = line;
    return true;
}

void PLSession::writeLine(const QString &line)
{
    if (!mGathersLines) {
        mSocket->writeData(line.toUtf8(), -1, 0);
        return;
    }
    mGatheredLines += line.toUtf8();
    if (!mSocket->hasPendingWrite())
        flushGatheredLines();
}

void PLSession::flushGatheredLines()
{
    if (!mGatheredLines.isEmpty())
        mSocket->writeData(std::exchange(mGatheredLines, QByteArray()), -1, 0);
}

void PLSession::onSocketDidWriteDataWithTag(AsyncSocket *, long)
{
    flushGatheredLines();
}

bool PLSession::sendPacketBin(PLSendPacket &packet)
{
    const QByteArray data = packet.data();
    PL_GUARD_OBJECT(!data.isNull(), false);
    if (mProxyModeValue == HTTPTunnel && QThread::currentThread() == thread())
        return postThroughTunnel(QString::fromUtf8(data));
    // From another thread the socket itself checks, on its own thread, that
    // it is open.
    if (QThread::currentThread() == thread())
        PL_GUARD_FLAG(isConnected(), false);
    return mSocket->writeFile(data, kFileWriteTimeout, 0);
}

bool PLSession::postThroughTunnel(const QString &line)
{
    auto *exchange = new PLHTTPProxySession(mProxyServerIPValue, mProxyServerPortNoValue, mHTTPProxyTicket, this);
    exchange->setDelegate(this);
    exchange->setTicket(mHTTPProxyTicket);
    if (!exchange->setPacketString(line, QStringLiteral("%1:%2").arg(mMyHostAddress).arg(mMyPortNo))) {
        delete exchange;
        return false;
    }
    ++mHTTPProxyInFlight;
    mLastSentPacket = line;
    exchange->postPacketAndNotifyBackground();
    return true;
}

void PLSession::httpProxySessionDidFinish(PLHTTPProxySession *exchange, const QString &failure)
{
    if (mHTTPProxyInFlight > 0)
        --mHTTPProxyInFlight;
    exchange->setDelegate(nullptr);
    exchange->deleteLater();
    if (mDraining) {
        if (mHTTPProxyInFlight == 0 && !mDisposed) {
            emit drained();
            disposeLater();
        }
        return;
    }
    if (!failure.isEmpty()) {
        AsyncSocketError error = AsyncSocketError::other(QStringLiteral("PLHTTPProxySessionErrorDomain"), 1, failure);
        NotificationCenter::defaultCenter().post(QString::fromLatin1(notifications::kSessionConnectionFailed), this,
                                                 {{QString::fromLatin1(notifications::kErrorClass),
                                                   QVariant::fromValue(error)}});
    }
}

void PLSession::stopTunnelPoll()
{
    if (mHTTPProxyTimer)
        mHTTPProxyTimer->stop();
}

void PLSession::pollHTTPProxy()
{
    if (mProxyModeValue == HTTPTunnel && mHTTPProxyInFlight == 0)
        sendPacketString(QString(QLatin1String("")));
}

void PLSession::setProxyMode(int mode, const QString &serverIP, int portNo, const QString &userID,
                             const QString &password)
{
    PL_GUARD_FLAG(mode >= NoProxy && mode <= Socks5);
    if (mode == Socks5) {
        PL_GUARD_OBJECT(!userID.isEmpty());
        PL_GUARD_OBJECT(!password.isEmpty());
    }
    if (mode == HTTPTunnel && !mHTTPProxyTimer) {
        mHTTPProxyTimer = new QTimer(this);
        mHTTPProxyTimer->setInterval(kHTTPProxyPollMs);
        QObject::connect(mHTTPProxyTimer, &QTimer::timeout, this, &PLSession::pollHTTPProxy);
        mHTTPProxyTimer->start();
    }
    mProxyModeValue = mode;
    mProxyServerIPValue = serverIP;
    mProxyServerPortNoValue = portNo;
    mProxyServerUserID = userID;
    mProxyServerPassword = password;
}

void PLSession::setPRSModeWithInfo(const QVariantMap &info)
{
    const QVariant host = info.value(QStringLiteral("host"));
    const QVariant port = info.value(QStringLiteral("portNo"));
    PL_GUARD_OBJECT(host.isValid() && !host.toString().isEmpty());
    PL_GUARD_OBJECT(port.isValid());
    mPRSHostValue = host.toString();
    mPRSPortNoValue = port.toInt();
    mPRSMode = true;
}

bool PLSession::remoteConnect()
{
    PL_GUARD_OBJECT(!mMyHostAddress.isNull(), false);
    const QByteArray line = PLRawLines::rconLine(qint32(tid()), mMyHostAddress, mMyPortNo);
    PL_GUARD_OBJECT(!line.isNull(), false);
    return sendPacketString(QString::fromUtf8(line));
}

bool PLSession::onSocketWillConnect(AsyncSocket *socket)
{
    AsyncSocketProxy proxy;
    proxy.host = mProxyServerIPValue;
    proxy.port = quint16(mProxyServerPortNoValue);
    switch (mProxyModeValue) {
    case HTTPTunnel: proxy.type = AsyncSocketProxy::Type::HttpsConnect; break;
    case Socks4: proxy.type = AsyncSocketProxy::Type::Socks4; break;
    case Socks5:
        proxy.type = AsyncSocketProxy::Type::Socks5;
        proxy.user = mProxyServerUserID;
        proxy.password = mProxyServerPassword;
        break;
    default: break;
    }
    socket->setProxy(proxy);
    return true;
}

void PLSession::onSocketDidReadData(AsyncSocket *socket, const QByteArray &data, long)
{
    QPointer<PLSession> self(this);
    dataReceived(data);
    if (!self || mDisposed)
        return;
    if (socket->isConnected())
        armRead(-1);
}

void PLSession::onSocketWillDisconnectWithError(AsyncSocket *, const std::optional<AsyncSocketError> &)
{
    resetReceiveState();
    mGatheredLines.clear(); // as the socket drops what it had queued
}

void PLSession::onSocketDidDisconnect(AsyncSocket *)
{
    resetReceiveState();
    mGatheredLines.clear();
}

void PLSession::adoptSocket(AsyncSocket *socket)
{
    if (!socket || socket == mSocket)
        return;
    mSocket->setDelegate(nullptr);
    mSocket->disconnect();
    mSocket->deleteLater();
    mSocket = socket;
    mSocket->setParent(this);
    mSocket->setDelegate(this);
}

void PLSession::registerProcessMethod(const QString &command, Handler handler)
{
    mProcessMethodsDict.insert(command, std::make_shared<const Handler>(std::move(handler)));
    mLastDispatch = {};
}

void PLSession::registerThreadProcessMethod(const QString &command, Handler handler)
{
    mThreadProcessMethodsDict.insert(command, std::make_shared<const Handler>(std::move(handler)));
    mLastDispatch = {};
}

} // namespace parley
