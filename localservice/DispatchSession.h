#pragma once

// One client of the login-dispatch server. The client must go PVER, AUTH,
// REQS in this order; a relay request (RCON) is accepted only as the opening
// command.

#include <QObject>
#include <QStringList>

namespace localservice {

class DispatchServer;
class LineConnection;

class DispatchSession : public QObject {
    Q_OBJECT
public:
    DispatchSession(LineConnection *connection, DispatchServer &server);

private:
    enum class Step { Opening, VersionChecked, Authenticated };

    void handleLine(const QString &line);
    void handleRCON(qint64 tid, const QStringList &fields);
    void replyError(int code, qint64 tid);

    LineConnection *mConnection;
    DispatchServer &mServer;
    Step mStep = Step::Opening;
    bool mRelayed = false;
    QString mClientVersion; // named in PVER, handed on with REQS
};

} // namespace localservice
