#include "AccountDirectory.h"

#include "NotificationSession.h"

namespace localservice {

AccountDirectory::AccountDirectory(const AccountStore &store) : mAccounts(store.accounts())
{
    for (qsizetype i = 0; i < mAccounts.size(); ++i) {
        mIndexByID.insert(mAccounts[i].id, i);
        mIndexByCMN.insert(mAccounts[i].cmn, i);
    }
}

Account *AccountDirectory::account(const QString &id)
{
    const auto it = mIndexByID.constFind(id);
    return it == mIndexByID.cend() ? nullptr : &mAccounts[*it];
}

const Account *AccountDirectory::account(const QString &id) const
{
    const auto it = mIndexByID.constFind(id);
    return it == mIndexByID.cend() ? nullptr : &mAccounts[*it];
}

const Account *AccountDirectory::accountForCMN(const QString &cmn) const
{
    const auto it = mIndexByCMN.constFind(cmn);
    return it == mIndexByCMN.cend() ? nullptr : &mAccounts[*it];
}

QList<NotificationSession *> AccountDirectory::sessionsOf(const QString &id) const
{
    QList<NotificationSession *> out;
    for (const Online &o : mOnline)
        if (o.session && o.userID == id)
            out.append(o.session);
    return out;
}

QList<NotificationSession *> AccountDirectory::watchersOf(const QString &id) const
{
    QList<NotificationSession *> out;
    for (const Online &o : mOnline) {
        if (!o.session || o.userID == id)
            continue;
        const Account *watcher = account(o.userID);
        if (!watcher)
            continue;
        for (const Buddy &b : watcher->buddies)
            if (b.id == id && b.flags.startsWith(QLatin1Char('1'))) {
                out.append(o.session);
                break;
            }
    }
    return out;
}

QString AccountDirectory::nextLoginKey(const QString &id)
{
    const int n = mLoginCounts.value(id);
    mLoginCounts.insert(id, n + 1);
    const Account *a = account(id);
    if (!a)
        return {};
    if (n < a->loginKeys.size())
        return a->loginKeys.at(n);
    if (n == 0)
        return a->dpKey;
    return a->cmn + QLatin1Char('-') + QString::number(n + 1);
}

void AccountDirectory::attach(const QString &id, NotificationSession *session)
{
    detach(session);
    mOnline.append({session, id, {}});
}

void AccountDirectory::detach(NotificationSession *session)
{
    mOnline.removeIf([session](const Online &o) { return !o.session || o.session == session; });
}

QString AccountDirectory::statusOf(const QString &id) const
{
    // The newest session that set a status speaks for the account.
    for (qsizetype i = mOnline.size() - 1; i >= 0; --i)
        if (mOnline[i].session && mOnline[i].userID == id && !mOnline[i].status.isEmpty())
            return mOnline[i].status;
    return QStringLiteral("X");
}

void AccountDirectory::setStatus(NotificationSession *session, const QString &letter)
{
    for (Online &o : mOnline)
        if (o.session == session)
            o.status = letter;
}

Buddy *AccountDirectory::buddyIn(Account &owner, const QString &buddyID)
{
    for (Buddy &b : owner.buddies)
        if (b.id == buddyID)
            return &b;
    return nullptr;
}

Group *AccountDirectory::groupIn(Account &owner, const QString &groupID)
{
    for (Group &g : owner.groups)
        if (g.id == groupID)
            return &g;
    return nullptr;
}

QString AccountDirectory::nextGroupID(const Account &owner)
{
    int highest = 0;
    for (const Group &g : owner.groups)
        highest = std::max(highest, g.id.toInt());
    return QString::number(highest + 1);
}

} // namespace localservice
