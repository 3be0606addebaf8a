#include "PGHTerminationSignal.h"

#include "Log.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace pigeonhole {

namespace {

int gPair[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gPair[0], &byte, 1);
}

} // namespace

PGHTerminationSignal::PGHTerminationSignal(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gPair) != 0) {
        parley::plLog(QStringLiteral("Pigeonhole: cannot watch for SIGTERM"));
        return;
    }
    mNotifier = new QSocketNotifier(gPair[1], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(gPair[1], &byte, 1);
        Q_EMIT received();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

PGHTerminationSignal::~PGHTerminationSignal()
{
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    delete mNotifier;
    for (int &fd : gPair) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace pigeonhole
