#pragma once

// The account session's buddy and group requests as the buddy list's menus
// and dialogs send them. Each answers whether its request went out; the list
// changes only when the server's reply has reached the buddy manager.
// FacadeBuddySession forwards to the session facade; tests record.

#include <QString>
#include <QVariantList>

namespace parley {

class BuddySession
{
public:
    virtual ~BuddySession() = default;
    virtual bool isLoggedIn() const = 0;
    virtual bool blockBuddy(const QString &velaID) = 0;
    virtual bool unblockBuddy(const QString &velaID) = 0;
    virtual bool removeBuddyFlag(const QString &velaID, const QString &flag) = 0;
    // Records {"buddyID", "buddyCMN", "fromGID"[, "targetGID"]}.
    virtual bool removeBuddies(const QVariantList &records) = 0;
    virtual bool moveBuddies(const QVariantList &records) = 0;
    virtual bool copyBuddies(const QVariantList &records) = 0;
    virtual bool addGroup(const QString &name) = 0;
    virtual bool renameGroup(const QString &groupID, const QString &name) = 0;
    virtual bool removeGroup(const QString &groupID) = 0;
    virtual bool requestAddBuddy(const QString &fullID, const QString &groupID, const QString &message) = 0;
    virtual bool acceptAddBuddy(const QString &velaID, const QString &buddyCMN, const QString &groupID) = 0;
    virtual bool rejectAddBuddy(const QString &velaID, const QString &buddyCMN) = 0;
};

} // namespace parley
