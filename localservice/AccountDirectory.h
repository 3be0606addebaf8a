#pragma once

// The live side of the service: a changeable copy of every account (groups,
// buddies, nickname, group-cache number) and who is signed in right now, with
// the status each signed-in client last set. The notification server's
// command handlers read and change it; the account store stays as loaded.

#include "AccountStore.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>

namespace localservice {

class NotificationSession;

class AccountDirectory {
public:
    explicit AccountDirectory(const AccountStore &store);

    Account *account(const QString &id);
    const Account *account(const QString &id) const;
    const Account *accountForCMN(const QString &cmn) const;
    const QList<Account> &accounts() const { return mAccounts; }

    // Signed-in sessions of one account, oldest first.
    QList<NotificationSession *> sessionsOf(const QString &id) const;
    // Every signed-in session whose account has `id` on its forward list.
    QList<NotificationSession *> watchersOf(const QString &id) const;
    void attach(const QString &id, NotificationSession *session);
    void detach(NotificationSession *session);

    // "X" for an account with no signed-in session that set a status.
    QString statusOf(const QString &id) const;
    void setStatus(NotificationSession *session, const QString &letter);

    // Memos delivered to an account since the service started.
    int memoCount(const QString &id) const { return mMemoCounts.value(id); }
    void countMemo(const QString &id) { ++mMemoCounts[id]; }

    // The buddy record of `buddyID` in `owner`'s list, or nullptr.
    static Buddy *buddyIn(Account &owner, const QString &buddyID);
    static Group *groupIn(Account &owner, const QString &groupID);
    // The next free numeric group ID of an account.
    static QString nextGroupID(const Account &owner);

private:
    struct Online {
        QPointer<NotificationSession> session;
        QString userID;
        QString status; // empty until the client sets one
    };

    QList<Account> mAccounts;
    QHash<QString, qsizetype> mIndexByID;
    QHash<QString, qsizetype> mIndexByCMN;
    QList<Online> mOnline;
    QHash<QString, int> mMemoCounts;
};

} // namespace localservice
