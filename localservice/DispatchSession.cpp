#include "DispatchSession.h"

#include "DispatchServer.h"
#include "FaultPlan.h"
#include "LineConnection.h"
#include "NotificationServer.h"
#include "ReplyCodes.h"
#include "WireCheck.h"
#include "WireText.h"

namespace localservice {

namespace {

// The notification server's name in REQS answers.
const QString kNotificationServerName = QStringLiteral("ns-local");

bool parseTid(const QStringList &fields, qint64 *tid)
{
    if (fields.size() < 2)
        return false;
    bool ok = false;
    const int value = fields[1].toInt(&ok);
    *tid = value;
    return ok;
}

} // namespace

DispatchSession::DispatchSession(LineConnection *connection, DispatchServer &server)
    : QObject(connection), mConnection(connection), mServer(server)
{
    connect(connection, &LineConnection::lineReceived, this, &DispatchSession::handleLine);
    connect(connection, &LineConnection::lineRefused, this, [this](const QString &line, const QString &why) {
        logRefusal("dispatch server", why, line);
        replyError(reply::kMalformed, tidForReply(wireSplit(line)));
    });
    connect(connection, &LineConnection::closed, connection, &QObject::deleteLater);
}

void DispatchSession::replyError(int code, qint64 tid)
{
    mConnection->write(QByteArray::number(code) + ' ' + QByteArray::number(tid) + "\r\n");
}

void DispatchSession::handleLine(const QString &line)
{
    const QStringList fields = wireSplit(line);
    const QString word = fields.value(0);
    if (const QString why = lineFault(line, fields, dispatchShapes()); !why.isEmpty()) {
        logRefusal("dispatch server", why, line);
        replyError(reply::kMalformed, tidForReply(fields));
        return;
    }
    qint64 tid = 0;
    if (!parseTid(fields, &tid)) {
        replyError(reply::kMalformed, 0);
        return;
    }
    switch (mServer.faults().actionFor(word)) {
    case FaultPlan::Action::Drop: mConnection->abort(); return;
    case FaultPlan::Action::Silent: mConnection->setDeaf(true); return;
    case FaultPlan::Action::Garbage: mConnection->write(FaultPlan::garbageLines()); break;
    case FaultPlan::Action::Oversize: // no dispatch answer carries a body
    case FaultPlan::Action::None: break;
    }

    if (word == QLatin1String("RCON")) {
        handleRCON(tid, fields);
    } else if (word == QLatin1String("PVER")) {
        // clientVersion, protocolVersion, langOS
        if (fields.size() != 5)
            return replyError(reply::kMalformed, tid);
        if (mStep != Step::Opening)
            return replyError(reply::kNotNow, tid);
        mStep = Step::VersionChecked;
        mClientVersion = wireUnescape(fields[2]);
        mConnection->write(wireLine(word, tid, {QStringLiteral("N")})); // no upgrade needed
    } else if (word == QLatin1String("AUTH")) {
        if (fields.size() != 3 || wireUnescape(fields[2]).isEmpty())
            return replyError(reply::kMalformed, tid);
        if (mStep != Step::VersionChecked)
            return replyError(reply::kNotNow, tid);
        mStep = Step::Authenticated;
        mConnection->write(wireLine(word, tid, {wireUnescape(fields[2])}));
    } else if (word == QLatin1String("REQS")) {
        // authType, userID
        if (fields.size() != 4 || wireUnescape(fields[3]).isEmpty())
            return replyError(reply::kMalformed, tid);
        if (mStep != Step::Authenticated)
            return replyError(reply::kNotNow, tid);
        NotificationServer &ns = mServer.notification();
        ns.setDispatchedVersion(wireUnescape(fields[3]), mClientVersion);
        mConnection->write(wireLine(word, tid,
                                    {kNotificationServerName, ns.host(),
                                     QString::number(ns.port())}));
    } else {
        replyError(reply::kUnsupported, tid);
    }
}

void DispatchSession::handleRCON(qint64 tid, const QStringList &fields)
{
    // RCON host port: the relay connects on to that server. Only our own two
    // servers are reachable through it.
    if (fields.size() != 4)
        return replyError(reply::kMalformed, tid);
    if (mRelayed || mStep != Step::Opening)
        return replyError(reply::kNotNow, tid);
    const QString host = wireUnescape(fields[2]);
    bool ok = false;
    const uint port = fields[3].toUInt(&ok);
    NotificationServer &ns = mServer.notification();
    const bool local = host == ns.host() || host == QLatin1String("localhost");
    if (!ok || !local || (port != mServer.port() && port != ns.port()))
        return replyError(reply::kNotNow, tid);
    mConnection->write(wireLine(QStringLiteral("RCON"), tid));
    mRelayed = true;
    if (port == ns.port() && port != mServer.port()) {
        // From here on the notification server speaks on this connection.
        disconnect(mConnection, nullptr, this, nullptr);
        LineConnection *connection = mConnection;
        setParent(nullptr);
        deleteLater();
        ns.adopt(connection);
    }
}

} // namespace localservice
