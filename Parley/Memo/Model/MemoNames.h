#pragma once

// How the memo windows name people: a buddy by its name (looked up by the ID
// as given, then with the service's mail domain added), the user by the
// account's own name, anyone else by the ID itself. The service's mail domain
// is the portal's (PLEndpoints::current().portalDomain).

#include "BuddyManagement/PLBuddy.h"

#include <QString>

class MemoNames
{
public:
    virtual ~MemoNames() = default;
    // The display name of an ID.
    virtual QString nameForID(const QString &id) const;
    // The buddy's name when the ID (exactly) is a buddy's; null otherwise.
    virtual QString buddyNameForID(const QString &id) const;
    // The buddy of an ID, also with the mail domain added; null when none.
    virtual parley::PLBuddyPtr buddyForID(const QString &id) const;
    virtual QString myLoginID() const;
    virtual QString myName() const;
    virtual QString mailDomain() const;

    // The shared directory of the core's managers.
    static const MemoNames &shared();
};
