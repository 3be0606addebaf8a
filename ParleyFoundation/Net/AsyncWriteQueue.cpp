#include "AsyncWriteQueue.h"

#include <algorithm>

namespace parley {

bool AsyncWriteQueue::enqueue(AsyncWritePacket packet)
{
    if (packet.buffer.isEmpty())
        return false;
    packet.bytesDone = 0;
    mQueue.append(std::move(packet));
    return true;
}

bool AsyncWriteQueue::startNext()
{
    if (!mCurrent && !mQueue.isEmpty())
        mCurrent = mQueue.takeFirst();
    return mCurrent.has_value();
}

QByteArray AsyncWriteQueue::nextChunk() const
{
    if (!mCurrent)
        return {};
    const qsizetype remaining = mCurrent->buffer.size() - mCurrent->bytesDone;
    return mCurrent->buffer.mid(mCurrent->bytesDone, std::min(kChunk, remaining));
}

bool AsyncWriteQueue::chunkWritten(qsizetype count)
{
    if (!mCurrent || count < 0)
        return false;
    mCurrent->bytesDone = std::min(mCurrent->buffer.size(), mCurrent->bytesDone + count);
    return mCurrent->bytesDone == mCurrent->buffer.size();
}

std::optional<AsyncWritePacket> AsyncWriteQueue::takeCurrent()
{
    std::optional<AsyncWritePacket> packet = std::move(mCurrent);
    mCurrent.reset();
    return packet;
}

void AsyncWriteQueue::dropAll()
{
    QList<AsyncWritePacket> dropped = std::move(mQueue);
    mQueue.clear();
    if (mCurrent)
        dropped.prepend(std::move(*mCurrent));
    mCurrent.reset();
    for (AsyncWritePacket &packet : dropped) {
        if (packet.finished)
            packet.finished(false);
    }
}

} // namespace parley
