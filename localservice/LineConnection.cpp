#include "LineConnection.h"

#include <QStringDecoder>
#include <QTcpSocket>
#include <QTimer>

namespace localservice {

LineConnection::LineConnection(QTcpSocket *socket, QObject *parent)
    : QObject(parent), mSocket(socket)
{
    socket->setParent(this);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Bounds what Qt buffers ahead of the framing below.
    socket->setReadBufferSize(4 * kMaxLine);
    connect(socket, &QTcpSocket::readyRead, this, &LineConnection::readIncoming);
    connect(socket, &QTcpSocket::disconnected, this, &LineConnection::finishClose);
    connect(socket, &QTcpSocket::bytesWritten, this, [this] {
        if (mCloseWhenWritten && mTrickleQueue.isEmpty() && mSocket
            && mSocket->bytesToWrite() == 0)
            mSocket->disconnectFromHost();
    });
    // Bytes may already be waiting when the connection is handed over.
    QTimer::singleShot(0, this, &LineConnection::readIncoming);
}

LineConnection::~LineConnection() = default;

bool LineConnection::isOpen() const
{
    return !mClosed && mSocket && mSocket->state() == QAbstractSocket::ConnectedState;
}

bool LineConnection::expectBody(qsizetype length)
{
    if (length < 0 || length > kMaxBody) {
        qWarning("localservice: announced body of %lld bytes is beyond the limit; closing",
                 static_cast<long long>(length));
        abort();
        return false;
    }
    mBodyLength = length;
    return true;
}

void LineConnection::write(const QByteArray &bytes)
{
    if (!isOpen() || bytes.isEmpty())
        return;
    if (!mTrickle) {
        mSocket->write(bytes);
        return;
    }
    mTrickleQueue += bytes;
    if (!mTrickleTimer) {
        // One byte per pass of the event loop, each flushed on its own: a
        // timer of its own per byte made a sign-in of a few kilobytes take
        // seconds, and half a minute on a loaded machine.
        mTrickleTimer = new QTimer(this);
        mTrickleTimer->setInterval(0);
        connect(mTrickleTimer, &QTimer::timeout, this, &LineConnection::flushTrickle);
    }
    if (!mTrickleTimer->isActive())
        mTrickleTimer->start();
}

void LineConnection::flushTrickle()
{
    if (!isOpen() || mTrickleQueue.isEmpty()) {
        mTrickleTimer->stop();
        return;
    }
    mSocket->write(mTrickleQueue.left(1));
    mSocket->flush();
    mTrickleQueue.remove(0, 1);
    if (mTrickleQueue.isEmpty()) {
        mTrickleTimer->stop();
        if (mCloseWhenWritten && mSocket->bytesToWrite() == 0)
            mSocket->disconnectFromHost();
    }
}

void LineConnection::setTrickle(bool on)
{
    mTrickle = on;
}

void LineConnection::closeAfterWriting()
{
    if (!isOpen())
        return;
    mCloseWhenWritten = true;
    if (mTrickleQueue.isEmpty())
        mSocket->disconnectFromHost(); // waits for the socket's own buffer
}

void LineConnection::abort()
{
    if (mSocket)
        mSocket->abort();
    finishClose();
}

void LineConnection::finishClose()
{
    if (mClosed)
        return;
    mClosed = true;
    mRecord->closed = true;
    mTrickleQueue.clear();
    if (mTrickleTimer)
        mTrickleTimer->stop();
    emit closed();
}

void LineConnection::readIncoming()
{
    if (mClosed || !mSocket)
        return;
    mBuffer += mSocket->readAll();
    frame();
}

void LineConnection::frame()
{
    // A handler may ask for a body or close the connection from inside
    // lineReceived; the loop re-reads the state after every emission.
    if (mFraming)
        return;
    mFraming = true;
    while (!mClosed) {
        if (mBodyLength >= 0) {
            if (mBuffer.size() < mBodyLength)
                break;
            const QByteArray body = mBuffer.left(mBodyLength);
            mBuffer.remove(0, mBodyLength);
            mBodyLength = -1;
            if (!mDeaf)
                emit bodyReceived(body);
            continue;
        }
        const qsizetype end = mBuffer.indexOf("\r\n");
        if (end < 0) {
            if (mBuffer.size() > kMaxLine) {
                qWarning("localservice: line longer than %lld bytes; closing",
                         static_cast<long long>(kMaxLine));
                abort();
            }
            break;
        }
        if (end > kMaxLine) {
            qWarning("localservice: line longer than %lld bytes; closing",
                     static_cast<long long>(kMaxLine));
            abort();
            break;
        }
        const QByteArray raw = mBuffer.left(end);
        mBuffer.remove(0, end + 2);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = utf8.decode(raw);
        mRecord->addLine(line);
        if (mDeaf)
            continue; // kept in the record, answered no more
        if (utf8.hasError() || raw.contains('\0')) {
            emit lineRefused(line, utf8.hasError() ? QStringLiteral("not UTF-8") : QStringLiteral("a zero byte"));
            continue;
        }
        emit lineReceived(line);
    }
    mFraming = false;
}

} // namespace localservice
