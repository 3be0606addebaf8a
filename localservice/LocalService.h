#pragma once

// The whole emulator in one object: the account store, the fault plan, the
// key exchange and both servers, started together. main() and the tests use
// it alike.

#include "AccountStore.h"
#include "FaultPlan.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace localservice {

class DispatchServer;
class FileRelayServer;
class MailWebServer;
class KeyExchange;
class NotificationServer;
class SwitchboardServer;
class WebServer;

struct ServiceOptions {
    QString dataFile;          // empty: the demo accounts
    quint16 dispatchPort = 0;  // 0: the kernel chooses
    quint16 notificationPort = 0;
    quint16 switchboardPort = 0;
    quint16 webPort = 0;
    QString endpointsFile;     // empty: none written
    QString certChainFile;     // server certificate first, then its chain (PEM)
    QString keyFile;           // the server's private key (PEM)
    QStringList faults;        // fault rules (see FaultPlan)
    quint16 relayPort = 0;     // the file relay; 0: the kernel chooses
    quint16 mailPort = 0;      // the mail web endpoints; 0: the kernel chooses
    QString mailFolder;        // where received mail files are saved (none when empty)
    QString updateFolder;      // the update host's files (none when empty)
    QString animiconFolder;    // the animicon catalogue's files (empty: the demo catalogue)
};

class LocalService : public QObject {
    Q_OBJECT
public:
    explicit LocalService(QObject *parent = nullptr);
    ~LocalService() override;

    // Replaces the key exchange that the options would choose (tests).
    void setKeyExchange(std::unique_ptr<KeyExchange> keyExchange);

    // Loads the data, listens on both ports and writes the endpoints file.
    // Answers false with `error` set when anything fails.
    bool start(const ServiceOptions &options, QString *error);

    quint16 dispatchPort() const;
    quint16 notificationPort() const;
    quint16 relayPort() const;
    quint16 mailPort() const;
    quint16 webPort() const;
    NotificationServer *notificationServer() { return mNotification.get(); }
    FileRelayServer *fileRelay() { return mRelay.get(); }
    // Pairs the file relay has joined so far.
    int fileRelayJoins() const;
    MailWebServer *mailWeb() { return mMail.get(); }
    // The portal's web endpoints, the bridge host and the update host.
    WebServer *web() { return mWeb.get(); }
    quint16 switchboardPort() const;
    SwitchboardServer *switchboardServer() { return mSwitchboard.get(); }
    const AccountStore &accounts() const { return *mAccounts; }

private:
    // Destroys the servers, those that refer to others first.
    void stopServers();

    std::optional<AccountStore> mAccounts;
    FaultPlan mFaults;
    std::unique_ptr<KeyExchange> mKeyExchange;
    std::unique_ptr<NotificationServer> mNotification;
    std::unique_ptr<SwitchboardServer> mSwitchboard;
    std::unique_ptr<DispatchServer> mDispatch;
    std::unique_ptr<FileRelayServer> mRelay;
    std::unique_ptr<MailWebServer> mMail;
    std::unique_ptr<WebServer> mWeb;
};

} // namespace localservice
