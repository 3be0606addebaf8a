#include "BuddyCommands.h"

#include "AccountDirectory.h"
#include "NotificationServer.h"
#include "NotificationSession.h"
#include "ReplyCodes.h"
#include "WireText.h"

namespace localservice::buddies {

namespace {

enum Bit { FL = 0, AL = 1, BL = 2, RL = 3 };

void setBit(Buddy &b, Bit bit, bool on)
{
    if (b.flags.size() != 4)
        b.flags = QStringLiteral("0000");
    b.flags[bit] = on ? QLatin1Char('1') : QLatin1Char('0');
}

// The record of `other` in `owner`'s list, made (on no list) when missing.
Buddy &recordOf(Account &owner, const QString &otherID)
{
    if (Buddy *b = AccountDirectory::buddyIn(owner, otherID))
        return *b;
    owner.buddies.append(Buddy{otherID, QStringLiteral("0000"), {}});
    return owner.buddies.last();
}

void fileIn(Buddy &b, const QString &groupID)
{
    if (!b.groupIDs.contains(groupID))
        b.groupIDs.append(groupID);
}

// The target named by CMN, or by ID when the CMN is empty.
Account *target(AccountDirectory &directory, const QString &cmn, const QString &id)
{
    if (!cmn.isEmpty())
        if (const Account *a = directory.accountForCMN(cmn))
            return directory.account(a->id);
    return directory.account(id);
}

// The signed-in user, and the account that fields 3 (CMN) and 4 (ID) name.
struct Parties {
    Account *me;
    Account *other;
};
Parties parties(NotificationSession &session, const QStringList &fields)
{
    AccountDirectory &directory = session.server().directory();
    return {directory.account(session.userID()), target(directory, wireUnescape(fields[3]), wireUnescape(fields[4]))};
}

void sendToAll(AccountDirectory &directory, const QString &id, const QByteArray &bytes)
{
    for (NotificationSession *s : directory.sessionsOf(id))
        s->send(bytes);
}

} // namespace

void addToList(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    if (fields.size() < 5 || fields.size() > 6)
        return session.sendError(reply::kMalformed, tid);
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    const auto [me, other] = parties(session, fields);
    if (!me || !other || other == me)
        return session.sendError(reply::kNoSuchUser, tid);
    const QString list = fields[2];
    Buddy &record = recordOf(*me, other->id);
    if (list == QLatin1String("FL")) {
        setBit(record, FL, true);
        fileIn(record, fields.size() == 6 ? wireUnescape(fields[5]) : QStringLiteral("0"));
        setBit(recordOf(*other, me->id), RL, true);
    } else if (list == QLatin1String("AL") || list == QLatin1String("BL")) {
        const bool block = list == QLatin1String("BL");
        setBit(record, AL, !block);
        setBit(record, BL, block);
    } else {
        return session.sendError(reply::kMalformed, tid);
    }
    session.send(wireLine(fields[0], tid, {other->cmn}));
}

void removeFromList(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    if (fields.size() != 5)
        return session.sendError(reply::kMalformed, tid);
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    AccountDirectory &directory = session.server().directory();
    const auto [me, other] = parties(session, fields);
    Buddy *record = me && other ? AccountDirectory::buddyIn(*me, other->id) : nullptr;
    const QString list = fields[2];
    const Bit bit = list == QLatin1String("FL") ? FL : list == QLatin1String("AL") ? AL
                  : list == QLatin1String("BL") ? BL : RL;
    if (bit == RL)
        return session.sendError(reply::kMalformed, tid);
    if (!record)
        return session.sendError(reply::kNoSuchUser, tid);
    setBit(*record, bit, false);
    if (bit == FL)
        record->groupIDs.clear();
    if (record->flags == QLatin1String("0000"))
        me->buddies.removeIf([&](const Buddy &b) { return b.id == other->id; });
    if (bit == FL) {
        // The other user is no longer listed by us: their reverse list loses us.
        if (Buddy *mine = AccountDirectory::buddyIn(*other, me->id))
            setBit(*mine, RL, false);
        sendToAll(directory, other->id,
                  wireLine(fields[0], 0, {QStringLiteral("RL"), me->cmn, me->id}));
    }
    session.send(wireLine(fields[0], tid, {QString::number(++me->groupCache)}));
}

void handshake(NotificationSession &session, qint64 tid, const QStringList &fields)
{
    if (fields.size() != 7)
        return session.sendError(reply::kMalformed, tid);
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    AccountDirectory &directory = session.server().directory();
    const auto [me, other] = parties(session, fields);
    if (!me || !other || other == me)
        return session.sendError(reply::kNoSuchUser, tid);
    const QString event = fields[2];
    const QString groupID = wireUnescape(fields[5]).isEmpty() ? QStringLiteral("0")
                                                               : wireUnescape(fields[5]);
    if (groupID != QLatin1String("0") && !AccountDirectory::groupIn(*me, groupID))
        return session.sendError(reply::kNoSuchGroup, tid);

    if (event == QLatin1String("REJCT")) {
        Buddy &record = recordOf(*me, other->id);
        setBit(record, AL, false);
        setBit(record, BL, true);
        return session.send(wireLine(fields[0], tid, {event, other->cmn}));
    }
    if (event != QLatin1String("REQST") && event != QLatin1String("ACCPT"))
        return session.sendError(reply::kMalformed, tid);

    // Both a request and an acceptance put the other user on our list.
    Buddy &record = recordOf(*me, other->id);
    setBit(record, FL, true);
    setBit(record, AL, true);
    setBit(record, BL, false);
    fileIn(record, groupID);
    setBit(recordOf(*other, me->id), RL, true);
    const QString cache = QString::number(++me->groupCache);
    session.send(wireLine(fields[0], tid, {event, other->cmn, other->name, cache, other->area}));
    if (event == QLatin1String("REQST"))
        sendToAll(directory, other->id,
                  wireLine(QStringLiteral("ADDB"), 0,
                           {QStringLiteral("RL"), me->cmn, me->id, wireUnescape(fields[6])}));
}

} // namespace localservice::buddies
