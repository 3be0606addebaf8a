#include "MessageCommands.h"

#include "AccountDirectory.h"
#include "NotificationServer.h"
#include "NotificationSession.h"
#include "ReplyCodes.h"
#include "WireCheck.h"
#include "WireText.h"

namespace localservice::messages {

void relay(NotificationSession &session, qint64 tid, const QStringList &fields,
           const QByteArray &body)
{
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    AccountDirectory &directory = session.server().directory();
    const QList<NotificationSession *> targets = directory.sessionsOf(wireUnescape(fields[2]));
    if (targets.isEmpty())
        return session.sendError(reply::kNoSuchUser, tid);
    const Account *me = directory.account(session.userID());
    // The sender's key travels on the line so that the peer can answer it.
    const QString key = me && !me->dpKey.isEmpty() ? me->dpKey : me ? me->cmn : QString();
    const QByteArray line = wireLine(fields[0], 0, {session.userID(), key,
                                                    QString::number(body.size())});
    for (NotificationSession *target : targets)
        target->send(line + body);
}

void deliverMemo(NotificationSession &session, qint64 tid, const QByteArray &body)
{
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    const qsizetype end = body.indexOf("\r\n");
    if (end <= 0)
        return session.sendError(reply::kMalformed, tid);
    // The first line names the targets, one word each.
    const QStringList targetIDs = QString::fromUtf8(body.left(end)).split(QLatin1Char(' '));
    if (targetIDs.contains(QString())) {
        logRefusal("notification server", QStringLiteral("an empty word among the memo's targets"),
                   QString::fromUtf8(body.left(end)));
        return session.sendError(reply::kMalformed, tid);
    }
    const QByteArray memo = body.mid(end + 2);
    AccountDirectory &directory = session.server().directory();
    for (const QString &id : targetIDs) {
        if (!directory.account(id))
            return session.sendError(reply::kNoSuchUser, tid);
    }
    for (const QString &id : targetIDs) {
        directory.countMemo(id);
        const QByteArray line =
            wireLine(QStringLiteral("CMSG"), 0, {session.userID(), QString::number(memo.size())});
        // ALRM 0 NOTE from text urlGB url: the text is the count of new memos.
        const QByteArray alarm = wireLine(QStringLiteral("ALRM"), 0,
                                          {QStringLiteral("NOTE"), session.userID(),
                                           QStringLiteral("1"), QStringLiteral("0"),
                                           QStringLiteral("-")});
        for (NotificationSession *target : directory.sessionsOf(id))
            target->send(line + memo + alarm);
    }
}

void listLogins(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    if (fields.size() != 4)
        return session.sendError(reply::kMalformed, tid);
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    QByteArray list;
    int index = 0;
    for (NotificationSession *other : session.server().directory().sessionsOf(session.userID())) {
        if (other == &session)
            continue;
        // index userID address client status: one line per other login
        list += QStringLiteral("%1 %2 127.0.0.1 ko.macm %3\r\n")
                    .arg(index++)
                    .arg(session.userID(),
                         session.server().directory().statusOf(session.userID()))
                    .toUtf8();
    }
    session.send(wireLine(fields[0], tid, {fields[2], QString::number(index),
                                           QString::number(list.size())}) + list);
}

void endOtherLogins(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    if (fields.size() != 4)
        return session.sendError(reply::kMalformed, tid);
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    int ended = 0;
    for (NotificationSession *other : session.server().directory().sessionsOf(session.userID())) {
        if (other == &session)
            continue;
        other->kill();
        ++ended;
    }
    session.send(wireLine(fields[0], tid, {ended > 0 ? QStringLiteral("100") : QStringLiteral("200")}));
}

} // namespace localservice::messages
