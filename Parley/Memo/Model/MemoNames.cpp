#include "MemoNames.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Utils/PLEndpoints.h"

using parley::PLBuddyManager;
using parley::PLMyInfoManager;

const MemoNames &MemoNames::shared()
{
    static const MemoNames names;
    return names;
}

QString MemoNames::mailDomain() const { return parley::PLEndpoints::current().portalDomain; }

QString MemoNames::myLoginID() const { return PLMyInfoManager::sharedManager().loginID(); }

QString MemoNames::myName() const { return PLMyInfoManager::sharedManager().name(); }

parley::PLBuddyPtr MemoNames::buddyForID(const QString &id) const
{
    if (id.isEmpty())
        return nullptr;
    const PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    if (parley::PLBuddyPtr buddy = buddies.buddyForID(id))
        return buddy;
    return buddies.buddyForID(id + QLatin1Char('@') + mailDomain());
}

QString MemoNames::buddyNameForID(const QString &id) const
{
    const parley::PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(id);
    if (!buddy)
        return {};
    return buddy->name().isEmpty() ? id : buddy->name();
}

QString MemoNames::nameForID(const QString &id) const
{
    if (const parley::PLBuddyPtr buddy = buddyForID(id)) {
        if (!buddy->name().isEmpty())
            return buddy->name();
        return id;
    }
    const QString me = myLoginID();
    if (!id.isEmpty() && !me.isEmpty() && (me == id || me == id + QLatin1Char('@') + mailDomain()))
        return myName().isEmpty() ? id : myName();
    return id;
}
