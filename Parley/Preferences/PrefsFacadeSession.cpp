#include "PrefsFacadeSession.h"

#include "Sessions/PLParleySession.h"

namespace parley {

PrefsFacadeSession::PrefsFacadeSession(PLParleySession *facade) : mFacade(facade) {}

bool PrefsFacadeSession::isLoggedIn() const { return mFacade && mFacade->isLoggedIn(); }

bool PrefsFacadeSession::setCPRF(const QVariantMap &profile, qint32 *tid)
{
    qint32 unused = 0;
    return mFacade && mFacade->setCPRF(profile, tid ? tid : &unused);
}

bool PrefsFacadeSession::setMyNickName(const QString &nickName)
{
    return mFacade && mFacade->setMyNickName(nickName);
}

bool PrefsFacadeSession::blockBuddy(const QString &buddyID) { return mFacade && mFacade->blockBuddy(buddyID); }

bool PrefsFacadeSession::unblockBuddy(const QString &buddyID) { return mFacade && mFacade->unblockBuddy(buddyID); }

bool PrefsFacadeSession::removeBuddyFlag(const QString &buddyID, const QString &flag)
{
    return mFacade && mFacade->removeBuddyFlag(buddyID, flag);
}

bool PrefsFacadeSession::showBuddy(const QString &buddyID) { return mFacade && mFacade->showBuddy(buddyID); }

qint32 PrefsFacadeSession::setOrchardInterlock(const QString &orchardID, const QString &password)
{
    return mFacade ? mFacade->setOrchardInterlock(orchardID, password) : -1;
}

qint32 PrefsFacadeSession::resetOrchardInterlock() { return mFacade ? mFacade->resetOrchardInterlock() : -1; }

qint32 PrefsFacadeSession::setVelaInterlock(const QString &velaID, const QString &password)
{
    return mFacade ? mFacade->setVelaInterlock(velaID, password) : -1;
}

qint32 PrefsFacadeSession::resetVelaInterlock() { return mFacade ? mFacade->resetVelaInterlock() : -1; }

} // namespace parley
