#include "FacadeBuddySession.h"

#include "Sessions/PLParleySession.h"
#include "Shell/AppController.h"

namespace parley {

FacadeBuddySession::FacadeBuddySession(std::function<PLParleySession *()> facade) : mFacade(std::move(facade))
{
    if (!mFacade) {
        mFacade = []() -> PLParleySession * {
            shell::AppController *controller = shell::AppController::sharedController();
            return controller ? controller->session() : nullptr;
        };
    }
}

FacadeBuddySession &FacadeBuddySession::shared()
{
    static FacadeBuddySession session;
    return session;
}

bool FacadeBuddySession::isLoggedIn() const
{
    PLParleySession *s = mFacade();
    return s && s->isLoggedIn();
}

#define PL_FORWARD(call)                                                                                           \
    PLParleySession *s = mFacade();                                                                                \
    return s && s->call

bool FacadeBuddySession::blockBuddy(const QString &velaID) { PL_FORWARD(blockBuddy(velaID)); }
bool FacadeBuddySession::unblockBuddy(const QString &velaID) { PL_FORWARD(unblockBuddy(velaID)); }
bool FacadeBuddySession::removeBuddyFlag(const QString &velaID, const QString &flag)
{
    PL_FORWARD(removeBuddyFlag(velaID, flag));
}
bool FacadeBuddySession::removeBuddies(const QVariantList &records) { PL_FORWARD(removeBuddies(records)); }
bool FacadeBuddySession::moveBuddies(const QVariantList &records) { PL_FORWARD(moveBuddies(records)); }
bool FacadeBuddySession::copyBuddies(const QVariantList &records) { PL_FORWARD(copyBuddies(records)); }
bool FacadeBuddySession::addGroup(const QString &name) { PL_FORWARD(addGroup(name)); }
bool FacadeBuddySession::renameGroup(const QString &groupID, const QString &name)
{
    PL_FORWARD(renameGroup(groupID, name));
}
bool FacadeBuddySession::removeGroup(const QString &groupID) { PL_FORWARD(removeGroup(groupID)); }
bool FacadeBuddySession::requestAddBuddy(const QString &fullID, const QString &groupID, const QString &message)
{
    PL_FORWARD(requestAddBuddy(fullID, groupID, message));
}
bool FacadeBuddySession::acceptAddBuddy(const QString &velaID, const QString &buddyCMN, const QString &groupID)
{
    PL_FORWARD(acceptAddBuddy(velaID, buddyCMN, groupID));
}
bool FacadeBuddySession::rejectAddBuddy(const QString &velaID, const QString &buddyCMN)
{
    PL_FORWARD(rejectAddBuddy(velaID, buddyCMN));
}

#undef PL_FORWARD

} // namespace parley
