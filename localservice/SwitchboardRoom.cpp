#include "SwitchboardRoom.h"

#include "SwitchboardSession.h"

namespace localservice {

void SwitchboardRoom::add(SwitchboardSession *member)
{
    mMembers.append(member);
    mWasEntered = true;
}

void SwitchboardRoom::remove(SwitchboardSession *member)
{
    mMembers.removeAll(member);
    mMembers.removeAll(nullptr);
}

QList<SwitchboardSession *> SwitchboardRoom::others(const SwitchboardSession *except) const
{
    QList<SwitchboardSession *> list;
    for (const QPointer<SwitchboardSession> &member : mMembers)
        if (member && member != except)
            list.append(member);
    return list;
}

} // namespace localservice
