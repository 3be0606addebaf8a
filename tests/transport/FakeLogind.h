#pragma once

// A private D-Bus daemon started by the test, and a small logind on it: it
// hands out delay locks (one end of a pipe, so the test can see when the
// client lets go) and emits PrepareForSleep on request.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QProcess>
#include <QStringList>

#include "PrivateBus.h"

#include <poll.h>
#include <unistd.h>

namespace parley::test {

class FakeLogind : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    explicit FakeLogind(const QString &address)
        : mBus(QDBusConnection::connectToBus(address, QStringLiteral("fake-logind")))
    {
        mBus.registerService(QStringLiteral("org.freedesktop.login1"));
        mBus.registerObject(QStringLiteral("/org/freedesktop/login1"), this, QDBusConnection::ExportAllSlots);
    }
    ~FakeLogind() override
    {
        for (int fd : std::as_const(mReadEnds))
            ::close(fd);
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-logind"));
    }

    void emitPrepareForSleep(bool starting)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                                         QStringLiteral("PrepareForSleep"));
        signal << starting;
        mBus.send(signal);
    }
    // How many locks were handed out, and how many of them are still held.
    int locksGiven() const { return int(mReadEnds.size()); }
    int locksHeld() const
    {
        int held = 0;
        for (int fd : mReadEnds) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 0) == 0 || !(p.revents & POLLHUP))
                ++held;
        }
        return held;
    }
    QStringList lastRequest;

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why, const QString &mode)
    {
        lastRequest = {what, who, why, mode};
        int fds[2];
        if (::pipe(fds) != 0)
            return {};
        mReadEnds.append(fds[0]);
        QDBusUnixFileDescriptor handed(fds[1]); // keeps its own copy
        ::close(fds[1]);
        return handed;
    }

private:
    QDBusConnection mBus;
    QList<int> mReadEnds;
};

} // namespace parley::test
