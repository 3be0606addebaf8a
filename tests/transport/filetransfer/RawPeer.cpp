#include "RawPeer.h"

#include "TestSupport.h"

namespace parley::test {

bool RawPeer::connectTo(int port)
{
    mSocket.connectToHost(QStringLiteral("127.0.0.1"), quint16(port));
    return waitUntil([&] { return mSocket.state() == QAbstractSocket::ConnectedState; });
}

void RawPeer::send(const QByteArray &bytes)
{
    mSocket.write(bytes);
    mSocket.flush();
}

void RawPeer::collect()
{
    mBuffer += mSocket.readAll();
    qsizetype end;
    while ((end = mBuffer.indexOf("\r\n")) >= 0) {
        mLines.append(QString::fromUtf8(mBuffer.left(end)));
        mBuffer.remove(0, end + 2);
    }
}

QString RawPeer::waitForLine(const QString &prefix, int timeoutMs)
{
    QString found;
    waitUntil(
        [&] {
            collect();
            for (const QString &line : std::as_const(mLines)) {
                if (line.startsWith(prefix)) {
                    found = line;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool RawPeer::waitForLineCount(qsizetype count, int timeoutMs)
{
    return waitUntil(
        [&] {
            collect();
            return mLines.size() >= count;
        },
        timeoutMs);
}

bool RawPeer::waitForClose(int timeoutMs)
{
    return waitUntil(
        [&] {
            collect();
            return mSocket.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
}

} // namespace parley::test
