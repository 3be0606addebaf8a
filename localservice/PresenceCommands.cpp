#include "PresenceCommands.h"

#include "AccountDirectory.h"
#include "NotificationServer.h"
#include "NotificationSession.h"
#include "ProfileChange.h"
#include "ReplyCodes.h"
#include "WireText.h"


namespace localservice::presence {

namespace {

// NTFY/INFY word id status fileRoomType fileRoomName mediaType langOS
QByteArray presenceLine(const char *word, const QString &id, const QString &status)
{
    return wireLine(QLatin1String(word), 0,
                    {id, status, QStringLiteral("0"), {}, QStringLiteral("1"),
                     QStringLiteral("ko.macm")});
}

void tellWatchers(NotificationSession &session, const QString &status)
{
    AccountDirectory &directory = session.server().directory();
    const QByteArray line = presenceLine("NTFY", session.userID(), status);
    for (NotificationSession *watcher : directory.watchersOf(session.userID()))
        watcher->send(line);
}

} // namespace

void changeStatus(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    if (fields.size() != 6 || wireUnescape(fields[2]).isEmpty())
        return session.sendError(reply::kMalformed, tid);
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    const QString status = wireUnescape(fields[2]);
    AccountDirectory &directory = session.server().directory();
    const QString before = directory.statusOf(session.userID());
    directory.setStatus(&session, status);
    session.send(wireLine(fields[0], tid, {status}));
    if (directory.statusOf(session.userID()) != before)
        tellWatchers(session, status);
}

void signInCompleted(NotificationSession &session)
{
    AccountDirectory &directory = session.server().directory();
    const Account *account = directory.account(session.userID());
    if (!account)
        return;
    QByteArray out;
    for (const Buddy &b : account->buddies) {
        const QString status = directory.statusOf(b.id);
        if (b.flags.startsWith(QLatin1Char('1')) && status != QLatin1String("X"))
            out += presenceLine("INFY", b.id, status);
    }
    const qsizetype logins = directory.sessionsOf(session.userID()).size();
    out += wireLine(QStringLiteral("MCNT"), 0, {QStringLiteral("O"), QString::number(logins)});
    session.send(out);
}

void signedOut(NotificationSession &session)
{
    AccountDirectory &directory = session.server().directory();
    const QString before = directory.statusOf(session.userID());
    directory.detach(&session);
    if (before != QLatin1String("X") && directory.statusOf(session.userID()) == QLatin1String("X"))
        tellWatchers(session, QStringLiteral("X"));
}

void changeNickName(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    if (fields.size() != 3)
        return session.sendError(reply::kMalformed, tid);
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    AccountDirectory &directory = session.server().directory();
    Account *account = directory.account(session.userID());
    if (!account)
        return session.sendError(reply::kNotNow, tid);
    account->nickName = wireUnescape(fields[2]);
    session.send(wireLine(fields[0], tid));
    const QByteArray push =
        wireLine(QStringLiteral("NNIK"), 0, {session.userID(), account->nickName});
    for (NotificationSession *other : directory.sessionsOf(session.userID()))
        if (other != &session)
            other->send(push);
    for (NotificationSession *watcher : directory.watchersOf(session.userID()))
        watcher->send(push);
}

void changeProfile(NotificationSession &session, qint64 tid, const QByteArray &body)
{
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    AccountDirectory &directory = session.server().directory();
    Account *account = directory.account(session.userID());
    if (!account)
        return session.sendError(reply::kNotNow, tid);
    const profile::Outcome outcome = profile::apply(directory, *account, body);
    if (outcome.error)
        return session.sendError(outcome.error, tid);
    // CPRF tid typeMask, then six (open mode, value) pairs, then the length
    // of a body: none in the reply; the account's other logins get the
    // changes (without passwords) as a pushed body with tid 0.
    const QString open = QStringLiteral("1");
    const QStringList fields{QStringLiteral("111111"), open, account->mobile, open, account->email,
                             profile::orchardOpenMode(*account), account->orchardCMN, open, account->musicDate,
                             open, account->ewerYN, open, account->birthday};
    session.send(wireLine(QStringLiteral("CPRF"), tid, fields + QStringList{QStringLiteral("0")}));
    if (outcome.changes.isEmpty())
        return;
    QStringList pairs;
    for (const auto &[key, value] : outcome.changes)
        pairs << key + QLatin1Char('=') + value;
    const QByteArray pushed = pairs.join(QLatin1Char('&')).toUtf8();
    const QByteArray push =
        wireLine(QStringLiteral("CPRF"), 0, fields + QStringList{QString::number(pushed.size())}) + pushed;
    for (NotificationSession *other : directory.sessionsOf(session.userID()))
        if (other != &session)
            other->send(push);
}

} // namespace localservice::presence
