#pragma once

// The read side of an AsyncSocket without the socket: queued read requests
// served one at a time from a buffer of received bytes. The socket feeds it
// what the connection delivers; tests feed it directly.

#include <QByteArray>
#include <QList>
#include <optional>

namespace parley {

// One read request. Exactly one kind: a fixed length (readLength > 0), a
// terminator (term not empty), or whatever is available (neither).
struct AsyncReadPacket
{
    QByteArray buffer;        // bytes read for this request so far
    qsizetype maxLength = 0;  // bound for terminator and read-any requests; 0 = none
    double timeout = -1;      // seconds; negative = none; grows when extended
    qsizetype readLength = 0; // fixed length; 0 = not a fixed-length read
    QByteArray term;          // terminator; empty = not a terminator read
    long tag = 0;

    qsizetype bytesDone() const { return buffer.size(); }
};

class AsyncReadQueue
{
public:
    struct Step
    {
        enum Kind {
            Nothing,   // no current read, or no byte to give it
            Partial,   // the current read took `count` bytes and wants more
            Completed, // the current read is done: `data`, `tag`; it has ended
            MaxedOut,  // the current read hit its maxLength without its terminator
        };
        Kind kind = Nothing;
        QByteArray data;
        long tag = 0;
        qsizetype count = 0;
    };

    // Queues a request; answers false (and queues nothing) for a request that
    // fails its checks: fixed length 0 with no terminator semantics, an
    // empty terminator, or a maxLength shorter than the terminator.
    bool enqueueReadAny(double timeout, long tag, qsizetype maxLength = 0);
    bool enqueueToLength(qsizetype length, double timeout, long tag);
    bool enqueueToData(const QByteArray &term, double timeout, long tag, qsizetype maxLength = 0);

    // Makes the first queued request current when there is none; answers
    // whether a request is current afterwards.
    bool startNext();
    bool hasCurrent() const { return mCurrent.has_value(); }
    AsyncReadPacket *current() { return mCurrent ? &*mCurrent : nullptr; }
    qsizetype queuedCount() const { return mQueue.size(); }
    bool isIdle() const { return !mCurrent && mQueue.isEmpty(); }

    // Bytes received and not yet given to a request.
    void append(const QByteArray &bytes) { mPreBuffer.append(bytes); }
    const QByteArray &preBuffer() const { return mPreBuffer; }

    // Gives the current read what the buffer holds, as far as it needs.
    Step serve();

    // Everything received and not delivered, in order: the current read's
    // bytes, then the buffer. Both are emptied.
    QByteArray takeUnread();
    // Ends the current read and drops every queued one (the buffer stays).
    void emptyQueue();
    void clear();

private:
    QList<AsyncReadPacket> mQueue;
    std::optional<AsyncReadPacket> mCurrent;
    QByteArray mPreBuffer;
};

} // namespace parley
