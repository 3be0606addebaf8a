#pragma once

// The certificate alert as the crypto glue sees it. The window that the
// application installs must keep this contract: the call blocks until the
// user decides (keeping the main event loop running), and answers Continue,
// Stop, or TimedOut when no decision came within kTimeoutSeconds. A time-out
// firing after the decision changes nothing.
//
// ask() shows one alert at a time: while one is open, a second request is
// answered Stop at once; with no window installed the answer is Stop too.

#include <QByteArray>
#include <QList>
#include <QString>

namespace parley {

class PLCertAlert
{
public:
    enum Answer : int { Continue = 1, Stop = 2, TimedOut = 3 };
    static constexpr int kTimeoutSeconds = 180;

    virtual ~PLCertAlert();

    // `certificates` is the chain for display, DER, server certificate first;
    // `code` the trust result (-2: the host name was refused).
    virtual int showWindowWithMessage(const QString &message, const QList<QByteArray> &certificates, int code) = 0;

    // The installed window (not owned; install nullptr before destroying it).
    static PLCertAlert *shared();
    static void setShared(PLCertAlert *alert);

    // Shows the installed alert and answers its decision (see above).
    static int ask(const QString &message, const QList<QByteArray> &certificates, int code);
};

} // namespace parley
