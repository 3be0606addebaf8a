#include "AddBuddyRequest.h"

#include "Utils/KCUtilities.h"

namespace parley::AddBuddyRequest {

QString fullID(const QString &id, const QString &domain) { return id + QLatin1Char('@') + domain; }

QString wireMessage(const QString &text)
{
    return text.split(QLatin1Char('\n')).join(QLatin1String("\r\n"));
}

QString targetGroupID(const PLBuddyManager &buddies, const QString &chosenName)
{
    for (const QString &name : {chosenName, KCLocalizedString(QStringLiteral("EtcGroupName"))}) {
        if (name.isEmpty())
            continue;
        const PLGroupPtr group = buddies.groupForName(name);
        if (group && !group->groupID().isEmpty())
            return group->groupID();
    }
    return QStringLiteral("0");
}

Refusal check(const PLBuddyManager &buddies, const QString &fullID, const QString &myLoginID)
{
    if (buddies.isOnTheBuddyList(fullID))
        return Refusal::AlreadyBuddy;
    if (fullID == myLoginID)
        return Refusal::OwnID;
    return Refusal::None;
}

QStringList groupNames(const PLBuddyManager &buddies) { return buddies.groupNameIDPair().keys(); }

std::optional<QStringList> domainsWith(const QStringList &domains, const QString &typed)
{
    const QString domain = typed.trimmed();
    if (domain.isEmpty() || domains.contains(domain))
        return std::nullopt;
    QStringList out = domains;
    out.insert(qMax<qsizetype>(0, out.size() - 1), domain);
    return out;
}

} // namespace parley::AddBuddyRequest
