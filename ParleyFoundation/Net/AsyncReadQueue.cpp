#include "AsyncReadQueue.h"

#include <algorithm>

namespace parley {

bool AsyncReadQueue::enqueueReadAny(double timeout, long tag, qsizetype maxLength)
{
    if (maxLength < 0)
        return false;
    AsyncReadPacket packet;
    packet.timeout = timeout;
    packet.tag = tag;
    packet.maxLength = maxLength;
    mQueue.append(packet);
    return true;
}

bool AsyncReadQueue::enqueueToLength(qsizetype length, double timeout, long tag)
{
    if (length <= 0)
        return false;
    AsyncReadPacket packet;
    packet.timeout = timeout;
    packet.tag = tag;
    packet.readLength = length;
    mQueue.append(packet);
    return true;
}

bool AsyncReadQueue::enqueueToData(const QByteArray &term, double timeout, long tag, qsizetype maxLength)
{
    if (term.isEmpty() || maxLength < 0 || (maxLength > 0 && maxLength < term.size()))
        return false;
    AsyncReadPacket packet;
    packet.timeout = timeout;
    packet.tag = tag;
    packet.term = term;
    packet.maxLength = maxLength;
    mQueue.append(packet);
    return true;
}

bool AsyncReadQueue::startNext()
{
    if (!mCurrent && !mQueue.isEmpty())
        mCurrent = mQueue.takeFirst();
    return mCurrent.has_value();
}

AsyncReadQueue::Step AsyncReadQueue::serve()
{
    if (!mCurrent || mPreBuffer.isEmpty())
        return {};
    AsyncReadPacket &read = *mCurrent;
    qsizetype take = 0;
    bool done = false;
    bool maxedOut = false;

    if (read.readLength > 0) {
        take = std::min(read.readLength - read.bytesDone(), mPreBuffer.size());
        done = read.bytesDone() + take == read.readLength;
    } else if (read.term.isEmpty()) {
        take = mPreBuffer.size();
        if (read.maxLength > 0)
            take = std::min(take, read.maxLength - read.bytesDone());
        done = read.bytesDone() + take > 0;
    } else {
        // Look for the terminator in the last bytes already read (it may have
        // begun there) followed by the new bytes this read may still take.
        const qsizetype tailLength = std::min(read.bytesDone(), read.term.size() - 1);
        qsizetype allowance = mPreBuffer.size();
        if (read.maxLength > 0)
            allowance = std::min(allowance, read.maxLength - read.bytesDone());
        const QByteArray window = read.buffer.right(tailLength) + mPreBuffer.left(allowance);
        const qsizetype found = window.indexOf(read.term);
        if (found >= 0) {
            take = found + read.term.size() - tailLength;
            done = true;
        } else {
            take = allowance;
            maxedOut = read.maxLength > 0 && read.bytesDone() + take >= read.maxLength;
        }
    }

    if (read.buffer.isEmpty() && take == mPreBuffer.size()) {
        // All of it for a read that has nothing yet: handed over, not copied.
        read.buffer = std::move(mPreBuffer);
        mPreBuffer = QByteArray();
    } else {
        read.buffer.append(mPreBuffer.constData(), take);
        mPreBuffer.remove(0, take);
    }
    if (maxedOut)
        return {Step::MaxedOut, {}, read.tag, take};
    if (done) {
        Step step{Step::Completed, read.buffer, read.tag, take};
        mCurrent.reset();
        return step;
    }
    return {Step::Partial, {}, read.tag, take};
}

QByteArray AsyncReadQueue::takeUnread()
{
    QByteArray unread;
    if (mCurrent)
        unread = mCurrent->buffer;
    unread.append(mPreBuffer);
    if (mCurrent)
        mCurrent->buffer.clear();
    mPreBuffer.clear();
    return unread;
}

void AsyncReadQueue::emptyQueue()
{
    mCurrent.reset();
    mQueue.clear();
}

void AsyncReadQueue::clear()
{
    emptyQueue();
    mPreBuffer.clear();
}

} // namespace parley
