#include "HeadlessDriver.h"

#include "HeadlessChatCommands.h"
#include "HeadlessTransferCommands.h"
#include "NotificationCenter.h"
#include "Sessions/PLEncrypUtil.h"
#include "Sessions/PLParleySession.h"
#include "Utils/PLEndpoints.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <unistd.h>

namespace headless {

namespace {
constexpr qsizetype kMaxCommandLine = 64 * 1024;
}

std::optional<HeadlessOptions> HeadlessOptions::parse(const QStringList &arguments,
                                                      const QString &passwordFromEnvironment, QString *error)
{
    HeadlessOptions options;
    options.password = passwordFromEnvironment;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments[i];
        QString *target = option == QLatin1String("--user")        ? &options.userID
                        : option == QLatin1String("--password")    ? &options.password
                        : option == QLatin1String("--server")      ? &options.server
                        : option == QLatin1String("--endpoints")   ? &options.endpointsFile
                        : option == QLatin1String("--p2p-port")    ? &options.p2pPort
                        : option == QLatin1String("--p2p-fixed-port") ? &options.p2pFixedPort
                        : option == QLatin1String("--download-folder") ? &options.downloadFolder
                        : option == QLatin1String("--relay-after") ? &options.relayAfter
                                                                   : nullptr;
        if (!target) {
            *error = QStringLiteral("unknown option \"%1\"").arg(option);
            return std::nullopt;
        }
        if (i + 1 >= arguments.size()) {
            *error = QStringLiteral("%1 needs a value").arg(option);
            return std::nullopt;
        }
        *target = arguments[++i];
    }
    if (options.userID.isEmpty()) {
        *error = QStringLiteral("--user is required");
        return std::nullopt;
    }
    if (options.password.isNull()) {
        *error = QStringLiteral("no password: give --password or set PARLEY_PASSWORD");
        return std::nullopt;
    }
    return options;
}

QString HeadlessOptions::usage()
{
    return QStringLiteral("usage: parley-headless --user ID [--password PASSWORD] [--server HOST:PORT] "
                          "[--endpoints FILE] [--p2p-port N | --p2p-fixed-port N] [--download-folder DIR] [--relay-after SECONDS]\n"
                          "The password may come from PARLEY_PASSWORD instead. Commands, one a line on "
                          "standard input:\n")
        + HeadlessCommands::usage();
}

HeadlessDriver::HeadlessDriver(QObject *parent) : QObject(parent)
{
    // By descriptor: each line reaches a pipe at once, not when a buffer fills.
    mStdout.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    mOutput = std::make_unique<HeadlessOutput>(&mStdout);
}

HeadlessDriver::~HeadlessDriver()
{
    parley::NotificationCenter::defaultCenter().removeObserver(mObserver);
    // The process-wide transfer manager outlives the account session.
    if (mSession)
        transfer::detachSession();
}

bool HeadlessDriver::start(const HeadlessOptions &options, QString *error)
{
    parley::PLEndpoints endpoints = parley::PLEndpoints::current();
    if (!options.endpointsFile.isEmpty()) {
        QString why;
        const auto loaded = parley::PLEndpoints::fromFile(options.endpointsFile, &why);
        if (!loaded) {
            *error = QStringLiteral("endpoints file %1: %2").arg(options.endpointsFile, why);
            return false;
        }
        endpoints = *loaded;
    }
    if (!options.server.isEmpty()) {
        const qsizetype colon = options.server.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const uint port = colon > 0 ? options.server.mid(colon + 1).toUInt(&ok) : 0;
        if (!ok || port < 1 || port > 65535) {
            *error = QStringLiteral("--server must be HOST:PORT");
            return false;
        }
        endpoints.dispatchHost = options.server.left(colon);
        endpoints.dispatchPort = quint16(port);
    }
    parley::PLEndpoints::setCurrent(endpoints);
    parley::PLEncrypUtil::install();

    mObserver = parley::NotificationCenter::defaultCenter().addObserver(
        QString(), nullptr, [this](const parley::Notification &n) {
            // As the shell does: the keepalive may run once the buddy list is in.
            if (n.name == QLatin1String("ParleyBuddyInfoDidDownloaded") && mSession)
                mSession->setIsAvailablePONG(true);
            mOutput->notification(n.name, n.userInfo);
        });

    chat::installChatManager();
    transfer::TransferOptions transferOptions;
    bool ok = true;
    transferOptions.p2pPortFixed = !options.p2pFixedPort.isEmpty();
    const QString &port = transferOptions.p2pPortFixed ? options.p2pFixedPort : options.p2pPort;
    if (!port.isEmpty())
        transferOptions.p2pPort = port.toInt(&ok);
    if (!ok || transferOptions.p2pPort < 0 || transferOptions.p2pPort > 65535) {
        *error = QStringLiteral("--p2p-port and --p2p-fixed-port need a number from 0 to 65535");
        return false;
    }
    if (!options.relayAfter.isEmpty()) {
        // Ten ticks, as the client counts them, make up the delay.
        const double seconds = options.relayAfter.toDouble(&ok);
        if (!ok || seconds <= 0 || seconds > 3600) {
            *error = QStringLiteral("--relay-after needs a number of seconds from 0 to 3600");
            return false;
        }
        transferOptions.tickMs = qMax(1, int(seconds * 100));
    }
    transferOptions.downloadFolder = options.downloadFolder;
    transfer::installTransferManagers(transferOptions);
    mSession = std::make_unique<parley::PLParleySession>();
    transfer::attachSession(*mSession);
    mContext = std::make_unique<HeadlessContext>(
        HeadlessContext{*mSession, *mOutput, [this] {
            mQuitting = true;
            // A sign-out still being written goes out first (within the
            // account session's bounded wait), or the server never hears it.
            if (mSession->isSignOutInProgress())
                connect(mSession.get(), &parley::PLParleySession::signOutFinished, qApp, &QCoreApplication::quit,
                        Qt::QueuedConnection);
            else
                QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }});

    mStdinNotifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(mStdinNotifier, &QSocketNotifier::activated, this, &HeadlessDriver::readCommands);
    return mSession->loginWithUserID(options.userID, options.password, {});
}

void HeadlessDriver::readCommands()
{
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        // End of input: sign out and end, as "quit" does.
        mStdinNotifier->setEnabled(false);
        if (!mQuitting)
            HeadlessCommands::run(*mContext, QStringLiteral("quit"));
        return;
    }
    mPending.append(buffer, count);
    qsizetype end;
    while ((end = mPending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(mPending.left(end)).remove(QLatin1Char('\r'));
        mPending.remove(0, end + 1);
        if (!mQuitting)
            HeadlessCommands::run(*mContext, line);
    }
    if (mPending.size() > kMaxCommandLine) {
        mOutput->error(QStringLiteral("command line too long"), QString());
        mPending.clear();
    }
}

} // namespace headless
