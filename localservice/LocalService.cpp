#include "LocalService.h"

#include "DispatchServer.h"
#include "EndpointsWriter.h"
#include "FileRelayServer.h"
#include "MailWebServer.h"
#include "KeyExchange.h"
#include "KeyExchangeFactory.h"
#include "NotificationServer.h"
#include "SwitchboardServer.h"
#include "WebServer.h"

#include <QDateTime>

#include <algorithm>
#include <climits>

namespace localservice {

LocalService::LocalService(QObject *parent) : QObject(parent) {}

LocalService::~LocalService()
{
    // The servers refer to the store, the plan and the key exchange.
    stopServers();
}

void LocalService::setKeyExchange(std::unique_ptr<KeyExchange> keyExchange)
{
    mKeyExchange = std::move(keyExchange);
}

bool LocalService::start(const ServiceOptions &options, QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (mNotification)
        return fail(QStringLiteral("the service is already running"));

    QString problem;
    if (options.dataFile.isEmpty())
        mAccounts = AccountStore::demo();
    else if (!(mAccounts = AccountStore::fromFile(options.dataFile, &problem)))
        return fail(QStringLiteral("data file %1").arg(problem));

    for (const QString &rule : options.faults) {
        problem = mFaults.add(rule);
        if (!problem.isEmpty())
            return fail(problem);
    }

    if (!mKeyExchange) {
        mKeyExchange = makeKeyExchange(options.certChainFile, options.keyFile, &problem);
        if (!mKeyExchange)
            return fail(problem);
    }

    mNotification = std::make_unique<NotificationServer>(*mAccounts, *mKeyExchange, mFaults);
    mDispatch = std::make_unique<DispatchServer>(mFaults, *mNotification);
    mRelay = std::make_unique<FileRelayServer>();
    mMail = std::make_unique<MailWebServer>();
    mMail->setSaveFolder(options.mailFolder);
    mNotification->setFileRelay(mRelay.get());
    mSwitchboard = std::make_unique<SwitchboardServer>(*mKeyExchange);
    mNotification->setSwitchboard(mSwitchboard.get());
    mWeb = std::make_unique<WebServer>(mNotification->directory(), options.animiconFolder);
    mWeb->setUpdateFolder(options.updateFolder);
    if (!mNotification->listen(options.notificationPort, &problem)
        || !mDispatch->listen(options.dispatchPort, &problem) || !mWeb->listen(options.webPort, &problem)
        || !mSwitchboard->listen(options.switchboardPort, &problem) || !mRelay->listen(options.relayPort, &problem)
        || !mMail->listen(options.mailPort, &problem)) {
        stopServers();
        return fail(problem);
    }

    // The client reads the animicon catalogue where the configuration says.
    // With this run's own address the configuration is this run's: newer than
    // the copy a client kept from an earlier run on other ports, which it
    // would keep otherwise (it takes only a newer version).
    if (mAccounts->setDefaultConfValue(QStringLiteral("animicon_file_url"), mWeb->animiconBaseURL()))
        mAccounts->raiseConfVersion(int(std::min<qint64>(QDateTime::currentSecsSinceEpoch(), INT_MAX)));

    if (!options.endpointsFile.isEmpty()) {
        // The client learns the notification server from the REQS answer.
        problem = EndpointsWriter::write(options.endpointsFile,
                                         {mNotification->host(), dispatchPort(), mWeb->baseURL()});
        if (!problem.isEmpty()) {
            stopServers();
            return fail(problem);
        }
    }
    return true;
}

void LocalService::stopServers()
{
    // The web and dispatch servers refer to the notification server.
    mWeb.reset();
    mDispatch.reset();
    mNotification.reset();
    mSwitchboard.reset();
    mRelay.reset();
    mMail.reset();
}

quint16 LocalService::dispatchPort() const
{
    return mDispatch ? mDispatch->port() : 0;
}

quint16 LocalService::switchboardPort() const
{
    return mSwitchboard ? mSwitchboard->port() : 0;
}

quint16 LocalService::webPort() const
{
    return mWeb ? mWeb->port() : 0;
}

quint16 LocalService::notificationPort() const
{
    return mNotification ? mNotification->port() : 0;
}

quint16 LocalService::relayPort() const
{
    return mRelay ? mRelay->port() : 0;
}

int LocalService::fileRelayJoins() const
{
    return mRelay ? mRelay->joinedPairs() : 0;
}

quint16 LocalService::mailPort() const
{
    return mMail ? mMail->port() : 0;
}

} // namespace localservice
