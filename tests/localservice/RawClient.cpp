#include "RawClient.h"

#include "TestSupport.h"

#include <QHostAddress>

namespace localservice::test {

RawClient::RawClient(quint16 port) : mSocket(std::make_unique<QTcpSocket>())
{
    QObject::connect(mSocket.get(), &QTcpSocket::readyRead, [this] { pull(); });
    mSocket->connectToHost(QHostAddress::LocalHost, port);
    parley::test::waitUntil([this] {
        return mSocket->state() == QAbstractSocket::ConnectedState
            || mSocket->state() == QAbstractSocket::UnconnectedState;
    });
}

bool RawClient::isConnected() const
{
    return mSocket->state() == QAbstractSocket::ConnectedState;
}

void RawClient::send(const QByteArray &bytes)
{
    mSocket->write(bytes);
    mSocket->flush();
}

void RawClient::pull()
{
    const QByteArray chunk = mSocket->readAll();
    if (!chunk.isEmpty()) {
        mBuffer += chunk;
        ++mChunks;
    }
}

bool RawClient::waitFor(const std::function<bool()> &ready)
{
    return parley::test::waitUntil([&] {
        pull();
        return ready() || mSocket->state() != QAbstractSocket::ConnectedState;
    }) && ready();
}

std::optional<QByteArray> RawClient::readLine()
{
    if (!waitFor([this] { return mBuffer.contains("\r\n"); }))
        return std::nullopt;
    const qsizetype end = mBuffer.indexOf("\r\n");
    const QByteArray line = mBuffer.left(end);
    mBuffer.remove(0, end + 2);
    return line;
}

std::optional<QByteArray> RawClient::readBytes(qsizetype n)
{
    if (!waitFor([this, n] { return mBuffer.size() >= n; }))
        return std::nullopt;
    const QByteArray bytes = mBuffer.left(n);
    mBuffer.remove(0, n);
    return bytes;
}

bool RawClient::waitClosed()
{
    return parley::test::waitUntil([this] {
        pull();
        return mSocket->state() == QAbstractSocket::UnconnectedState;
    });
}

} // namespace localservice::test
