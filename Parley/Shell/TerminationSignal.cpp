#include "TerminationSignal.h"

#include "Log.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace parley::shell {

namespace {

// [0] is written by the handler, [1] read on the main thread.
int gSignalPair[2] = {-1, -1};

void onTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gSignalPair[0], &byte, 1);
}

} // namespace

TerminationSignal::TerminationSignal(std::function<void()> onSignal, QObject *parent)
    : QObject(parent), mOnSignal(std::move(onSignal))
{
    if (gSignalPair[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gSignalPair) != 0) {
        plLog(QStringLiteral("SIGTERM is not handled: no socket pair"));
        return;
    }
    mNotifier = new QSocketNotifier(gSignalPair[1], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(gSignalPair[1], bytes, sizeof bytes) > 0) {
        }
        if (mOnSignal)
            mOnSignal();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
}

TerminationSignal::~TerminationSignal()
{
    if (!mNotifier)
        return;
    std::signal(SIGTERM, SIG_DFL);
    delete mNotifier;
    ::close(gSignalPair[0]);
    ::close(gSignalPair[1]);
    gSignalPair[0] = gSignalPair[1] = -1;
}

} // namespace parley::shell
