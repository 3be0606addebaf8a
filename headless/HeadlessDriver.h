#pragma once

// parley-headless: signs one account in through the account-session facade,
// prints every notification as a JSON line and runs the commands it reads on
// standard input (HeadlessCommands). For tests and diagnosis.

#include "HeadlessCommands.h"
#include "HeadlessOutput.h"

#include <QFile>
#include <QObject>
#include <QStringList>

#include <memory>

class QSocketNotifier;

namespace parley {
class PLParleySession;
}

namespace headless {

struct HeadlessOptions {
    QString userID;
    QString password;
    QString server;        // HOST:PORT, overrides the endpoints' dispatch server
    QString endpointsFile; // overrides $PARLEY_ENDPOINTS
    QString p2pFixedPort;   // that port only, announced even when taken (a closed firewall: transfers relay)
    QString p2pPort;        // the file-transfer listening port (default 0: the kernel chooses)
    QString downloadFolder; // where accepted files go
    QString relayAfter;     // seconds in "connecting" before a relay is asked for (default 10)

    // Parses the arguments (without the program name); on failure answers
    // nothing and sets `error`.
    static std::optional<HeadlessOptions> parse(const QStringList &arguments, const QString &passwordFromEnvironment,
                                                QString *error);
    static QString usage();
};

class HeadlessDriver : public QObject {
    Q_OBJECT
public:
    explicit HeadlessDriver(QObject *parent = nullptr);
    ~HeadlessDriver() override;

    // Applies the endpoints, then starts the sign-in and reading commands.
    bool start(const HeadlessOptions &options, QString *error);

private:
    void readCommands();

    QFile mStdout;
    std::unique_ptr<HeadlessOutput> mOutput;
    std::unique_ptr<parley::PLParleySession> mSession;
    std::unique_ptr<HeadlessContext> mContext;
    QSocketNotifier *mStdinNotifier = nullptr;
    QByteArray mPending;
    quint64 mObserver = 0;
    bool mQuitting = false;
};

} // namespace headless
