// AsyncSocket: the read and write queues, their time-outs, and the write
// for worker threads.
#include "AsyncSocket.h"

#include "AsyncSocketInternal.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QPointer>
#include <QTcpSocket>
#include <QThread>
#include <QWaitCondition>
#include <algorithm>
#include <memory>

namespace parley {

using asyncsocket::qtError;
using asyncsocket::toMilliseconds;

namespace {

// How much a read pulls from the connection at a time, at most.
constexpr qsizetype kReadPull = 256 * 1024;
// Reads at least this large (a bulk transfer) go through the pool of blocks.
constexpr qsizetype kPooledRead = 64 * 1024;
// Smaller reads in a row after which the pool is let go.
constexpr int kSmallReadsBeforeRelease = 64;

// How much of one request goes to the connection in one write (one pass of
// the event loop; a file transfer's batch of DATA commands fits). Progress is
// still told chunk by chunk once the connection has taken the bytes.
constexpr qint64 kWriteBurst = 512 * 1024;

// Carries one writeFile() chunk's outcome from the socket's thread back to
// the waiting worker.
struct HandOff
{
    QMutex mutex;
    QWaitCondition condition;
    int state = 0; // 0 pending, 1 written, -1 failed

    void finish(bool ok)
    {
        QMutexLocker lock(&mutex);
        if (state == 0)
            state = ok ? 1 : -1;
        condition.wakeAll();
    }
    bool wait(int milliseconds)
    {
        QMutexLocker lock(&mutex);
        QDeadlineTimer deadline(milliseconds);
        while (state == 0) {
            if (!condition.wait(&mutex, deadline))
                break;
        }
        return state == 1;
    }
};

} // namespace

void AsyncSocket::readDataWithTimeout(double timeout, long tag, qsizetype maxLength)
{
    if (!mNoNewIO && mReads.enqueueReadAny(timeout, tag, maxLength))
        scheduleDequeueRead();
}

void AsyncSocket::readDataToLength(qsizetype length, double timeout, long tag)
{
    if (!mNoNewIO && mReads.enqueueToLength(length, timeout, tag))
        scheduleDequeueRead();
}

void AsyncSocket::readDataToData(const QByteArray &term, double timeout, long tag, qsizetype maxLength)
{
    if (!mNoNewIO && mReads.enqueueToData(term, timeout, tag, maxLength))
        scheduleDequeueRead();
}

void AsyncSocket::writeData(const QByteArray &data, double timeout, long tag)
{
    if (data.isEmpty() || mNoNewIO)
        return;
    mWrites.enqueue(AsyncWritePacket{data, 0, tag, timeout, false, {}});
    // From a write callback the next request starts as soon as it returns.
    if (!mInWriteCallback)
        scheduleDequeueWrite();
}

bool AsyncSocket::writeFile(const QByteArray &data, double timeout, long tag)
{
    if (data.isEmpty())
        return false;
    if (QThread::currentThread() == thread()) {
        if (mNoNewIO || !isOpen())
            return false;
        mWrites.enqueue(AsyncWritePacket{data, 0, tag, timeout, false, {}});
        maybeDequeueWrite();
        return true;
    }
    // Another thread: the socket is touched only on its own thread. Each chunk
    // goes over and this thread waits until it is in the connection.
    const int bound = timeout >= 0 ? toMilliseconds(timeout) + 1000 : 60 * 1000;
    for (qsizetype offset = 0; offset < data.size(); offset += kWriteChunk) {
        const QByteArray chunk = data.mid(offset, kWriteChunk);
        const bool last = offset + kWriteChunk >= data.size();
        auto handOff = std::make_shared<HandOff>();
        const bool posted = QMetaObject::invokeMethod(
            this,
            [this, chunk, timeout, tag, last, handOff] {
                if (mNoNewIO || !isOpen()) {
                    handOff->finish(false);
                    return;
                }
                mWrites.enqueue(AsyncWritePacket{chunk, 0, tag, timeout, !last,
                                               [handOff](bool ok) { handOff->finish(ok); }});
                maybeDequeueWrite();
            },
            Qt::QueuedConnection);
        if (!posted || !handOff->wait(bound))
            return false;
    }
    return true;
}

void AsyncSocket::scheduleDequeueRead()
{
    if (mReadDequeuePending)
        return;
    mReadDequeuePending = true;
    QMetaObject::invokeMethod(this, &AsyncSocket::maybeDequeueRead, Qt::QueuedConnection);
}

void AsyncSocket::scheduleDequeueWrite()
{
    if (mWriteDequeuePending)
        return;
    mWriteDequeuePending = true;
    QMetaObject::invokeMethod(this, &AsyncSocket::maybeDequeueWrite, Qt::QueuedConnection);
}

void AsyncSocket::maybeDequeueRead()
{
    mReadDequeuePending = false;
    if (mReads.hasCurrent() || !isOpen())
        return;
    if (mReads.startNext()) {
        const double timeout = mReads.current()->timeout;
        if (timeout >= 0)
            mReadTimer.start(toMilliseconds(timeout));
        processRead();
    } else if (mDisconnectAfterReads) {
        maybeScheduleDisconnect();
    }
}

void AsyncSocket::maybeDequeueWrite()
{
    mWriteDequeuePending = false;
    if (mWrites.hasCurrent() || !isOpen())
        return;
    if (mWrites.startNext()) {
        if (mWrites.current()->timeout >= 0)
            mWriteTimer.start(toMilliseconds(mWrites.current()->timeout));
        sendChunk();
    } else if (mDisconnectAfterWrites) {
        maybeScheduleDisconnect();
    }
}

void AsyncSocket::processRead()
{
    if (!mReads.hasCurrent() || !isOpen())
        return;
    QPointer<AsyncSocket> self(this);
    qsizetype passTotal = 0;
    long tag = mReads.current()->tag;
    for (;;) {
        if (mReads.preBuffer().isEmpty()) {
            const QByteArray more = readBlock();
            if (more.isEmpty())
                break;
            mReads.append(more);
        }
        const AsyncReadQueue::Step step = mReads.serve();
        if (step.kind == AsyncReadQueue::Step::Partial) {
            passTotal += step.count;
            continue;
        }
        if (step.kind == AsyncReadQueue::Step::MaxedOut) {
            closeWithError(AsyncSocketError::socketError(AsyncSocketError::ReadMaxedOutError));
            return;
        }
        if (step.kind == AsyncReadQueue::Step::Completed) {
            mReadTimer.stop();
            mLastBytesDone = step.data.size();
            if (mDelegate)
                mDelegate->onSocketDidReadData(this, step.data, step.tag);
            if (self && isOpen())
                scheduleDequeueRead();
            return;
        }
        break;
    }
    if (passTotal > 0 && mDelegate)
        mDelegate->onSocketDidReadPartialDataOfLength(this, passTotal, tag);
}

QByteArray AsyncSocket::readBlock()
{
    const qint64 available = mSocket->bytesAvailable();
    if (available <= 0)
        return {};
    const qsizetype size = qsizetype(std::min<qint64>(available, kReadPull));
    QByteArray fresh;
    QByteArray *block = &fresh;
    if (size < kPooledRead) {
        // Lines, not a bulk transfer: a block of their size. After a run of
        // them the pool's memory goes back.
        if (++mSmallReadRun == kSmallReadsBeforeRelease) {
            for (QByteArray &pooled : mReadBlocks)
                pooled = QByteArray();
        }
    } else {
        mSmallReadRun = 0;
        // A block of the pool that nobody holds any more: the framer and a
        // download keep a block only while they use it, so a steady stream
        // cycles through the same few warm blocks instead of fresh memory
        // (whose first touch costs more than the copy out of the socket).
        for (QByteArray &pooled : mReadBlocks) {
            if (pooled.isNull() || pooled.isDetached()) {
                block = &pooled;
                break;
            }
        }
    }
    if (block->capacity() < size) {
        *block = QByteArray();
        block->reserve(block == &fresh ? size : kReadPull);
    }
    block->resize(size);
    const qint64 read = mSocket->read(block->data(), size);
    block->resize(qsizetype(std::max<qint64>(read, 0)));
    return *block;
}

void AsyncSocket::sendChunk()
{
    if (!mWrites.hasCurrent() || !isOpen() || mChunkInFlight > 0)
        return;
    const AsyncWritePacket *write = mWrites.current();
    const qint64 count = std::min<qint64>(write->buffer.size() - write->bytesDone, kWriteBurst);
    // A whole request goes as the array itself, which the socket keeps
    // rather than copies (a file transfer's batch of DATA commands).
    const qint64 written = write->bytesDone == 0 && count == write->buffer.size()
                               ? mSocket->write(write->buffer)
                               : mSocket->write(write->buffer.constData() + write->bytesDone, count);
    if (written < 0) {
        closeWithError(qtError(mSocket));
        return;
    }
    mChunkInFlight = written;
}

void AsyncSocket::onBytesWritten()
{
    // The bytes count as written once the connection has taken all of them.
    if (!mWrites.hasCurrent() || !mSocket || mChunkInFlight == 0 || mSocket->bytesToWrite() > 0)
        return;
    qsizetype taken = mChunkInFlight;
    mChunkInFlight = 0;
    QPointer<AsyncSocket> self(this);
    while (taken > 0) {
        const qsizetype chunk = std::min(taken, kWriteChunk);
        taken -= chunk;
        if (mWrites.chunkWritten(chunk)) {
            finishWrite();
            return;
        }
        if (mDelegate && !mWrites.current()->silent)
            mDelegate->onSocketDidWritePartialDataOfLength(this, chunk, mWrites.current()->tag);
        if (!self || !mWrites.hasCurrent())
            return;
    }
    sendChunk();
}

void AsyncSocket::finishWrite()
{
    mWriteTimer.stop();
    AsyncWritePacket packet = std::move(*mWrites.takeCurrent());
    QPointer<AsyncSocket> self(this);
    mInWriteCallback = true;
    if (packet.finished)
        packet.finished(true);
    if (self && mDelegate && !packet.silent)
        mDelegate->onSocketDidWriteDataWithTag(this, packet.tag);
    if (!self)
        return;
    mInWriteCallback = false;
    // Straight on to the next request: no pass of the event loop between.
    if (isOpen())
        maybeDequeueWrite();
}

void AsyncSocket::doReadTimeout()
{
    if (!mReads.hasCurrent())
        return;
    // A read that follows one which delivered data gets one grace period:
    // the first expiry only clears the mark and the read waits on.
    if (mLastBytesDone > 0) {
        mLastBytesDone = 0;
        return;
    }
    AsyncReadPacket *read = mReads.current();
    QPointer<AsyncSocket> self(this);
    const double extend = mDelegate ? mDelegate->onSocketShouldTimeoutReadWithTag(this, read->tag, read->timeout,
                                                                                   read->bytesDone())
                                    : 0;
    if (!self || !mReads.hasCurrent())
        return;
    if (extend > 0) {
        mReads.current()->timeout += extend;
        mReadTimer.start(toMilliseconds(extend));
        return;
    }
    mLastBytesDone = 0;
    closeWithError(AsyncSocketError::socketError(AsyncSocketError::ReadTimeoutError));
}

void AsyncSocket::doWriteTimeout()
{
    AsyncWritePacket *write = mWrites.current();
    if (!write)
        return;
    QPointer<AsyncSocket> self(this);
    const double extend = mDelegate ? mDelegate->onSocketShouldTimeoutWriteWithTag(this, write->tag, write->timeout,
                                                                                    write->bytesDone)
                                    : 0;
    if (!self || !mWrites.hasCurrent())
        return;
    if (extend > 0) {
        mWrites.current()->timeout += extend;
        mWriteTimer.start(toMilliseconds(extend));
        return;
    }
    closeWithError(AsyncSocketError::socketError(AsyncSocketError::WriteTimeoutError));
}

void AsyncSocket::emptyQueues()
{
    if (mReads.hasCurrent())
        mLastBytesDone = mReads.current()->bytesDone();
    mReads.emptyQueue();
    mReadTimer.stop();
    mWriteTimer.stop();
    mChunkInFlight = 0;
    mReadDequeuePending = mWriteDequeuePending = false;
    mWrites.dropAll();
}

} // namespace parley
