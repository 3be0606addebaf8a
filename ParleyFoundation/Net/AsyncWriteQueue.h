#pragma once

// The write side of an AsyncSocket without the socket: queued write requests
// served one at a time, each handed to the connection in chunks of at most
// 4096 bytes. The socket asks for the next chunk and reports how much of it
// the connection took; tests do the same in memory.

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

namespace parley {

struct AsyncWritePacket
{
    QByteArray buffer;
    qsizetype bytesDone = 0;
    long tag = 0;
    double timeout = -1;                // seconds; negative = none; grows when extended
    bool silent = false;                // a piece of a larger write: no callbacks of its own
    std::function<void(bool)> finished; // told once: written (true) or dropped (false)
};

class AsyncWriteQueue
{
public:
    static constexpr qsizetype kChunk = 4096;

    // Queues a request; empty data is refused.
    bool enqueue(AsyncWritePacket packet);
    // Makes the first queued request current when there is none; answers
    // whether one is current afterwards.
    bool startNext();
    bool hasCurrent() const { return mCurrent.has_value(); }
    AsyncWritePacket *current() { return mCurrent ? &*mCurrent : nullptr; }
    bool isIdle() const { return !mCurrent && mQueue.isEmpty(); }

    // The next bytes of the current request, at most kChunk.
    QByteArray nextChunk() const;
    // Records that the connection took `count` bytes of the current request;
    // answers true when the request is complete.
    bool chunkWritten(qsizetype count);
    // Ends the current request and hands it back.
    std::optional<AsyncWritePacket> takeCurrent();
    // Drops every request (current first), telling each one it was dropped.
    void dropAll();

private:
    QList<AsyncWritePacket> mQueue;
    std::optional<AsyncWritePacket> mCurrent;
};

} // namespace parley
