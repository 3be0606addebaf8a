#include "RelaySplice.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace localservice {

namespace {
// The pipe of a direction holds this much; the system may grant less.
constexpr int kPipeSize = 1024 * 1024;
constexpr unsigned kSpliceFlags = SPLICE_F_MOVE | SPLICE_F_NONBLOCK;
} // namespace

RelaySplice::RelaySplice(int a, int b, const QByteArray &toA, const QByteArray &toB, QObject *parent)
    : QObject(parent)
{
    setUp(mAToB, a, b, toB);
    setUp(mBToA, b, a, toA);
    pump(mAToB);
    if (!mClosed)
        pump(mBToA);
}

RelaySplice::~RelaySplice() { closeDescriptors(); }

void RelaySplice::setUp(Direction &d, int from, int to, const QByteArray &pending)
{
    d.from = from;
    d.to = to;
    d.pending = pending;
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC) == 0) {
        d.pipeRead = pipeEnds[0];
        d.pipeWrite = pipeEnds[1];
        ::fcntl(d.pipeWrite, F_SETPIPE_SZ, kPipeSize);
    }
    d.readable = new QSocketNotifier(from, QSocketNotifier::Read, this);
    d.writable = new QSocketNotifier(to, QSocketNotifier::Write, this);
    d.writable->setEnabled(false);
    connect(d.readable, &QSocketNotifier::activated, this, [this, &d] { pump(d); });
    connect(d.writable, &QSocketNotifier::activated, this, [this, &d] { pump(d); });
}

void RelaySplice::pump(Direction &d)
{
    if (mClosed)
        return;
    if (d.pipeRead < 0) {
        closeBoth();
        return;
    }
    const auto waitFor = [&d](bool writing) {
        d.writable->setEnabled(writing);
        d.readable->setEnabled(!writing);
    };
    for (;;) {
        if (!d.pending.isEmpty()) {
            const ssize_t sent = ::send(d.to, d.pending.constData(), size_t(d.pending.size()),
                                        MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent < 0 && (errno == EAGAIN || errno == EINTR))
                return waitFor(true);
            if (sent < 0)
                return closeBoth();
            d.pending.remove(0, sent);
            continue;
        }
        if (d.inPipe > 0) {
            const ssize_t moved = ::splice(d.pipeRead, nullptr, d.to, nullptr, size_t(d.inPipe), kSpliceFlags);
            if (moved < 0 && (errno == EAGAIN || errno == EINTR))
                return waitFor(true);
            if (moved <= 0)
                return closeBoth();
            d.inPipe -= moved;
            continue;
        }
        // Everything one side sent has reached the other: the transfer over
        // this pair is over.
        if (d.fromEnded)
            return closeBoth();
        const ssize_t moved = ::splice(d.from, nullptr, d.pipeWrite, nullptr, size_t(kPipeSize), kSpliceFlags);
        if (moved < 0 && (errno == EAGAIN || errno == EINTR))
            return waitFor(false);
        if (moved < 0)
            return closeBoth();
        if (moved == 0)
            d.fromEnded = true;
        d.inPipe += moved;
    }
}

void RelaySplice::closeBoth()
{
    if (mClosed)
        return;
    closeDescriptors();
    deleteLater();
}

void RelaySplice::closeDescriptors()
{
    if (mClosed)
        return;
    mClosed = true;
    for (Direction *d : {&mAToB, &mBToA}) {
        // Gone with this object (one may be calling us right now).
        if (d->readable)
            d->readable->setEnabled(false);
        if (d->writable)
            d->writable->setEnabled(false);
        for (int *fd : {&d->pipeRead, &d->pipeWrite}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    }
    // Whatever a side still sends is not wanted: read off what waits, so
    // that the close is an orderly end rather than a reset.
    for (const int fd : {mAToB.from, mBToA.from}) {
        ::shutdown(fd, SHUT_WR);
        char sink[4096];
        while (::recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0) {
        }
        ::close(fd);
    }
}

} // namespace localservice
