// Arbitrary bytes as what the notification server sends after sign-in: the
// session frames them, decodes every line, runs its handlers and body parsers
// (LIN4, TOKN, CTOC with its sub-commands, CMSG, MLST, CPRF, WGET, the bulk
// results...) and hands the reports to the account session, which applies them.

#include "Log.h"
#include "Sessions/PLDPSession.h"
#include "Sessions/PLParleySession.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

using namespace parley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_account_session";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = [] {
        setLogSink([](const QString &) {});
        return new QCoreApplication(argc, argv);
    }();
    (void)app;

    PLParleySession facade;
    PLDPSession session;
    session.setDelegate(&facade);
    session.setUserID(QStringLiteral("me@parley.test"), QStringLiteral("pw"), false);
    session.dataReceived(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    session.setDelegate(nullptr);
    return 0;
}
