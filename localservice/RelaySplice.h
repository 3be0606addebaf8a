#pragma once

// The two joined connections of a relayed file transfer, passing bytes both
// ways inside the kernel (splice through a pipe per direction): the relay
// never copies a file's bytes through its own memory. Bytes the relay had
// already read off a connection are written first. When one side ends, what
// it sent still reaches the other, and then both connections close.

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

namespace localservice {

class RelaySplice : public QObject
{
    Q_OBJECT
public:
    // Takes over the two connected descriptors (closed with this object);
    // `toA` and `toB` are bytes already received that go out first.
    RelaySplice(int a, int b, const QByteArray &toA, const QByteArray &toB, QObject *parent = nullptr);
    ~RelaySplice() override;

    // Both connections are closed; the object deletes itself next.
    bool isClosed() const { return mClosed; }

private:
    struct Direction
    {
        int from = -1;
        int to = -1;
        int pipeRead = -1;
        int pipeWrite = -1;
        qsizetype inPipe = 0;
        QByteArray pending;
        bool fromEnded = false;
        QSocketNotifier *readable = nullptr; // on `from`
        QSocketNotifier *writable = nullptr; // on `to`
    };

    void setUp(Direction &d, int from, int to, const QByteArray &pending);
    // Moves what it can; waits on the notifier of whichever side blocks.
    void pump(Direction &d);
    // Closes both connections and goes.
    void closeBoth();
    void closeDescriptors();

    Direction mAToB;
    Direction mBToA;
    bool mClosed = false;
};

} // namespace localservice
