#pragma once

// The add-buddy dialog's decisions, free of widgets: the full ID, the
// request message in the service's line ends, the target group, the checks
// before anything is sent, and the saved mail-domain list.

#include "BuddyManagement/PLBuddyManager.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace parley {

namespace AddBuddyRequest {

// "id@domain", as typed.
QString fullID(const QString &id, const QString &domain);
// Lines joined with CR LF, none after the last.
QString wireMessage(const QString &text);

// The group chosen by name, else the catch-all group, else "0".
QString targetGroupID(const PLBuddyManager &buddies, const QString &chosenName);

enum class Refusal { None, AlreadyBuddy, OwnID };
Refusal check(const PLBuddyManager &buddies, const QString &fullID, const QString &myLoginID);

// The group names for the pop-ups, sorted as the manager keeps them.
QStringList groupNames(const PLBuddyManager &buddies);

// The domain list with a typed domain added before its last entry (the
// "Others" item); nothing when the typed domain is blank or already there.
std::optional<QStringList> domainsWith(const QStringList &domains, const QString &typed);

} // namespace AddBuddyRequest

} // namespace parley
