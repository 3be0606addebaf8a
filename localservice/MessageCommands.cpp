#include "MessageCommands.h"

#include "AccountDirectory.h"
#include "MemoWebCommands.h"
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
    AccountDirectory &directory = session.server().directory();
    for (const QString &id : targetIDs) {
        if (!directory.account(id))
            return session.sendError(reply::kNoSuchUser, tid);
    }
    // Filed once for every receiver, with its own cookie.
    const QByteArray memo = memos::fileForDelivery(directory.memos(), session.userID(), targetIDs, body.mid(end + 2));
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
    int count = 0;
    for (NotificationSession *other : session.server().directory().sessionsOf(session.userID())) {
        if (other == &session)
            continue;
        // session key, media type, equipment type, language/OS, display name
        list += (QStringList{wireEscape(other->loginKey()), wireEscape(other->mediaType()), QStringLiteral("0"),
                             wireEscape(other->langOS()), wireEscape(other->pcName())}
                     .join(QLatin1Char(' '))
                 + QLatin1String("\r\n"))
                    .toUtf8();
        ++count;
    }
    session.send(wireLine(fields[0], tid, {fields[2], QString::number(count),
                                           QString::number(list.size())}) + list);
}

void endOtherLogins(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    // KILS tid type target: "U" ends the login whose session key is the
    // target; "E" (and "A", as parley-headless asks) every other login.
    if (fields.size() != 4)
        return session.sendError(reply::kMalformed, tid);
    const QString type = fields[2];
    const bool one = type == QLatin1String("U");
    if (!one && type != QLatin1String("E") && type != QLatin1String("A"))
        return session.sendError(reply::kMalformed, tid);
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    const QString target = wireUnescape(fields[3]);
    int ended = 0;
    for (NotificationSession *other : session.server().directory().sessionsOf(session.userID())) {
        if (other == &session || (one && other->loginKey() != target))
            continue;
        other->kill();
        ++ended;
    }
    session.send(wireLine(fields[0], tid, {ended > 0 ? QStringLiteral("100") : QStringLiteral("200")}));
}

} // namespace localservice::messages
