#include "GroupCommands.h"

#include "AccountDirectory.h"
#include "NotificationServer.h"
#include "NotificationSession.h"
#include "ReplyCodes.h"
#include "WireCheck.h"
#include "WireText.h"

#include <QStringDecoder>

namespace localservice::groups {

namespace {

Account *signedInAccount(NotificationSession &session, qint64 tid)
{
    if (!session.isSignedIn()) {
        session.sendError(reply::kNotNow, tid);
        return nullptr;
    }
    Account *account = session.server().directory().account(session.userID());
    if (!account)
        session.sendError(reply::kNotNow, tid);
    return account;
}

void tellOtherLogins(NotificationSession &session, const QByteArray &push)
{
    for (NotificationSession *other : session.server().directory().sessionsOf(session.userID()))
        if (other != &session)
            other->send(push);
}

} // namespace

void addGroup(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    if (fields.size() != 4 || wireUnescape(fields[3]).isEmpty())
        return session.sendError(reply::kMalformed, tid);
    Account *account = signedInAccount(session, tid);
    if (!account)
        return;
    const Group group{AccountDirectory::nextGroupID(*account), wireUnescape(fields[3]),
                      QStringLiteral("0")};
    account->groups.append(group);
    const QString cache = QString::number(++account->groupCache);
    session.send(wireLine(fields[0], tid, {cache, group.id}));
    tellOtherLogins(session, wireLine(fields[0], 0, {cache, group.id, group.name}));
}

void removeGroup(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    if (fields.size() != 4)
        return session.sendError(reply::kMalformed, tid);
    Account *account = signedInAccount(session, tid);
    if (!account)
        return;
    const QString groupID = wireUnescape(fields[3]);
    if (!AccountDirectory::groupIn(*account, groupID))
        return session.sendError(reply::kNoSuchGroup, tid);
    account->groups.removeIf([&](const Group &g) { return g.id == groupID; });
    for (Buddy &b : account->buddies)
        b.groupIDs.removeAll(groupID);
    const QString cache = QString::number(++account->groupCache);
    session.send(wireLine(fields[0], tid, {cache}));
    tellOtherLogins(session, wireLine(fields[0], 0, {cache, groupID}));
}

void renameGroup(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    if (fields.size() != 5 || wireUnescape(fields[4]).isEmpty())
        return session.sendError(reply::kMalformed, tid);
    Account *account = signedInAccount(session, tid);
    if (!account)
        return;
    Group *group = AccountDirectory::groupIn(*account, wireUnescape(fields[3]));
    if (!group)
        return session.sendError(reply::kNoSuchGroup, tid);
    group->name = wireUnescape(fields[4]);
    const QString cache = QString::number(++account->groupCache);
    session.send(wireLine(fields[0], tid, {cache}));
    tellOtherLogins(session, wireLine(fields[0], 0, {cache, group->id, group->name}));
}

void batch(NotificationSession &session, const QString &word, qint64 tid, const QByteArray &body)
{
    Account *account = signedInAccount(session, tid);
    if (!account)
        return;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(body);
    if (utf8.hasError())
        return session.sendError(reply::kMalformed, tid);
    const bool removing = word == QLatin1String("RMBG");
    const bool moving = word == QLatin1String("MVBG");
    const qsizetype wordsPerLine = removing ? 4 : 5;

    // One line per buddy, each ended by CR LF, numbered from 0, of single
    // words none of which is empty.
    if (!text.isEmpty() && !text.endsWith(QLatin1String("\r\n"))) {
        logRefusal("notification server", QStringLiteral("a batch body not ended by CR LF"), word);
        return session.sendError(reply::kMalformed, tid);
    }
    const QStringList lines = text.isEmpty() ? QStringList() : text.chopped(2).split(QLatin1String("\r\n"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList w = lines[i].split(QLatin1Char(' '));
        QString why;
        if (w.size() != wordsPerLine)
            why = QStringLiteral("%1 words where %2 takes %3").arg(w.size()).arg(word).arg(wordsPerLine);
        else if (w.contains(QString()))
            why = QStringLiteral("an empty word");
        else if (w[0] != QString::number(i))
            why = QStringLiteral("line %1 numbered %2").arg(i).arg(w[0]);
        if (!why.isEmpty()) {
            logRefusal("notification server", QStringLiteral("batch body: ") + why, lines[i]);
            return session.sendError(reply::kMalformed, tid);
        }
    }

    QByteArray results;
    QByteArray applied;
    for (const QString &line : lines) {
        const QStringList w = line.split(QLatin1Char(' '));
        // index cmn id fromGroup [toGroup]
        const Account *buddyAccount = session.server().directory().accountForCMN(w[1]);
        Buddy *buddy = buddyAccount ? AccountDirectory::buddyIn(*account, buddyAccount->id)
                                    : nullptr;
        int code = reply::kDone;
        if (!buddy || !buddy->groupIDs.contains(w[3]))
            code = reply::kNoSuchUser;
        else if (!removing && !AccountDirectory::groupIn(*account, w[4]) && w[4] != QLatin1String("0"))
            code = reply::kNoSuchGroup;
        if (code == reply::kDone) {
            if (removing || moving)
                buddy->groupIDs.removeAll(w[3]);
            if (!removing && !buddy->groupIDs.contains(w[4]))
                buddy->groupIDs.append(w[4]);
            applied += line.toUtf8() + "\r\n";
        }
        results += (w[0] + QLatin1Char(' ') + QString::number(code) + QLatin1String("\r\n")).toUtf8();
    }
    const QString cache = QString::number(++account->groupCache);
    session.send(wireLine(word, tid, {cache, QString::number(results.size())}) + results);
    if (!applied.isEmpty())
        tellOtherLogins(session,
                        wireLine(word, 0, {cache, QString::number(applied.size())}) + applied);
}

} // namespace localservice::groups
