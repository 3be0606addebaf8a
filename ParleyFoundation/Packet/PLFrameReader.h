#pragma once

// A socket-free, bounded framer: bytes go in, header lines and announced bodies
// come out. The session owns one per connection and tells it, after decoding a
// line, whether a body follows.

#include <QByteArray>
#include <QString>

namespace parley {

class PLFrameReader
{
public:
    // A header line longer than this without CR LF is a protocol error.
    static constexpr qsizetype kMaxHeaderLength = 64 * 1024;
    // An announced body above this is a protocol error.
    static constexpr qint64 kMaxBodyLength = 16 * 1024 * 1024;

    enum class Status {
        Line,          // `line` holds the next header line
        Body,          // `body` holds the announced body
        NeedMore,      // nothing complete is buffered yet
        Dropped,       // a line that was not valid UTF-8 was removed; go on
        ProtocolError, // `error` says why; the connection should be closed
    };
    struct Frame {
        Status status = Status::NeedMore;
        QString line;
        QByteArray body;
        QString error;
        // The body's bytes inside the reader; valid until the next call of
        // next(), append() or clear(). Without body copies, `body` is null
        // unless the body is the whole of one received block (then shared,
        // not copied).
        QByteArrayView bodyView;
        // The block of received bytes that holds bodyView: sharing it keeps
        // the body's bytes past that point without a copy.
        QByteArray block;
    };

    // Off: bodies come only as bodyView (no copy) unless sharing is free.
    void setCopiesBodies(bool on) { mCopiesBodies = on; }

    void append(const QByteArray &bytes);
    // The awaited body when one is announced, otherwise the next header line.
    Frame next();
    // Announces that the line just returned is followed by `length` bytes;
    // the next call of next() delivers them (an empty body for 0, so that a
    // handler waiting for its body always gets it). A negative length or one
    // above the limit is refused (answers false and puts the reader in its
    // error state).
    bool expectBody(qint64 length);
    bool isAwaitingBody() const { return mPendingBody >= 0; }
    // Forgets every buffered byte, the awaited body and any error (reconnect).
    void clear();
    qsizetype bufferedBytes() const { return mCarry.size() - mCarryOffset + mBuffer.size() - mOffset; }

private:
    // The next frame in `buffer` from `offset` on (advanced past it), or
    // NeedMore when the frame is not complete there.
    Frame frameIn(const QByteArray &buffer, qsizetype &offset);
    // Moves from mBuffer into mCarry the bytes that complete the frame begun
    // in mCarry; false when mBuffer had too few (`moved`: whether any came).
    bool completeCarry(bool *moved);

    // The latest block appended, shared with whoever handed it in: frames
    // are read from it in place, from mOffset on.
    QByteArray mBuffer;
    qsizetype mOffset = 0;
    // What an earlier block left unframed (a frame cut by the block's end),
    // with only the bytes that complete that frame taken from the next: a
    // read of many frames is never copied as a whole to join a cut one.
    QByteArray mCarry;
    qsizetype mCarryOffset = 0;
    qint64 mPendingBody = -1; // -1: no body awaited
    bool mCopiesBodies = true;
    QString mError;
    // The last line: its buffer takes the next line once the line's users
    // have let it go (packets copy a line into their own buffer).
    QString mLine;
};

} // namespace parley
