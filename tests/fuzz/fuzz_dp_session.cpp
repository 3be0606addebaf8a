// Arbitrary bytes from the notification server after sign-in, fed to the
// session in pieces whose sizes the input chooses: every handler and body
// parser they reach must cope without a crash.
#include "Log.h"
#include "Sessions/PLDPSession.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

using namespace parley;

namespace {
// Takes every report, so that the details are built and handed over.
class SinkDelegate : public PLDPSessionDelegate
{
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_dp_session";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = [] {
        setLogSink([](const QString &) {});
        return new QCoreApplication(argc, argv);
    }();
    (void)app;
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype step = 1 + data[0] % 64;

    SinkDelegate delegate;
    PLDPSession session;
    session.setDelegate(&delegate);
    session.setUserID(QStringLiteral("alice@parley.test"), QStringLiteral("pw"), false);
    session.setEncryptKey(QStringLiteral("not-a-session"));
    session.setDpState(data[0] & 0x80 ? PLDPSession::LoggedIn : PLDPSession::KeyExchangeStarted);
    session.setIsAvailablePONG(true);
    for (qsizetype at = 0; at < bytes.size(); at += step)
        session.dataReceived(bytes.mid(at, step));
    session.receiveCheckTimer();
    session.setDelegate(nullptr);
    return 0;
}
